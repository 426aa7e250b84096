#include "config/settings_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/bounded_text.h"
#include "base/text_reader.h"

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

uint32_t number_count(const SettingEntry& row) {
    return (row.flags & SF_NUMBER_LIST) ? row.size : 1;
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

// Length up to and including the first pair of zero bytes within size, or 0 when there is none.
size_t multi_string_length(const char* multi, size_t size) {
    for (size_t i = 0; i + 1 < size; ++i) {
        if (multi[i] == '\0' && multi[i + 1] == '\0') {
            return i + 2;
        }
    }
    return 0;
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

void save_registry_row(const SettingsStore& store, const SettingEntry& row, SettingsBackend& backend, char* scratch) {
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

// Every value goes into a copy beside the file, which takes the file's place only once all of it
// is on the disk: a save cut short by a full disk, a killed process or a power cut must not leave a
// half-written file, whose missing history the next save would make final.
void save_ini_file(const SettingsStore& store, SettingsBackend& backend, const char* path, char* scratch) {
    char temp[PROFILE_PATH_SIZE];
    if (!format_text(temp, sizeof temp, "%s.tmp", path)) {
        return;
    }
    bool saved = true;
    if (backend.file_exists(path)) {
        saved = backend.copy_file(path, temp);  // other programs' sections stay
    } else {
        backend.remove_file(temp);  // left by a save that never ended
    }
    uint32_t count = row_count(store);
    for (uint32_t i = 0; saved && i < count; ++i) {
        saved = save_ini_row(store.entries[i], backend, temp, scratch);
    }
    if (!saved || !backend.flush_file(temp) || !backend.replace_file(temp, path)) {
        backend.remove_file(temp);
    }
}

bool is_path_separator(char c) {
    return c == '\\' || c == '/';
}

bool has_directory(const char* path) {
    for (const char* p = path; *p != '\0'; ++p) {
        if (is_path_separator(*p) || *p == ':') {
            return true;
        }
    }
    return false;
}

// A drive letter with its root, or a UNC share: the current directory plays no part.
bool is_absolute(const char* path) {
    const char letter = fold_case(path[0]);
    const bool drive = letter >= 'a' && letter <= 'z' && path[1] == ':' && is_path_separator(path[2]);
    return drive || (is_path_separator(path[0]) && is_path_separator(path[1]));
}

// The program's folder with its closing separator, then the name.
bool beside_program(const char* name, PathQueries& paths, char* out, size_t size, uint32_t limit) {
    uint32_t n = paths.program_path(out, limit);
    if (n >= limit) {
        return false;  // cut
    }
    while (n > 0 && !is_path_separator(out[n - 1])) {
        --n;
    }
    out[n] = '\0';
    // Without a folder (or a path at all) the name would be bare again.
    return out[0] != '\0' && append_format(out, size, "%s", name);
}

bool is_separator(char c) {
    return c == ',' || c == '.' || c == ';' || c == ' ';
}

// Like strtok_s over ",.; ": no empty tokens, the text is cut in place.
char* next_token(char*& cursor) {
    while (*cursor != '\0' && is_separator(*cursor)) {
        ++cursor;
    }
    if (*cursor == '\0') {
        return nullptr;
    }
    char* token = cursor;
    while (*cursor != '\0' && !is_separator(*cursor)) {
        ++cursor;
    }
    if (*cursor != '\0') {
        *cursor++ = '\0';
    }
    return token;
}

// As scanf's %u / %x read a number, sign included; one beyond 32 bits counts as no number.
bool read_number(const char* s, int base, uint32_t& out) {
    const IntegerText number = read_integer(s, base, UINT32_MAX);
    if (!number.digits || number.magnitude > UINT32_MAX) {
        return false;
    }
    const auto value = static_cast<uint32_t>(number.magnitude);
    out = number.negative ? 0u - value : value;
    return true;
}

// Adds `len` bytes at out[used] and keeps the text terminated; false, adding nothing, when the
// piece and the zero byte would not fit.
bool append_piece(char* out, size_t out_size, size_t& used, const char* piece, size_t len) {
    if (used + len >= out_size) {
        return false;
    }
    memcpy(out + used, piece, len);
    used += len;
    out[used] = '\0';
    return true;
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

void save_settings(SettingsStore& store, SettingsBackend& backend) {
    char* scratch = static_cast<char*>(malloc(SETTINGS_SCRATCH_SIZE));
    if (scratch == nullptr) {
        return;
    }
    uint32_t count = row_count(store);
    if (store.mode & MODE_WRITE_REGISTRY) {
        for (uint32_t i = 0; i < count; ++i) {
            save_registry_row(store, store.entries[i], backend, scratch);
        }
    }
    if (store.mode & MODE_WRITE_INI) {
        char path[PROFILE_PATH_SIZE];
        if (copy_profile_path(store, path, sizeof path)) {
            save_ini_file(store, backend, path, scratch);
        }
    }
    free(scratch);
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

void parse_number_list(char* text, uint32_t count, uint32_t* numbers) {
    if (text == nullptr || numbers == nullptr) {
        return;
    }
    char* cursor = text;
    for (uint32_t i = 0; i < count; ++i) {
        char* token = next_token(cursor);
        if (token == nullptr) {
            return;
        }
        uint32_t value{};
        bool hex = token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
        if (hex ? read_number(token + 2, 16, value) : read_number(token, 10, value)) {
            numbers[i] = value;
        }
    }
}

bool format_number_list(const SettingEntry& row, char* out, size_t out_size) {
    if (out == nullptr || out_size == 0) {
        return false;
    }
    out[0] = '\0';
    if (row.data == nullptr) {
        return false;
    }
    const uint32_t* numbers = static_cast<const uint32_t*>(row.data);
    uint32_t count = number_count(row);
    const char* format = (row.flags & SF_HEX) ? "%s0x%x" : "%s%u";
    size_t used = 0;
    for (uint32_t i = 0; i < count; ++i) {
        char piece[sizeof ",4294967295"];
        format_text(piece, sizeof piece, format, i == 0 ? "" : ",", numbers[i]);
        if (!append_piece(out, out_size, used, piece, strlen(piece))) {
            return false;
        }
    }
    return true;
}

bool encode_multi_string(const char* multi, size_t multi_size, char* out, size_t out_size) {
    if (out == nullptr || out_size == 0) {
        return false;
    }
    out[0] = '\0';
    if (multi == nullptr) {
        return false;
    }
    size_t used = 0;
    for (size_t i = 0; i < multi_size; ++i) {
        char c = multi[i];
        char piece[] = {c, '\0'};
        size_t len = 1;
        if (c == '%') {
            piece[1] = '%';
            len = 2;
        } else if (c == '\0') {
            if (i + 1 >= multi_size || multi[i + 1] == '\0') {
                break;
            }
            piece[0] = '%';
            piece[1] = '_';
            len = 2;
        }
        if (!append_piece(out, out_size, used, piece, len)) {
            return false;
        }
    }
    return true;
}

bool decode_multi_string(const char* text, char* multi, size_t multi_size) {
    if (multi == nullptr || multi_size == 0) {
        return false;
    }
    if (multi_size < 2) {
        multi[0] = '\0';
        return false;
    }
    if (text == nullptr) {
        text = "";
    }
    size_t used = 0;
    size_t text_start = 0;  // where the text being decoded began: the place to cut back to
    bool fits = true;
    for (const char* p = text; *p != '\0';) {
        char c = *p++;
        bool separator = false;
        if (c == '%' && *p == '%') {
            ++p;
        } else if (c == '%' && *p == '_') {
            ++p;
            c = '\0';
            separator = true;
        }
        // A character needs room for the closing pair after it; a separator is itself half of one.
        size_t needed = separator ? 2 : 3;
        if (used + needed > multi_size) {
            fits = false;
            break;
        }
        multi[used++] = c;
        if (separator) {
            text_start = used;
        }
    }
    if (!fits) {
        used = text_start;
    }
    multi[used] = '\0';
    if (used + 1 < multi_size) {
        multi[used + 1] = '\0';
    }
    return fits;
}

bool resolve_ini_path(const char* ini_path, PathQueries& paths, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return false;
    }
    out[0] = '\0';
    if (ini_path == nullptr || ini_path[0] == '\0') {
        return false;
    }
    const auto limit = static_cast<uint32_t>(std::min<size_t>(size, UINT32_MAX));
    bool resolved{};
    if (is_absolute(ini_path)) {
        resolved = copy_text(out, size, ini_path);
    } else if (has_directory(ini_path)) {
        const uint32_t n = paths.full_path(ini_path, out, limit);
        resolved = n != 0 && n < limit;
    } else {
        resolved = beside_program(ini_path, paths, out, size, limit);
    }
    // A cut path would name some other file.
    if (!resolved) {
        out[0] = '\0';
    }
    return resolved;
}
