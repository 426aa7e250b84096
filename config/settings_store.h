// The table-driven settings store over the registry and an ini file.
#ifndef KELVAST_SETTINGS_STORE_H
#define KELVAST_SETTINGS_STORE_H

#include <cstddef>
#include <cstdint>

#include "base/path_attributes.h"

// The platform's registry value types. Win32 files include <windows.h> first, which defines them
// with the same values.
#ifndef REG_SZ
#define REG_SZ 1
#endif
#ifndef REG_DWORD
#define REG_DWORD 4
#endif
#ifndef REG_MULTI_SZ
#define REG_MULTI_SZ 7
#endif

enum SettingFlags : uint32_t {
    SF_OVERWRITE = 0x1,
    SF_NUMBER_LIST = 0x10000,
    SF_HEX = 0x20000,
};

enum StorageMode : uint32_t {
    MODE_READ_REGISTRY = 1,
    MODE_WRITE_REGISTRY = 2,
    MODE_READ_INI = 4,
    MODE_WRITE_INI = 8,
};

struct SettingEntry {
    const char* section;
    const char* name;
    uint32_t type;
    uint32_t flags;
    void* data;
    uint32_t size;        // bytes for texts and multi-strings, elements for numbers
    bool loaded = false;  // read from a store by the last load_settings
};

// HKEY_CURRENT_USER as the platform spells it: (HKEY)(ULONG_PTR)(LONG)0x80000001.
const uintptr_t ROOT_CURRENT_USER = static_cast<uintptr_t>(static_cast<intptr_t>(INT32_C(-2147483647)));

struct SettingsStore {
    uintptr_t root_key;
    const char* key_path;
    const char* ini_path;
    SettingEntry* entries;
    uint32_t mode;  // StorageMode bits
    uint32_t count;
};

constexpr size_t SETTINGS_SCRATCH_SIZE = 65536;
constexpr size_t KEY_PATH_SIZE = 100;
// Room for any -if path and for one made absolute beside the exe or the current directory; an ini
// path that does not fit is not used at all rather than cut to another file's name.
constexpr size_t PROFILE_PATH_SIZE = 520;

// The registry and profile operations the store uses; a Win32 one and an in-memory one exist.
class SettingsBackend {
  public:
    using Key = uintptr_t;
    enum Access { ACCESS_READ, ACCESS_WRITE };
    virtual ~SettingsBackend() = default;
    virtual bool open_key(uintptr_t root, const char* path, Access access, Key& key) = 0;
    virtual bool create_key(uintptr_t root, const char* path, Key& key) = 0;
    // Copies the value into `size` bytes at `data` and answers its size there; data == nullptr asks
    // only whether the value exists. Fails when missing or larger than `size`.
    virtual bool query_value(Key key, const char* name, void* data, uint32_t& size) = 0;
    virtual void set_value(Key key, const char* name, uint32_t type, const void* data, uint32_t size) = 0;
    // Writes what the key holds through to the disk.
    virtual void flush_key(Key key) = 0;
    virtual void close_key(Key key) = 0;
    // Removes the key with everything below it.
    virtual void delete_key_tree(uintptr_t root, const char* path) = 0;
    // Like GetPrivateProfileStringA: the value text, or `fallback` when the file, section or key
    // is missing; always terminated within `size`; returns the characters copied.
    virtual uint32_t read_profile(const char* section,
                                  const char* name,
                                  const char* fallback,
                                  char* out,
                                  uint32_t size,
                                  const char* path) = 0;
    // Like WritePrivateProfileStringA: creates the file, section and key as needed; false when the
    // file could not be written.
    virtual bool write_profile(const char* section, const char* name, const char* text, const char* path) = 0;
    // The file steps of an ini save. The copy and the replace answer the system's error code, 0 when
    // they did their work; the others whether they did it.
    // The platform's attribute bits of a file (GetFileAttributesA), PATH_ATTRIBUTES_MISSING for none.
    virtual uint32_t file_attributes(const char* path) = 0;
    // Makes `to` a copy of `from`, replacing whatever `to` was.
    virtual uint32_t copy_file(const char* from, const char* to) = 0;
    // Writes out what the profile functions and the system hold of the file, through to the disk.
    virtual bool flush_file(const char* path) = 0;
    // Puts `from` in the place of `to` in one step, also when `to` exists.
    virtual uint32_t replace_file(const char* from, const char* to) = 0;
    virtual void remove_file(const char* path) = 0;
    virtual void pause_ms(uint32_t milliseconds) = 0;
    // This process's, which names its copy of the ini file.
    virtual uint32_t process_id() = 0;
};

// The system's error codes the ini save tells apart.
constexpr uint32_t FILE_ERROR_ACCESS_DENIED = 5;
constexpr uint32_t FILE_ERROR_SHARING_VIOLATION = 32;
constexpr uint32_t FILE_ERROR_LOCK_VIOLATION = 33;

// True only when every row was read; rows that were read keep their values and are marked
// `loaded` either way, so a caller can use what is valid beside what is damaged or missing.
bool load_settings(SettingsStore& store, SettingsBackend& backend);
// Whether any row of `section` was read by the last load_settings.
bool section_loaded(const SettingsStore& store, const char* section);
void save_settings(SettingsStore& store, SettingsBackend& backend);
// Writes the one row to every store selected for writing, on the disk before it returns.
void save_setting(SettingsStore& store, SettingsBackend& backend, uint32_t row);
void clear_registry(SettingsStore& store, SettingsBackend& backend);

#endif
