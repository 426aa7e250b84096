// The settings store's Win32 backend: Reg* functions and the profile (ini) functions.
#ifndef KELVAST_SETTINGS_WIN32_H
#define KELVAST_SETTINGS_WIN32_H

#include <windows.h>

#include "config/settings_store.h"

SettingsBackend& win32_settings_backend();

// Where the ini file lives: a bare file name goes beside kelvast.exe (the profile functions would
// put it in the Windows directory, which a normal user cannot write); a relative path is taken from
// the current directory, an absolute one as given. Returns false when the result does not fit.
bool resolve_ini_path(const char* ini_path, char* out, size_t size);

#endif
