// Bounded text helpers used everywhere a text is copied or formatted into a fixed buffer.
#ifndef KELVAST_BOUNDED_TEXT_H
#define KELVAST_BOUNDED_TEXT_H

#include <cstdarg>
#include <cstddef>

// A text with at least one character (null is none).
bool has_text(const char* text);

// Copies at most size - 1 characters and always terminates (when size > 0). Returns true when
// the whole text fitted.
bool copy_text(char* dest, size_t size, const char* src);

// printf into dest, cut to fit and always terminated (when size > 0). Returns true when the
// whole text fitted.
bool format_text(char* dest, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// Appends the formatted text at the end of the text already in dest, bounded by dest's size.
bool append_format(char* dest, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

#endif
