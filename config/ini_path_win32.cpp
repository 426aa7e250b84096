#include <windows.h>

#include "config/ini_path_win32.h"

namespace {

class Win32PathQueries : public PathQueries {
  public:
    constexpr Win32PathQueries() = default;

    uint32_t program_path(char* out, uint32_t size) override { return GetModuleFileNameA(nullptr, out, size); }

    uint32_t full_path(const char* path, char* out, uint32_t size) override {
        return GetFullPathNameA(path, size, out, nullptr);
    }
};

// Constant-initialised: built into the image, no guard on first use.
Win32PathQueries path_queries;

}  // namespace

PathQueries& win32_path_queries() {
    return path_queries;
}
