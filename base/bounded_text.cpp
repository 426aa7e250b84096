#include "base/bounded_text.h"

#include <cstdio>
#include <cstring>

bool has_text(const char* text) {
    return text != nullptr && text[0] != '\0';
}

bool copy_text(char* dest, size_t size, const char* src) {
    if (dest == nullptr || size == 0) {
        return false;
    }
    if (src == nullptr) {
        dest[0] = '\0';
        return true;
    }
    size_t n = strnlen(src, size);
    bool fits = n < size;
    if (!fits) {
        n = size - 1;
    }
    memcpy(dest, src, n);
    dest[n] = '\0';
    return fits;
}

static bool vformat_text(char* dest, size_t size, const char* format, va_list args) {
    if (dest == nullptr || size == 0) {
        return false;
    }
    // On Windows the system's own formatter rather than a second one linked in. It returns -1 for a
    // text cut short and leaves a buffer it filled to the last byte unterminated; the C library's
    // returns the whole length and terminates. The last byte is set either way.
#if defined(_WIN32)
    int n = _vsnprintf(dest, size, format, args);
#else
    int n = vsnprintf(dest, size, format, args);
#endif
    dest[size - 1] = '\0';
    return n >= 0 && static_cast<size_t>(n) < size;
}

bool format_text(char* dest, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool fits = vformat_text(dest, size, format, args);
    va_end(args);
    return fits;
}

bool append_format(char* dest, size_t size, const char* format, ...) {
    if (dest == nullptr || size == 0) {
        return false;
    }
    size_t used = strnlen(dest, size);
    if (used >= size) {
        // Not terminated within its buffer: terminate at the end rather than write past it.
        dest[size - 1] = '\0';
        return false;
    }
    va_list args;
    va_start(args, format);
    bool fits = vformat_text(dest + used, size - used, format, args);
    va_end(args);
    return fits;
}
