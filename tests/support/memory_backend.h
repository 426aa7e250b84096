// A registry and profile files in memory, with the platform's rules as far as the settings store
// relies on them; shared by the unit tests, the fuzz targets and the benchmarks.
#ifndef KELVAST_MEMORY_BACKEND_H
#define KELVAST_MEMORY_BACKEND_H

#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "config/settings_store.h"

class MemorySettingsBackend : public SettingsBackend {
  public:
    bool open_key(uintptr_t, const char* path, Access, Key& key) override {
        return keys_.count(path) != 0 && hand_out(path, key);
    }
    bool create_key(uintptr_t, const char* path, Key& key) override {
        add_key(path);
        return hand_out(path, key);
    }
    bool query_value(Key key, const char* name, void* data, uint32_t* size) override {
        std::string bytes;
        if (!value(0, handles_.at(key), name, nullptr, &bytes) || (data != nullptr && bytes.size() > *size)) {
            return false;
        }
        if (data != nullptr) {
            memcpy(data, bytes.data(), bytes.size());
            *size = static_cast<uint32_t>(bytes.size());
        }
        return true;
    }
    void set_value(Key key, const char* name, uint32_t type, const void* data, uint32_t size) override {
        keys_[handles_.at(key)][name] = {type, std::string(static_cast<const char*>(data), size)};
    }
    void close_key(Key key) override { refused_ += handles_.erase(key) == 0 ? 1 : 0; }
    void delete_key_tree(uintptr_t, const char* path) override {
        const std::string below = std::string(path) + "\\";
        for (auto it = keys_.begin(); it != keys_.end();) {
            it = it->first == path || it->first.compare(0, below.size(), below) == 0 ? keys_.erase(it) : ++it;
        }
    }
    uint32_t read_profile(const char* section,
                          const char* name,
                          const char* fallback,
                          char* out,
                          uint32_t size,
                          const char* path) override {
        std::string text = fallback;
        profile_value(path, section, name, &text);
        const size_t n = text.size() < size ? text.size() : size - 1;
        memcpy(out, text.data(), n);
        out[n] = '\0';
        return static_cast<uint32_t>(n);
    }
    void write_profile(const char* section, const char* name, const char* text, const char* path) override {
        profiles_[std::string(path) + '|' + section + '|' + name] = text;
    }

    // Set-up and inspection that bypass handles.
    void add_key(const std::string& path) {
        for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
            keys_[path.substr(0, at)];
        }
        keys_[path];
    }
    bool key_exists(uintptr_t, const std::string& path) const { return keys_.count(path) != 0; }
    bool value(uintptr_t, const std::string& path, const std::string& name, uint32_t* type, std::string* bytes) const {
        auto key = keys_.find(path);
        if (key == keys_.end() || key->second.count(name) == 0) {
            return false;
        }
        if (type != nullptr) {
            *type = key->second.at(name).first;
        }
        *bytes = key->second.at(name).second;
        return true;
    }
    void put_value(uintptr_t, const std::string& path, const std::string& name, uint32_t type, const std::string& b) {
        add_key(path);
        keys_[path][name] = {type, b};
    }
    bool profile_value(const std::string& path,
                       const std::string& section,
                       const std::string& name,
                       std::string* text) const {
        auto found = profiles_.find(path + '|' + section + '|' + name);
        if (found != profiles_.end() && text != nullptr) {
            *text = found->second;
        }
        return found != profiles_.end();
    }
    size_t key_count() const { return keys_.size(); }
    size_t open_key_count() const { return handles_.size(); }
    size_t refused_count() const { return refused_; }  // closes of keys not open

  private:
    bool hand_out(const char* path, Key& key) {
        key = ++last_key_;
        handles_[key] = path;
        return true;
    }
    std::map<std::string, std::map<std::string, std::pair<uint32_t, std::string>>> keys_;  // values by name
    std::map<Key, std::string> handles_;
    std::map<std::string, std::string> profiles_;  // text by "path|section|name"
    Key last_key_ = 0;
    size_t refused_ = 0;
};

#endif
