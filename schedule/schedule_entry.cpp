#include "schedule/schedule_entry.h"

#include <climits>
#include <cstring>

#include "base/bounded_text.h"
#include "base/text_reader.h"

namespace {

constexpr size_t FIELD_SIZE = 16;  // 15 characters and the zero byte
constexpr const char* DEFAULT_WAITING_FORMAT = "Waiting to start program at %2.2i:%2.2i:%2.2i";

bool is_delimiter(char c) {
    return c == ':' || c == '.' || c == ',' || c == ';' || c == '\n';
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
        return false;  // the field stays empty
    }
    memcpy(field, cursor.text + start, length);
    field[length] = '\0';
    return true;
}

// White space, then exactly one other character of whatever kind. At the end of the text it steps
// past the end, where take_field finds an empty field.
void skip_separator(Cursor& cursor) {
    while (cursor.pos < cursor.end && is_c_space(cursor.text[cursor.pos])) {
        ++cursor.pos;
    }
    ++cursor.pos;
}

// Our own "%d" so every runtime agrees. Digits beyond 32 bits give the nearest limit, which no
// time accepts, rather than whatever a wrapping conversion would make of them.
int32_t convert_field(const char* field, int& converted) {
    const IntegerText number = read_integer(field, 10, UINT64_C(2147483648));
    int32_t value = 0;
    if (!to_int32(number, value) && number.digits) {
        value = number.negative ? INT32_MIN : INT32_MAX;
    }
    converted += number.digits ? 1 : 0;
    return value;
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
        while (digit_value(*p, 10) >= 0) {
            ++p;
        }
        if (*p == '.') {
            ++p;
            while (digit_value(*p, 10) >= 0) {
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
    char fields[][FIELD_SIZE] = {"", "", ""};
    if (text != nullptr) {
        Cursor cursor{text, 0, strnlen(text, TIME_TEXT_SIZE - 1)};
        for (int f = 0; f < 3; ++f) {
            if (f > 0) {
                skip_separator(cursor);
            }
            if (!take_field(cursor, fields[f])) {
                break;
            }
        }
    }

    TimeParse result{};
    result.hours = convert_field(fields[0], result.converted);
    result.minutes = convert_field(fields[1], result.converted);
    result.seconds = convert_field(fields[2], result.converted);

    const uint32_t h = static_cast<uint32_t>(result.hours);
    const uint32_t m = static_cast<uint32_t>(result.minutes);
    const uint32_t s = static_cast<uint32_t>(result.seconds);
    result.target_second = s + 60u * (m + 60u * h);
    result.accepted = h < 24u && m < 60u && s < 60u && result.converted >= 1;
    return result;
}

void build_day_mask(const int* states, char (&mask)[DAY_MASK_SIZE]) {
    for (int i = 0; i < 7; ++i) {
        mask[i] = (states != nullptr && states[i] == 1) ? '1' : '0';
    }
    mask[7] = '\0';
}

void format_normalised_time(const TimeParse& time, char* out, size_t size) {
    format_text(out, size, "%2.2i:%2.2i:%2.2i", time.hours, time.minutes, time.seconds);
}

void format_time_of_day(uint32_t second, char (&out)[TIME_OF_DAY_SIZE]) {
    const uint32_t t = second % SECONDS_PER_DAY;
    format_text(out, sizeof out, "%02u:%02u:%02u", t / 3600, t / 60 % 60, t % 60);
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
