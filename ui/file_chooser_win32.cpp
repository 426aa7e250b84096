#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include "ui/file_chooser_win32.h"

#include "base/bounded_text.h"

namespace {

using OpenFileNameFunction = decltype(&GetOpenFileNameA);
using ExtendedErrorFunction = decltype(&CommDlgExtendedError);

OpenFileNameFunction open_file_name = nullptr;
ExtendedErrorFunction extended_error = nullptr;

template <typename Function>
Function find_function(HMODULE module, const char* name) {
    // Through void*: FARPROC is a placeholder type, not the function's own.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loaded once and kept: a chooser used once is likely to be used again.
bool load_common_dialogs() {
    if (open_file_name != nullptr) {
        return true;
    }
    // A DLL of that name beside kelvast.exe, in a Downloads folder say, must never be the one loaded.
    // Windows 7 without the update that brought the flag refuses it; there comdlg32 is a known DLL.
    HMODULE module = LoadLibraryExA("comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    module = module != nullptr ? module : LoadLibraryA("comdlg32.dll");
    if (module == nullptr) {
        return false;
    }
    extended_error = find_function<ExtendedErrorFunction>(module, "CommDlgExtendedError");
    open_file_name = find_function<OpenFileNameFunction>(module, "GetOpenFileNameA");
    if (open_file_name == nullptr || extended_error == nullptr) {
        open_file_name = nullptr;
        FreeLibrary(module);
        return false;
    }
    return true;
}

}  // namespace

bool choose_program_file(HWND owner, const char* initial, char (&path)[COMMAND_LINE_SIZE]) {
    if (!load_common_dialogs()) {
        return false;
    }
    copy_text(path, sizeof path, initial);
    char file_title[256] = "";
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
    BOOL chosen = open_file_name(&chooser);
    if (!chosen && extended_error() == FNERR_INVALIDFILENAME) {
        // A command line with arguments is no file name; the chooser refuses to open with it, so
        // open it empty instead of doing nothing.
        path[0] = '\0';
        chosen = open_file_name(&chooser);
    }
    SetCurrentDirectoryA(directory);
    return chosen != FALSE;
}
