// Where the ini file lives, whatever form of path the switch gave.
#ifndef KELVAST_INI_PATH_H
#define KELVAST_INI_PATH_H

#include <cstddef>
#include <cstdint>

// What the ini path rules ask the platform.
class PathQueries {
  public:
    virtual ~PathQueries() = default;
    // Like GetModuleFileNameA for the program: the characters copied, `size` when the path was
    // cut, 0 on failure.
    virtual uint32_t program_path(char* out, uint32_t size) = 0;
    // Like GetFullPathNameA: the characters copied; when the path does not fit, the size it needs
    // with its zero byte; 0 on failure.
    virtual uint32_t full_path(const char* path, char* out, uint32_t size) = 0;
};

// Where an ini file lives: a bare file name beside the program (the profile functions would put it
// in the Windows directory, which a normal user cannot write), a drive-letter or UNC path as given,
// any other path made full from the current directory. False, with `out` empty, when that fails
// or the result does not fit.
bool resolve_ini_path(const char* ini_path, PathQueries& paths, char* out, size_t size);

#endif
