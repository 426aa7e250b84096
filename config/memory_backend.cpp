#include "config/memory_backend.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Registry and profile names compare without regard to case.
std::string fold(const char* text) {
    std::string s = text == nullptr ? std::string() : std::string(text);
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return s;
}

std::string fold(const std::string& text) {
    return fold(text.c_str());
}

}  // namespace

bool MemorySettingsBackend::open_key(uintptr_t root, const char* path, Access access, Key& key) {
    std::string folded = fold(path);
    if (!folded.empty() && keys_.count({root, folded}) == 0) {
        return false;
    }
    key = next_handle_++;
    handles_[key] = Handle{root, folded, access == ACCESS_WRITE};
    return true;
}

bool MemorySettingsBackend::create_key(uintptr_t root, const char* path, Key& key) {
    std::string folded = fold(path);
    if (!folded.empty()) {
        // Every key on the way is created too.
        for (size_t at = folded.find('\\'); at != std::string::npos; at = folded.find('\\', at + 1)) {
            keys_.emplace(KeyId{root, folded.substr(0, at)}, std::map<std::string, Value>());
        }
        keys_.emplace(KeyId{root, folded}, std::map<std::string, Value>());
    }
    key = next_handle_++;
    handles_[key] = Handle{root, folded, true};
    return true;
}

bool MemorySettingsBackend::query_value(Key key, const char* name, void* data, uint32_t* size) {
    auto handle = handles_.find(key);
    if (handle == handles_.end()) {
        ++refused_;
        return false;
    }
    const std::map<std::string, Value>* values = find_values(handle->second.root, handle->second.path);
    if (values == nullptr) {
        ++refused_;
        return false;
    }
    auto found = values->find(fold(name));
    if (found == values->end()) {
        return false;
    }
    const std::string& bytes = found->second.bytes;
    if (data == nullptr) {
        if (size != nullptr) {
            *size = static_cast<uint32_t>(bytes.size());
        }
        return true;
    }
    if (size == nullptr) {
        return false;
    }
    if (bytes.size() > *size) {
        *size = static_cast<uint32_t>(bytes.size());
        return false;
    }
    memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<uint32_t>(bytes.size());
    return true;
}

void MemorySettingsBackend::set_value(Key key, const char* name, uint32_t type, const void* data, uint32_t size) {
    auto handle = handles_.find(key);
    if (handle == handles_.end() || !handle->second.writable) {
        ++refused_;
        return;
    }
    const Handle& h = handle->second;
    if (!h.path.empty() && keys_.count({h.root, h.path}) == 0) {
        ++refused_;
        return;
    }
    std::string bytes(static_cast<const char*>(data), size);
    keys_[{h.root, h.path}][fold(name)] = Value{type, bytes};
}

void MemorySettingsBackend::close_key(Key key) {
    if (handles_.erase(key) == 0) {
        ++refused_;
    }
}

void MemorySettingsBackend::delete_key_tree(uintptr_t root, const char* path) {
    std::string folded = fold(path);
    std::string below = folded.empty() ? std::string() : folded + "\\";
    for (auto it = keys_.begin(); it != keys_.end();) {
        const KeyId& id = it->first;
        bool inside = id.first == root && (id.second == folded || id.second.compare(0, below.size(), below) == 0);
        it = inside ? keys_.erase(it) : std::next(it);
    }
}

uint32_t MemorySettingsBackend::read_profile(const char* section,
                                             const char* name,
                                             const char* fallback,
                                             char* out,
                                             uint32_t size,
                                             const char* path) {
    if (out == nullptr || size == 0) {
        return 0;
    }
    std::string text;
    if (!profile_value(path == nullptr ? "" : path, section == nullptr ? "" : section, name == nullptr ? "" : name,
                       &text)) {
        text = fallback == nullptr ? "" : fallback;
    }
    size_t n = text.size() < size ? text.size() : size - 1;
    memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<uint32_t>(n);
}

void MemorySettingsBackend::write_profile(const char* section, const char* name, const char* text, const char* path) {
    if (section == nullptr || path == nullptr) {
        return;
    }
    Profile& profile = profiles_[fold(path)];
    if (name == nullptr) {
        profile.erase(fold(section));
    } else if (text == nullptr) {
        auto found = profile.find(fold(section));
        if (found != profile.end()) {
            found->second.erase(fold(name));
        }
    } else {
        profile[fold(section)][fold(name)] = text;
    }
}

const std::map<std::string, MemorySettingsBackend::Value>* MemorySettingsBackend::find_values(
    uintptr_t root,
    const std::string& path) const {
    static const std::map<std::string, Value> no_values;
    auto found = keys_.find({root, fold(path)});
    if (found != keys_.end()) {
        return &found->second;
    }
    // The root itself always exists, even without values.
    return path.empty() ? &no_values : nullptr;
}

bool MemorySettingsBackend::key_exists(uintptr_t root, const std::string& path) const {
    return find_values(root, path) != nullptr;
}

bool MemorySettingsBackend::value(uintptr_t root,
                                  const std::string& path,
                                  const std::string& name,
                                  uint32_t* type,
                                  std::string* bytes) const {
    const std::map<std::string, Value>* values = find_values(root, path);
    if (values == nullptr) {
        return false;
    }
    auto found = values->find(fold(name));
    if (found == values->end()) {
        return false;
    }
    if (type != nullptr) {
        *type = found->second.type;
    }
    if (bytes != nullptr) {
        *bytes = found->second.bytes;
    }
    return true;
}

void MemorySettingsBackend::put_value(uintptr_t root,
                                      const std::string& path,
                                      const std::string& name,
                                      uint32_t type,
                                      const std::string& bytes) {
    Key key = 0;
    create_key(root, path.c_str(), key);
    set_value(key, name.c_str(), type, bytes.data(), static_cast<uint32_t>(bytes.size()));
    close_key(key);
}

void MemorySettingsBackend::delete_value(uintptr_t root, const std::string& path, const std::string& name) {
    auto found = keys_.find({root, fold(path)});
    if (found != keys_.end()) {
        found->second.erase(fold(name));
    }
}

bool MemorySettingsBackend::profile_value(const std::string& path,
                                          const std::string& section,
                                          const std::string& name,
                                          std::string* text) const {
    auto profile = profiles_.find(fold(path));
    if (profile == profiles_.end()) {
        return false;
    }
    auto found_section = profile->second.find(fold(section));
    if (found_section == profile->second.end()) {
        return false;
    }
    auto found = found_section->second.find(fold(name));
    if (found == found_section->second.end()) {
        return false;
    }
    if (text != nullptr) {
        *text = found->second;
    }
    return true;
}

bool MemorySettingsBackend::profile_exists(const std::string& path) const {
    return profiles_.count(fold(path)) != 0;
}
