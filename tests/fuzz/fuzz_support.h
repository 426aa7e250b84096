// What every fuzz target shares: a property check that libFuzzer reports as a crash, and texts in
// heap blocks of exactly the size the real caller uses, so AddressSanitizer sees one byte too far.
#ifndef KELVAST_FUZZ_SUPPORT_H
#define KELVAST_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, #condition); \
            __builtin_trap();                                                                  \
        }                                                                                      \
    } while (0)

// A block of exactly `size` bytes.
struct ExactBuffer {
    explicit ExactBuffer(size_t size) : bytes(new char[size == 0 ? 1 : size]), size(size) {}
    char* data() { return bytes.get(); }
    const char* data() const { return bytes.get(); }
    std::unique_ptr<char[]> bytes;
    size_t size;
};

// `text` up to its first zero byte, with its zero byte, in a block of exactly that length + 1.
inline ExactBuffer exact_text(const std::string& text) {
    std::string cut(text.c_str());
    ExactBuffer buffer(cut.size() + 1);
    memcpy(buffer.data(), cut.c_str(), cut.size() + 1);
    return buffer;
}

// Whether `text` has a zero byte within its first `size` bytes.
inline bool terminated_within(const char* text, size_t size) {
    return memchr(text, '\0', size) != nullptr;
}

// The bytes of a multi-string up to and including its closing pair; empty when there is none.
inline std::string closed_multi_string(const char* multi, size_t size) {
    for (size_t i = 0; i + 1 < size; ++i) {
        if (multi[i] == '\0' && multi[i + 1] == '\0') {
            return std::string(multi, i + 2);
        }
    }
    return std::string();
}

#endif
