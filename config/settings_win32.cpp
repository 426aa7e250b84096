#include <windows.h>

#include "config/settings_win32.h"

static_assert(ERROR_ACCESS_DENIED == FILE_ERROR_ACCESS_DENIED &&
                  ERROR_SHARING_VIOLATION == FILE_ERROR_SHARING_VIOLATION &&
                  ERROR_LOCK_VIOLATION == FILE_ERROR_LOCK_VIOLATION,
              "error codes");
static_assert(INVALID_FILE_ATTRIBUTES == PATH_ATTRIBUTES_MISSING && FILE_ATTRIBUTE_READONLY == PATH_ATTRIBUTE_READ_ONLY,
              "attribute bits");

namespace {

HKEY as_hkey(uintptr_t key) {
    return reinterpret_cast<HKEY>(key);
}

REGSAM access_rights(SettingsBackend::Access access) {
    const REGSAM rights[] = {KEY_READ, KEY_WRITE};
    return rights[access];
}

class Win32SettingsBackend : public SettingsBackend {
  public:
    constexpr Win32SettingsBackend() = default;

    // A key is handed out only when it opened; the caller uses none otherwise.
    bool open_key(uintptr_t root, const char* path, Access access, Key& key) override {
        HKEY opened = nullptr;
        const bool done =
            RegOpenKeyExA(as_hkey(root), path, REG_OPTION_RESERVED, access_rights(access), &opened) == ERROR_SUCCESS;
        key = reinterpret_cast<Key>(opened);
        return done;
    }

    bool create_key(uintptr_t root, const char* path, Key& key) override {
        HKEY created = nullptr;
        const bool done = RegCreateKeyExA(as_hkey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                          nullptr, &created, nullptr) == ERROR_SUCCESS;
        key = reinterpret_cast<Key>(created);
        return done;
    }

    bool query_value(Key key, const char* name, void* data, uint32_t& size) override {
        DWORD n = size;
        const LONG rc = RegQueryValueExA(as_hkey(key), name, nullptr, nullptr, static_cast<BYTE*>(data), &n);
        size = n;
        return rc == ERROR_SUCCESS;
    }

    void set_value(Key key, const char* name, uint32_t type, const void* data, uint32_t size) override {
        RegSetKeyValueA(as_hkey(key), nullptr, name, type, data, size);
    }

    void flush_key(Key key) override { RegFlushKey(as_hkey(key)); }

    void close_key(Key key) override { RegCloseKey(as_hkey(key)); }

    void delete_key_tree(uintptr_t root, const char* path) override { RegDeleteTreeA(as_hkey(root), path); }

    uint32_t read_profile(const char* section,
                          const char* name,
                          const char* fallback,
                          char* out,
                          uint32_t size,
                          const char* path) override {
        return GetPrivateProfileStringA(section, name, fallback, out, size, path);
    }

    bool write_profile(const char* section, const char* name, const char* text, const char* path) override {
        return WritePrivateProfileStringA(section, name, text, path) != FALSE;
    }

    uint32_t file_attributes(const char* path) override { return GetFileAttributesA(path); }

    uint32_t copy_file(const char* from, const char* to) override {
        return CopyFileA(from, to, FALSE) ? ERROR_SUCCESS : GetLastError();
    }

    // A file that cannot be opened gives INVALID_HANDLE_VALUE, which neither flushes nor needs closing.
    bool flush_file(const char* path) override {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);  // answers FALSE whatever it did
        HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        const bool flushed = FlushFileBuffers(file) != FALSE;
        CloseHandle(file);
        return flushed;
    }

    uint32_t replace_file(const char* from, const char* to) override {
        return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? ERROR_SUCCESS
                                                                                         : GetLastError();
    }

    // A copy of a read-only file is read-only too, and DeleteFileA refuses such a file.
    void remove_file(const char* path) override {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    }

    void pause_ms(uint32_t milliseconds) override { Sleep(milliseconds); }

    uint32_t process_id() override { return GetCurrentProcessId(); }
};

// Constant-initialised (the constructor is constexpr): built into the image, no guard on first use.
Win32SettingsBackend backend;

}  // namespace

SettingsBackend& win32_settings_backend() {
    return backend;
}
