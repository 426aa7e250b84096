// The settings store's Win32 backend: Reg* functions and the profile (ini) functions.
#ifndef KELVAST_SETTINGS_WIN32_H
#define KELVAST_SETTINGS_WIN32_H

#include <windows.h>

#include "config/settings_store.h"

SettingsBackend& win32_settings_backend();

#endif
