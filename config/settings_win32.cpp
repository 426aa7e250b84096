#include <windows.h>

#include "config/settings_win32.h"

#include "app/bounded_text.h"

namespace {

HKEY as_hkey(uintptr_t key) {
    return reinterpret_cast<HKEY>(key);
}

class Win32SettingsBackend : public SettingsBackend {
  public:
    constexpr Win32SettingsBackend() = default;

    bool open_key(uintptr_t root, const char* path, Access access, Key& key) override {
        HKEY opened = nullptr;
        REGSAM sam = access == ACCESS_WRITE ? KEY_WRITE : KEY_READ;
        if (RegOpenKeyExA(as_hkey(root), path, 0, sam, &opened) != ERROR_SUCCESS) {
            return false;
        }
        key = reinterpret_cast<Key>(opened);
        return true;
    }

    bool create_key(uintptr_t root, const char* path, Key& key) override {
        HKEY created = nullptr;
        if (RegCreateKeyExA(as_hkey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &created,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        key = reinterpret_cast<Key>(created);
        return true;
    }

    bool query_value(Key key, const char* name, void* data, uint32_t* size) override {
        DWORD n = size != nullptr ? *size : 0;
        LONG rc = RegQueryValueExA(as_hkey(key), name, nullptr, nullptr, static_cast<BYTE*>(data),
                                   size != nullptr ? &n : nullptr);
        if (size != nullptr) {
            *size = n;
        }
        return rc == ERROR_SUCCESS;
    }

    void set_value(Key key, const char* name, uint32_t type, const void* data, uint32_t size) override {
        RegSetValueExA(as_hkey(key), name, 0, type, static_cast<const BYTE*>(data), size);
    }

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

    void write_profile(const char* section, const char* name, const char* text, const char* path) override {
        WritePrivateProfileStringA(section, name, text, path);
    }
};

bool has_directory(const char* path) {
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            return true;
        }
    }
    return false;
}

bool is_absolute(const char* path) {
    bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
                 (path[2] == '\\' || path[2] == '/');
    bool unc = (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
    return drive || unc;
}

// Constant-initialised (the constructor is constexpr): built into the image, no guard on first use.
Win32SettingsBackend backend;

}  // namespace

SettingsBackend& win32_settings_backend() {
    return backend;
}

bool resolve_ini_path(const char* ini_path, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return false;
    }
    out[0] = '\0';
    if (ini_path == nullptr || ini_path[0] == '\0') {
        return false;
    }
    if (!has_directory(ini_path)) {
        char exe[1024] = {};
        DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
        if (n == 0 || n >= sizeof exe) {
            return false;
        }
        // Keep the folder with its closing separator.
        DWORD folder = n;
        while (folder > 0 && exe[folder - 1] != '\\' && exe[folder - 1] != '/') {
            --folder;
        }
        exe[folder] = '\0';
        if (!format_text(out, size, "%s%s", exe, ini_path)) {
            out[0] = '\0';
            return false;
        }
        return true;
    }
    if (is_absolute(ini_path)) {
        if (!copy_text(out, size, ini_path)) {
            out[0] = '\0';
            return false;
        }
        return true;
    }
    DWORD limit = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    DWORD n = GetFullPathNameA(ini_path, limit, out, nullptr);
    if (n == 0 || n >= limit) {
        out[0] = '\0';
        return false;
    }
    return true;
}
