#include "config/ini_file_save.h"

#include "base/bounded_text.h"

namespace {

bool held_open(uint32_t error) {
    return error == FILE_ERROR_SHARING_VIOLATION || error == FILE_ERROR_LOCK_VIOLATION ||
           error == FILE_ERROR_ACCESS_DENIED;
}

}  // namespace

bool begin_ini_save(SettingsBackend& backend, const char* file, IniSave& save) {
    save.file = file;
    save.in_place = false;
    if (!format_text(save.rows_path, sizeof save.rows_path, "%s.%lu.tmp", file,
                     static_cast<unsigned long>(backend.process_id()))) {
        return false;
    }
    const uint32_t attributes = backend.file_attributes(file);
    // Made read-only, it is not to be written, whichever user may.
    if (attributes != PATH_ATTRIBUTES_MISSING && (attributes & PATH_ATTRIBUTE_READ_ONLY) != 0) {
        return false;
    }
    // Left by an earlier process of the same id; another process's copy is never touched.
    backend.remove_file(save.rows_path);
    if (attributes == PATH_ATTRIBUTES_MISSING) {
        return true;
    }
    const uint32_t error = backend.copy_file(file, save.rows_path);
    if (error == FILE_ERROR_ACCESS_DENIED) {
        save.in_place = true;
        return copy_text(save.rows_path, sizeof save.rows_path, file);
    }
    if (error != 0) {
        backend.remove_file(save.rows_path);
    }
    return error == 0;
}

void end_ini_save(SettingsBackend& backend, const IniSave& save, bool written) {
    if (save.in_place) {
        backend.flush_file(save.file);
        return;
    }
    bool moved = false;
    if (written && backend.flush_file(save.rows_path)) {
        uint32_t error = backend.replace_file(save.rows_path, save.file);
        for (uint32_t waited = 0; held_open(error) && waited < INI_REPLACE_PATIENCE_MS;
             waited += INI_REPLACE_RETRY_MS) {
            backend.pause_ms(INI_REPLACE_RETRY_MS);
            error = backend.replace_file(save.rows_path, save.file);
        }
        moved = error == 0;
    }
    if (!moved) {
        backend.remove_file(save.rows_path);
    }
}
