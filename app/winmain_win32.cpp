#include <windows.h>

#include "app/startup_win32.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Run from a Downloads folder, kelvast.exe may sit beside any DLL: libraries are taken from the
// system folder only. Windows 7 without the update that brought the call at least keeps the
// current directory out of the search.
void search_system_folder_for_dlls() {
    const auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (set_default == nullptr || !set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        SetDllDirectoryA("");
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    search_system_folder_for_dlls();
    return run_kelvast(hInstance, lpCmdLine);
}
