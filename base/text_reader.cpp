#include "base/text_reader.h"

bool is_c_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int digit_value(char c, int base) {
    const char folded = fold_case(c);
    int value = base;  // no digit
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (folded >= 'a' && folded <= 'f') {
        value = folded - 'a' + 10;
    }
    return value < base ? value : -1;
}

char fold_case(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equals_ignoring_case(const char* a, const char* b) {
    for (; fold_case(*a) == fold_case(*b); ++a, ++b) {
        if (*a == '\0') {
            return true;
        }
    }
    return false;
}

IntegerText read_integer(const char* text, int base, uint64_t cap) {
    IntegerText number{0, false, false};
    const char* p = text;
    while (is_c_space(*p)) {
        ++p;
    }
    if (*p == '+' || *p == '-') {
        number.negative = *p == '-';
        ++p;
    }
    if (base == 0) {
        base = p[0] == '0' ? 8 : 10;
        if (p[0] == '0' && fold_case(p[1]) == 'x' && digit_value(p[2], 16) >= 0) {
            base = 16;
            p += 2;
        }
    }
    for (int d = digit_value(*p, base); d >= 0; d = digit_value(*++p, base)) {
        number.digits = true;
        if (number.magnitude <= cap) {
            number.magnitude = number.magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        }
    }
    return number;
}

bool to_int32(const IntegerText& number, int32_t& out) {
    const uint64_t limit = number.negative ? UINT64_C(2147483648) : UINT64_C(2147483647);
    if (!number.digits || number.magnitude > limit) {
        return false;
    }
    out = static_cast<int32_t>(number.negative ? -static_cast<int64_t>(number.magnitude)
                                               : static_cast<int64_t>(number.magnitude));
    return true;
}
