// A registry and profile files in memory, with the platform's rules as the settings store relies on
// them, for the unit tests, fuzz targets and benchmarks. `open` is empty once every key is closed.
// From `fail_step` on, `fail_count` file steps fail with `fail_error`: a copy or a write still does its
// work (but a copy refused with access denied, which makes nothing), a flush or a replace none.
#ifndef KELVAST_MEMORY_BACKEND_H
#define KELVAST_MEMORY_BACKEND_H

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/settings_store.h"

class MemorySettingsBackend : public SettingsBackend {
  public:
    using Values = std::map<std::string, std::pair<uint32_t, std::string>>;   // type and bytes by name
    std::map<std::string, Values> keys;                                       // by path
    using File = std::map<std::pair<std::string, std::string>, std::string>;  // texts by section and name
    std::map<std::string, File> profiles;                                     // by path
    std::set<std::string> read_only;                                          // of the profiles
    std::map<Key, std::string> open;                                          // the key paths handed out
    std::vector<std::string> flushed;                                         // the keys flushed, in turn
    int steps = 0;      // copies, writes, flushes and replaces of profile files so far
    int fail_step = 0;  // the first of them that fails, counted from 1
    int fail_count = 1;
    uint32_t fail_error = 1;
    uint32_t paused_ms = 0;
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
    void flush_key(Key key) override { flushed.push_back(open.at(key)); }
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
        return step() == 0;
    }
    uint32_t file_attributes(Text path) override {
        return profiles.count(path) == 0 ? PATH_ATTRIBUTES_MISSING : read_only.count(path);
    }
    uint32_t copy_file(Text from, Text to) override {
        const uint32_t error = profiles.count(from) != 0 ? step() : 2;
        if (error != FILE_ERROR_ACCESS_DENIED && error != 2) {
            profiles[to] = profiles[from];
        }
        return error;
    }
    bool flush_file(Text path) override { return step() == 0 && profiles.count(path) != 0; }
    uint32_t replace_file(Text from, Text to) override {
        const uint32_t error = profiles.count(from) != 0 ? step() : 2;
        if (error == 0) {
            profiles[to] = profiles[from];
            remove_file(from);
        }
        return error;
    }
    void remove_file(Text path) override { profiles.erase(path); }
    void pause_ms(uint32_t milliseconds) override { paused_ms += milliseconds; }
    uint32_t process_id() override { return 4321; }

  private:
    uint32_t step() {
        ++steps;
        return fail_step > 0 && steps >= fail_step && steps < fail_step + fail_count ? fail_error : 0;
    }
};

#endif
