#include "config/ini_file_save.h"

#include "base/bounded_text.h"

bool begin_ini_save(SettingsBackend& backend, const char* file, IniSave& save) {
    save.file = file;
    if (!format_text(save.rows_path, sizeof save.rows_path, "%s.tmp", file)) {
        return false;
    }
    if (!backend.file_exists(file)) {
        backend.remove_file(save.rows_path);  // left by a save that never ended
        return true;
    }
    if (!backend.copy_file(file, save.rows_path)) {
        backend.remove_file(save.rows_path);
        return false;
    }
    return true;
}

void end_ini_save(SettingsBackend& backend, const IniSave& save, bool written) {
    if (!written || !backend.flush_file(save.rows_path) || !backend.replace_file(save.rows_path, save.file)) {
        backend.remove_file(save.rows_path);
    }
}
