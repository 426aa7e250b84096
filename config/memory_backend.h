// An in-memory registry and set of profile files with the platform's rules, for tests and
// benchmarks of the settings store.
#ifndef KELVAST_MEMORY_BACKEND_H
#define KELVAST_MEMORY_BACKEND_H

#include <cstdint>
#include <map>
#include <string>

#include "config/settings_store.h"

class MemorySettingsBackend : public SettingsBackend {
  public:
    bool open_key(uintptr_t root, const char* path, Access access, Key& key) override;
    bool create_key(uintptr_t root, const char* path, Key& key) override;
    bool query_value(Key key, const char* name, void* data, uint32_t* size) override;
    void set_value(Key key, const char* name, uint32_t type, const void* data, uint32_t size) override;
    void close_key(Key key) override;
    void delete_key_tree(uintptr_t root, const char* path) override;
    uint32_t read_profile(const char* section,
                          const char* name,
                          const char* fallback,
                          char* out,
                          uint32_t size,
                          const char* path) override;
    void write_profile(const char* section, const char* name, const char* text, const char* path) override;

    // Inspection and set-up, bypassing handles and access rights.
    bool key_exists(uintptr_t root, const std::string& path) const;
    bool value(uintptr_t root,
               const std::string& path,
               const std::string& name,
               uint32_t* type,
               std::string* bytes) const;
    void put_value(uintptr_t root,
                   const std::string& path,
                   const std::string& name,
                   uint32_t type,
                   const std::string& bytes);
    void delete_value(uintptr_t root, const std::string& path, const std::string& name);
    bool profile_value(const std::string& path,
                       const std::string& section,
                       const std::string& name,
                       std::string* text) const;
    bool profile_exists(const std::string& path) const;
    size_t open_key_count() const { return handles_.size(); }
    // Failed reads and writes of a refused or deleted key, as the platform reports them.
    size_t refused_count() const { return refused_; }

  private:
    struct Value {
        uint32_t type;
        std::string bytes;
    };
    struct Handle {
        uintptr_t root;
        std::string path;
        bool writable;
    };
    using KeyId = std::pair<uintptr_t, std::string>;
    using Section = std::map<std::string, std::string>;
    using Profile = std::map<std::string, Section>;

    const std::map<std::string, Value>* find_values(uintptr_t root, const std::string& path) const;
    std::map<KeyId, std::map<std::string, Value>> keys_;
    std::map<Key, Handle> handles_;
    std::map<std::string, Profile> profiles_;
    Key next_handle_ = 1;
    size_t refused_ = 0;
};

#endif
