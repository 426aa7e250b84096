#include "schedule/schedule_entry.h"

#include <climits>
#include <cstring>

#include "app/bounded_text.h"

namespace {

constexpr size_t FIELD_SIZE = 16;  // 15 characters and the zero byte
constexpr const char* DEFAULT_WAITING_FORMAT = "Waiting to start program at %2.2i:%2.2i:%2.2i";

bool is_delimiter(char c) {
    return c == ':' || c == '.' || c == ',' || c == ';' || c == '\n';
}

// The C locale's white space, which the scanner skips.
bool is_white(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

struct Cursor {
    const char* text;
    size_t pos;
    size_t end;
};

// One run of non-delimiters into a 16-byte field; false ends the split (empty or too long).
bool take_field(Cursor& cursor, char (&field)[FIELD_SIZE]) {
    size_t start = cursor.pos;
    while (cursor.pos < cursor.end && !is_delimiter(cursor.text[cursor.pos])) {
        ++cursor.pos;
    }
    size_t length = cursor.pos - start;
    if (length == 0 || length >= FIELD_SIZE) {
        field[0] = '\0';
        return false;
    }
    memcpy(field, cursor.text + start, length);
    field[length] = '\0';
    return true;
}

// White space, then exactly one other character of whatever kind; false at the end of the text.
bool skip_separator(Cursor& cursor) {
    while (cursor.pos < cursor.end && is_white(cursor.text[cursor.pos])) {
        ++cursor.pos;
    }
    if (cursor.pos >= cursor.end) {
        return false;
    }
    ++cursor.pos;
    return true;
}

struct FieldNumber {
    int32_t value;
    bool converted;
    bool overflow;
};

// Our own "%d" so every runtime agrees, including on digits beyond 32 bits (which some wrap).
FieldNumber convert_field(const char* field) {
    size_t i = 0;
    while (is_white(field[i])) {
        ++i;
    }
    bool negative = false;
    if (field[i] == '+' || field[i] == '-') {
        negative = field[i] == '-';
        ++i;
    }
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t magnitude = 0;
    bool digits = false;
    bool overflow = false;
    for (; is_digit(field[i]); ++i) {
        digits = true;
        if (!overflow) {
            magnitude = magnitude * 10 + (field[i] - '0');
            overflow = magnitude > limit;
        }
    }
    if (!digits) {
        return {0, false, false};
    }
    if (overflow) {
        return {negative ? INT32_MIN : INT32_MAX, true, true};
    }
    return {static_cast<int32_t>(negative ? -magnitude : magnitude), true, false};
}

// Only integer conversions may take the three values; anything else would read arguments
// that are not there.
bool is_safe_waiting_format(const char* format) {
    int conversions = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            continue;
        }
        ++p;
        if (*p == '%') {
            continue;
        }
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') {
            ++p;
        }
        while (is_digit(*p)) {
            ++p;
        }
        if (*p == '.') {
            ++p;
            while (is_digit(*p)) {
                ++p;
            }
        }
        if (*p != 'i' && *p != 'd') {
            return false;
        }
        if (++conversions > 3) {
            return false;
        }
    }
    return true;
}

}  // namespace

TimeParse parse_time_text(const char* text) {
    char fields[3][FIELD_SIZE] = {{'\0'}, {'\0'}, {'\0'}};
    if (text != nullptr) {
        Cursor cursor{text, 0, strnlen(text, TIME_TEXT_SIZE - 1)};
        for (int f = 0; f < 3; ++f) {
            if (f > 0 && !skip_separator(cursor)) {
                break;
            }
            if (!take_field(cursor, fields[f])) {
                break;
            }
        }
    }

    TimeParse result{};
    bool overflow = false;
    int32_t* values[3] = {&result.hours, &result.minutes, &result.seconds};
    for (int f = 0; f < 3; ++f) {
        FieldNumber number = convert_field(fields[f]);
        *values[f] = number.value;
        result.converted += number.converted ? 1 : 0;
        overflow = overflow || number.overflow;
    }

    const uint32_t h = static_cast<uint32_t>(result.hours);
    const uint32_t m = static_cast<uint32_t>(result.minutes);
    const uint32_t s = static_cast<uint32_t>(result.seconds);
    result.target_second = s + 60u * (m + 60u * h);
    result.accepted = h < 24u && m < 60u && s < 60u && result.converted >= 1 && !overflow;
    return result;
}

void build_day_mask(const int states[7], char (&mask)[DAY_MASK_SIZE]) {
    for (int i = 0; i < 7; ++i) {
        mask[i] = (states != nullptr && states[i] == 1) ? '1' : '0';
    }
    mask[7] = '\0';
}

void format_normalised_time(const TimeParse& time, char* out, size_t size) {
    format_text(out, size, "%2.2i:%2.2i:%2.2i", time.hours, time.minutes, time.seconds);
}

void format_waiting_text(const char* format, const TimeParse& time, char* out, size_t size) {
    if (format == nullptr || !is_safe_waiting_format(format)) {
        format = DEFAULT_WAITING_FORMAT;
    }
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    format_text(out, size, format, time.hours, time.minutes, time.seconds);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}
