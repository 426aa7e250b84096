// The platform's attribute bits of a path (GetFileAttributesA), for the portable code that decides on
// them; the Win32 files check them against the system's own.
#ifndef KELVAST_PATH_ATTRIBUTES_H
#define KELVAST_PATH_ATTRIBUTES_H

#include <cstdint>

// What answers for no path at all.
constexpr uint32_t PATH_ATTRIBUTES_MISSING = 0xFFFFFFFF;
constexpr uint32_t PATH_ATTRIBUTE_READ_ONLY = 0x1;
constexpr uint32_t PATH_ATTRIBUTE_FOLDER = 0x10;

#endif
