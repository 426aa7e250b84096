// A registry and profile files in memory, with the platform's rules as the settings store relies on
// them, for the unit tests, fuzz targets and benchmarks. `open` is empty once every key is closed.
// `fail_step` fails one file step: a copy or a write still does its work, a flush or a replace none.
#ifndef KELVAST_MEMORY_BACKEND_H
#define KELVAST_MEMORY_BACKEND_H

#include <map>
#include <string>
#include <utility>

#include "config/settings_store.h"

class MemorySettingsBackend : public SettingsBackend {
  public:
    using Values = std::map<std::string, std::pair<uint32_t, std::string>>;   // type and bytes by name
    std::map<std::string, Values> keys;                                       // by path
    using File = std::map<std::pair<std::string, std::string>, std::string>;  // texts by section and name
    std::map<std::string, File> profiles;                                     // by path
    std::map<Key, std::string> open;                                          // the key paths handed out
    int steps = 0;      // copies, writes, flushes and replaces of profile files so far
    int fail_step = 0;  // the one of them that fails, counted from 1
    using Text = const char*;

    bool open_key(uintptr_t, Text path, Access, Key& key) override {
        return keys.count(path) && create_key(0, path, key);
    }
    bool create_key(uintptr_t, Text path, Key& key) override {
        keys[path];
        key = open.empty() ? 1 : open.rbegin()->first + 1;
        open[key] = path;
        return true;
    }
    bool query_value(Key key, Text name, void* data, uint32_t& size) override {
        const Values& values = keys[open.at(key)];
        const auto found = values.find(name);
        const bool fits = found != values.end() && (data == nullptr || found->second.second.size() <= size);
        if (fits && data != nullptr) {
            size = static_cast<uint32_t>(found->second.second.copy(static_cast<char*>(data), size));
        }
        return fits;
    }
    void set_value(Key key, Text name, uint32_t type, const void* data, uint32_t size) override {
        keys[open.at(key)][name] = {type, std::string(static_cast<const char*>(data), size)};
    }
    void close_key(Key key) override { open.erase(key); }
    void delete_key_tree(uintptr_t, Text path) override {
        for (auto it = keys.begin(); it != keys.end();) {
            it = (it->first + "\\").rfind(path + std::string("\\"), 0) == 0 ? keys.erase(it) : ++it;
        }
    }
    uint32_t read_profile(Text section, Text name, Text fallback, char* out, uint32_t size, Text path) override {
        const File& file = profiles.count(path) ? profiles[path] : File{};
        const auto found = file.find({section, name});
        const size_t n = (found != file.end() ? found->second : std::string(fallback)).copy(out, size - 1);
        out[n] = '\0';
        return static_cast<uint32_t>(n);
    }
    bool write_profile(Text section, Text name, Text text, Text path) override {
        profiles[path][{section, name}] = text;
        return step();
    }
    bool file_exists(Text path) override { return profiles.count(path) != 0; }
    bool copy_file(Text from, Text to) override {
        const bool found = file_exists(from);
        found ? void(profiles[to] = profiles[from]) : void(profiles.erase(to));
        return step() && found;
    }
    bool flush_file(Text path) override { return step() && file_exists(path); }
    bool replace_file(Text from, Text to) override {
        if (!step() || !file_exists(from)) {
            return false;
        }
        profiles[to] = profiles[from];
        remove_file(from);
        return true;
    }
    void remove_file(Text path) override { profiles.erase(path); }

  private:
    bool step() { return ++steps != fail_step; }
};

#endif
