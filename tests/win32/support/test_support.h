// Helpers for the Windows tests: paths of the programs built beside the tests, and reading
// another process's window texts the way Wine and Windows both answer them.
#ifndef KELVAST_TEST_SUPPORT_H
#define KELVAST_TEST_SUPPORT_H

#include <windows.h>

#include <string>

// Full path of a file in the folder of the running test program (kelvast.exe, probes).
std::string path_beside_test(const char* file_name);

// A folder of its own for one test, inside the Wine prefix's temporary folder, created empty.
std::string fresh_temp_dir(const char* name);

// Text of a window, also across processes; cut at the returned length (see WINE-NOTES).
std::string window_text(HWND window);

// The first `length` UTF-16 units of `text` in the ANSI code page.
std::string narrow(const wchar_t* text, int length);

// Runs the message loop of this thread until `done` returns true or `timeout_ms` passes.
bool pump_until(bool (*done)(void*), void* context, DWORD timeout_ms);

#endif
