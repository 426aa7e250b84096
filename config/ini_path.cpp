#include "config/ini_path.h"

#include <algorithm>

#include "base/bounded_text.h"
#include "base/text_reader.h"

namespace {

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

}  // namespace

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
