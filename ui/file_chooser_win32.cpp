#include <windows.h>
#include <commdlg.h>

#include "ui/file_chooser_win32.h"

#include "base/bounded_text.h"

namespace {

using OpenFileNameFunction = decltype(&GetOpenFileNameA);

// A DLL of that name beside kelvast.exe, in a Downloads folder say, must never be the one loaded.
// Windows 7 without the update that brought the flag refuses it; there comdlg32 is a known DLL. Each
// use loads it again, which only counts one more user of the library once loaded.
HMODULE load_common_dialogs() {
    HMODULE module = LoadLibraryExA("comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module != nullptr ? module : LoadLibraryA("comdlg32.dll");
}

bool show_chooser(OpenFileNameFunction open_file_name,
                  HWND owner,
                  const char* initial,
                  char (&path)[COMMAND_LINE_SIZE]) {
    copy_text(path, sizeof path, initial);
    char file_title[COMMAND_LINE_SIZE] = "";
    OPENFILENAMEA chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.lpstrFilter = "Executable files\0*.exe;*.bat;*.cmd\0All files\0*.*\0";
    chooser.nFilterIndex = 1;
    chooser.lpstrFile = path;
    chooser.nMaxFile = sizeof path;
    chooser.lpstrFileTitle = file_title;
    chooser.nMaxFileTitle = sizeof file_title;
    chooser.lpstrTitle = "Sample data output file";
    chooser.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    // The chooser moves the current directory to every folder the user opens in it, and later
    // launches would start in, and search, the last of them.
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    const BOOL chosen = open_file_name(&chooser);
    SetCurrentDirectoryA(directory);
    return chosen != FALSE;
}

}  // namespace

bool choose_program_file(HWND owner, const char* initial, char (&path)[COMMAND_LINE_SIZE]) {
    // Through void*: FARPROC is a placeholder type, not the function's own. Without the library
    // nothing is found, and nothing is shown.
    const auto open_file_name = reinterpret_cast<OpenFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(load_common_dialogs(), "GetOpenFileNameA")));
    return open_file_name != nullptr && show_chooser(open_file_name, owner, initial, path);
}
