// The ini file saved whole or not at all: the values go into a copy beside it, which takes the file's
// place only once all of it is on the disk. A save cut short by a full disk, a killed process or a
// power cut must not leave a half-written file, whose missing history the next save would make final.
// The copy is the process's own (`<ini>.<process id>.tmp`): two programs saving one file at once
// would otherwise write into, and move, each other's copy.
#ifndef KELVAST_INI_FILE_SAVE_H
#define KELVAST_INI_FILE_SAVE_H

#include <cstdint>

#include "config/settings_store.h"

// A move refused because another program holds a file open (a virus scanner, an indexer) is tried
// again this often, for this long.
constexpr uint32_t INI_REPLACE_RETRY_MS = 50;
constexpr uint32_t INI_REPLACE_PATIENCE_MS = 1000;

struct IniSave {
    const char* file;                   // the ini file
    char rows_path[PROFILE_PATH_SIZE];  // where the values are written: the copy, or the file itself
    bool in_place;
};

// Prepares the copy that the values go into (other programs' sections in the file stay). Where the
// folder lets no new file be made, the values go into the file itself: a save that never happens
// loses more than one that is not atomic. False when nothing may be written: the file then stays.
bool begin_ini_save(SettingsBackend& backend, const char* file, IniSave& save);
// Puts the copy in the file's place when every value was `written`; otherwise, or when that fails,
// the file stays as it was and the copy goes.
void end_ini_save(SettingsBackend& backend, const IniSave& save, bool written);

#endif
