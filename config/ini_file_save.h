// The ini file saved whole or not at all: the values go into a copy beside it, which takes the file's
// place only once all of it is on the disk. A save cut short by a full disk, a killed process or a
// power cut must not leave a half-written file, whose missing history the next save would make final.
#ifndef KELVAST_INI_FILE_SAVE_H
#define KELVAST_INI_FILE_SAVE_H

#include "config/settings_store.h"

struct IniSave {
    const char* file;                   // the ini file
    char rows_path[PROFILE_PATH_SIZE];  // where the values are written
};

// Prepares the copy that the values go into (other programs' sections in the file stay). False when
// nothing may be written: the file then stays as it is.
bool begin_ini_save(SettingsBackend& backend, const char* file, IniSave& save);
// Puts the copy in the file's place when every value was `written`; otherwise, or when that fails,
// the file stays as it was and the copy goes.
void end_ini_save(SettingsBackend& backend, const IniSave& save, bool written);

#endif
