#include "config/settings_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/bounded_text.h"
#include "config/ini_file_save.h"
#include "config/setting_text.h"

namespace {

using Key = SettingsBackend::Key;

bool known_type(uint32_t type) {
    return type == REG_SZ || type == REG_DWORD || type == REG_MULTI_SZ;
}

// A row that would make the walk touch memory it does not own is treated as failing.
bool usable_row(const SettingEntry& row) {
    if (row.name == nullptr || row.data == nullptr) {
        return false;
    }
    switch (row.type) {
        case REG_SZ:
            return row.size >= 1;
        case REG_MULTI_SZ:
            return row.size >= 2;
        case REG_DWORD:
            return row.size >= 1;
        default:
            return true;
    }
}

// The profile functions treat a missing section or name as "list" or "delete everything".
bool usable_ini_row(const SettingEntry& row) {
    return usable_row(row) && row.section != nullptr && row.section[0] != '\0' && row.name[0] != '\0';
}

size_t min_size(size_t a, size_t b) {
    return std::min(a, b);
}

// A path that does not fit fails the row: a cut path would name some other key.
bool compose_key_path(const SettingsStore& store, const SettingEntry& row, char* out, size_t size) {
    // An empty key path would put the values straight under the root key.
    if (store.key_path == nullptr || store.key_path[0] == '\0') {
        return false;
    }
    if (row.section != nullptr && row.section[0] != '\0') {
        return format_text(out, size, "%s\\%s", store.key_path, row.section);
    }
    return copy_text(out, size, store.key_path);
}

bool copy_profile_path(const SettingsStore& store, char* out, size_t size) {
    if (store.ini_path == nullptr || store.ini_path[0] == '\0') {
        return false;
    }
    return copy_text(out, size, store.ini_path);
}

// Two reads with different defaults tell a missing value from any stored one, even "~~".
// Leaves the value's text in scratch when present.
bool profile_present(SettingsBackend& backend, const SettingEntry& row, const char* path, char* scratch) {
    uint32_t first = backend.read_profile(row.section, row.name, "~~", scratch, SETTINGS_SCRATCH_SIZE, path);
    uint32_t second = backend.read_profile(row.section, row.name, "####", scratch, SETTINGS_SCRATCH_SIZE, path);
    return first == second;
}

// Registry texts may lack their terminator and a failed read may leave garbage, so the value
// goes through scratch and reaches the variable only whole and terminated.
bool read_registry_value(const SettingEntry& row, SettingsBackend& backend, Key key, char* scratch) {
    switch (row.type) {
        case REG_SZ: {
            uint32_t n = static_cast<uint32_t>(min_size(row.size, SETTINGS_SCRATCH_SIZE));
            if (!backend.query_value(key, row.name, scratch, n)) {
                return false;
            }
            char* text = static_cast<char*>(row.data);
            size_t len = strnlen(scratch, n);
            if (len >= row.size) {
                len = row.size - 1;
            }
            memcpy(text, scratch, len);
            text[len] = '\0';
            return true;
        }
        case REG_MULTI_SZ: {
            uint32_t n = static_cast<uint32_t>(min_size(row.size, SETTINGS_SCRATCH_SIZE));
            if (!backend.query_value(key, row.name, scratch, n)) {
                return false;
            }
            char* multi = static_cast<char*>(row.data);
            size_t len = multi_string_length(scratch, n);
            if (len != 0) {
                memcpy(multi, scratch, len);
                return true;
            }
            len = n;
            if (len > 0 && scratch[len - 1] == '\0') {
                --len;
            }
            len = std::min<size_t>(len, row.size - 2);
            memcpy(multi, scratch, len);
            multi[len] = '\0';
            multi[len + 1] = '\0';
            return true;
        }
        case REG_DWORD: {
            if (row.flags & SF_NUMBER_LIST) {
                uint32_t n = SETTINGS_SCRATCH_SIZE;
                if (!backend.query_value(key, row.name, scratch, n)) {
                    return false;
                }
                scratch[n < SETTINGS_SCRATCH_SIZE ? n : SETTINGS_SCRATCH_SIZE - 1] = '\0';
                parse_number_list(scratch, row.size, static_cast<uint32_t*>(row.data));
                return true;
            }
            uint32_t value{};
            uint32_t n = sizeof value;
            // Anything but four bytes is not a number; it must not half-fill the variable.
            if (!backend.query_value(key, row.name, &value, n) || n != sizeof value) {
                return false;
            }
            memcpy(row.data, &value, sizeof value);
            return true;
        }
        default:
            return true;
    }
}

bool load_registry_row(const SettingsStore& store, const SettingEntry& row, SettingsBackend& backend, char* scratch) {
    char path[KEY_PATH_SIZE];
    if (!usable_row(row) || !compose_key_path(store, row, path, sizeof path)) {
        return false;
    }
    Key key{};
    if (!backend.open_key(store.root_key, path, SettingsBackend::ACCESS_READ, key)) {
        return false;
    }
    bool ok = read_registry_value(row, backend, key, scratch);
    backend.close_key(key);
    return ok;
}

// Returns whether the row counts as present.
bool load_ini_row(const SettingEntry& row, SettingsBackend& backend, const char* path, char* scratch) {
    if (!usable_ini_row(row) || !profile_present(backend, row, path, scratch)) {
        return false;
    }
    switch (row.type) {
        case REG_SZ:
            copy_text(static_cast<char*>(row.data), row.size, scratch);
            break;
        case REG_DWORD:
            parse_number_list(scratch, number_count(row), static_cast<uint32_t*>(row.data));
            break;
        case REG_MULTI_SZ:
            decode_multi_string(scratch, static_cast<char*>(row.data), row.size);
            break;
        default:
            break;
    }
    return true;
}

void write_registry_value(const SettingEntry& row, SettingsBackend& backend, Key key, char* scratch) {
    switch (row.type) {
        case REG_SZ: {
            copy_text(scratch, min_size(row.size, SETTINGS_SCRATCH_SIZE), static_cast<const char*>(row.data));
            backend.set_value(key, row.name, REG_SZ, scratch, static_cast<uint32_t>(strlen(scratch) + 1));
            break;
        }
        case REG_MULTI_SZ: {
            const char* multi = static_cast<const char*>(row.data);
            size_t len = multi_string_length(multi, row.size);
            if (len != 0) {
                backend.set_value(key, row.name, REG_MULTI_SZ, multi, static_cast<uint32_t>(len));
                break;
            }
            // Unclosed within its buffer: store it closed, as a later load would see it.
            size_t n = min_size(row.size, SETTINGS_SCRATCH_SIZE);
            if (n < 2) {
                break;  // usable_row already refuses such a row; this keeps the bound visible here
            }
            memcpy(scratch, multi, n);
            scratch[n - 2] = '\0';
            scratch[n - 1] = '\0';
            len = multi_string_length(scratch, n);
            backend.set_value(key, row.name, REG_MULTI_SZ, scratch, static_cast<uint32_t>(len));
            break;
        }
        case REG_DWORD:
            if (row.flags & SF_NUMBER_LIST) {
                if (format_number_list(row, scratch, SETTINGS_SCRATCH_SIZE)) {
                    backend.set_value(key, row.name, REG_SZ, scratch, static_cast<uint32_t>(strlen(scratch) + 1));
                }
            } else {
                backend.set_value(key, row.name, REG_DWORD, row.data, sizeof(uint32_t));
            }
            break;
        default:
            break;
    }
}

// `through`: on the disk before it returns.
void save_registry_row(const SettingsStore& store,
                       const SettingEntry& row,
                       SettingsBackend& backend,
                       char* scratch,
                       bool through) {
    char path[KEY_PATH_SIZE];
    if (!known_type(row.type) || !usable_row(row) || !compose_key_path(store, row, path, sizeof path)) {
        return;
    }
    Key key{};
    if (!backend.create_key(store.root_key, path, key)) {
        return;
    }
    uint32_t size = 0;
    bool exists = backend.query_value(key, row.name, nullptr, size);
    if ((row.flags & SF_OVERWRITE) || !exists) {
        write_registry_value(row, backend, key, scratch);
    }
    if (through) {
        backend.flush_key(key);
    }
    backend.close_key(key);
}

uint32_t row_count(const SettingsStore& store) {
    return store.entries == nullptr ? 0 : store.count;
}

// False only when a value could not be written: the file would then lack it.
bool save_ini_row(const SettingEntry& row, SettingsBackend& backend, const char* path, char* scratch) {
    if (!known_type(row.type) || !usable_ini_row(row)) {
        return true;
    }
    bool present = profile_present(backend, row, path, scratch);
    if (!(row.flags & SF_OVERWRITE) && present) {
        return true;
    }
    bool ready{};
    switch (row.type) {
        case REG_SZ:
            copy_text(scratch, min_size(row.size, SETTINGS_SCRATCH_SIZE), static_cast<const char*>(row.data));
            ready = true;
            break;
        case REG_DWORD:
            ready = format_number_list(row, scratch, SETTINGS_SCRATCH_SIZE);
            break;
        case REG_MULTI_SZ:
            ready = encode_multi_string(static_cast<const char*>(row.data), row.size, scratch, SETTINGS_SCRATCH_SIZE);
            break;
        default:
            break;
    }
    // A cut list or history would overwrite good data with a damaged copy: the stored value stays.
    return !ready || backend.write_profile(row.section, row.name, scratch, path);
}

// The rows first .. end - 1. Stops at the first value that cannot be written: the file would then lack it.
void save_ini_file(const SettingsStore& store,
                   SettingsBackend& backend,
                   const char* path,
                   char* scratch,
                   uint32_t first,
                   uint32_t end) {
    IniSave save{};
    if (!begin_ini_save(backend, path, save)) {
        return;
    }
    bool written = true;
    for (uint32_t i = first; written && i < end; ++i) {
        written = save_ini_row(store.entries[i], backend, save.rows_path, scratch);
    }
    end_ini_save(backend, save, written);
}
}  // namespace

bool load_settings(SettingsStore& store, SettingsBackend& backend) {
    char* scratch = static_cast<char*>(malloc(SETTINGS_SCRATCH_SIZE));
    if (scratch == nullptr) {
        return false;
    }
    bool result = false;
    uint32_t count = row_count(store);
    for (uint32_t i = 0; i < count; ++i) {
        store.entries[i].loaded = false;
    }
    if (store.mode & MODE_READ_REGISTRY) {
        result = true;
        for (uint32_t i = 0; i < count; ++i) {
            if (load_registry_row(store, store.entries[i], backend, scratch)) {
                store.entries[i].loaded = true;
            } else {
                result = false;
            }
        }
    }
    if (store.mode & MODE_READ_INI) {
        char path[PROFILE_PATH_SIZE];
        if (!copy_profile_path(store, path, sizeof path)) {
            result = false;
        } else {
            // The ini file decides the result, whatever the registry said.
            result = true;
            for (uint32_t i = 0; i < count; ++i) {
                SettingEntry& row = store.entries[i];
                if (!known_type(row.type)) {
                    continue;
                }
                if (load_ini_row(row, backend, path, scratch)) {
                    row.loaded = true;
                } else {
                    result = false;
                }
            }
        }
    }
    free(scratch);
    return result;
}

bool section_loaded(const SettingsStore& store, const char* section) {
    if (section == nullptr) {
        return false;
    }
    uint32_t count = row_count(store);
    for (uint32_t i = 0; i < count; ++i) {
        const SettingEntry& row = store.entries[i];
        if (row.loaded && row.section != nullptr && strcmp(row.section, section) == 0) {
            return true;
        }
    }
    return false;
}

namespace {

void save_rows(SettingsStore& store, SettingsBackend& backend, uint32_t first, uint32_t end, bool through) {
    char* scratch = static_cast<char*>(malloc(SETTINGS_SCRATCH_SIZE));
    if (scratch == nullptr) {
        return;
    }
    if (store.mode & MODE_WRITE_REGISTRY) {
        for (uint32_t i = first; i < end; ++i) {
            save_registry_row(store, store.entries[i], backend, scratch, through);
        }
    }
    if (store.mode & MODE_WRITE_INI) {
        char path[PROFILE_PATH_SIZE];
        if (copy_profile_path(store, path, sizeof path)) {
            save_ini_file(store, backend, path, scratch, first, end);
        }
    }
    free(scratch);
}

}  // namespace

void save_settings(SettingsStore& store, SettingsBackend& backend) {
    save_rows(store, backend, 0, row_count(store), false);
}

void save_setting(SettingsStore& store, SettingsBackend& backend, uint32_t row) {
    if (row < row_count(store)) {
        save_rows(store, backend, row, row + 1, true);
    }
}

void clear_registry(SettingsStore& store, SettingsBackend& backend) {
    // An empty path would make the tree delete empty the whole root key.
    if (store.key_path == nullptr || store.key_path[0] == '\0') {
        return;
    }
    Key key{};
    if (!backend.open_key(store.root_key, store.key_path, SettingsBackend::ACCESS_WRITE, key)) {
        return;
    }
    // The section subkeys go too, or the delete would be refused after any save.
    backend.delete_key_tree(store.root_key, store.key_path);
    backend.close_key(key);
}
