// The one reader of characters and integers behind every parser of typed or stored text: the
// switch values, the stored number lists and the time fields differ only in the rules they pass.
#ifndef KELVAST_TEXT_READER_H
#define KELVAST_TEXT_READER_H

#include <cstdint>

// The C locale's white space, which scanf skips before a number.
bool is_c_space(char c);
// The value of `c` as a digit of `base` (at most 16, either case), or -1.
int digit_value(char c, int base);
// ASCII upper case to lower; every other byte as it is.
char fold_case(char c);
bool equals_ignoring_case(const char* a, const char* b);

struct IntegerText {
    uint64_t magnitude;  // exact up to the reader's cap; anything above it means "beyond"
    bool negative;
    bool digits;  // at least one digit was read
};

// White space, an optional sign, then digits of `base` up to the first other character, as
// scanf reads a number. Base 0 decides as "%i" does: hex after "0x" or "0X" (when a hex digit
// follows), octal after a leading 0, decimal otherwise. The magnitude stops growing once it is
// beyond `cap`, so no digit run can overflow it.
IntegerText read_integer(const char* text, int base, uint64_t cap);
// The signed 32-bit value of a read, or false when it had no digits or does not fit.
bool to_int32(const IntegerText& number, int32_t& out);

#endif
