// What the fuzz targets share: a broken property traps, so libFuzzer keeps the input, and heap blocks
// of exactly the caller's size, which AddressSanitizer guards at both ends and fills with non-zero.
#pragma once
#include <fuzzer/FuzzedDataProvider.h>  // with <algorithm>, <cstring>, <string> and <vector>

#include <cstdio>
#include <memory>

#define FUZZ_CHECK(c) \
    ((c) ? void() : (fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, #c), __builtin_trap()))

struct ExactBuffer {
    explicit ExactBuffer(size_t size) : bytes(new char[size + (size == 0)]), size(size) {}
    char* data() { return bytes.get(); }
    std::unique_ptr<char[]> bytes;
    size_t size;
};

inline ExactBuffer exact_text(const std::string& text) {  // to its first zero byte
    ExactBuffer buffer(strlen(text.c_str()) + 1);
    memcpy(buffer.data(), text.c_str(), buffer.size);
    return buffer;
}

inline std::string closed_multi_string(const char* multi, size_t size) {  // empty when not closed
    const size_t pair = std::string(multi, size).find(std::string(2, '\0'));
    return pair == std::string::npos ? std::string() : std::string(multi, pair + 2);
}
