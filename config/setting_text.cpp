#include "config/setting_text.h"

#include <cstring>

#include "base/bounded_text.h"
#include "base/text_reader.h"

namespace {

bool is_separator(char c) {
    return c == ',' || c == '.' || c == ';' || c == ' ';
}

// Like strtok_s over ",.; ": no empty tokens, the text is cut in place.
char* next_token(char*& cursor) {
    while (*cursor != '\0' && is_separator(*cursor)) {
        ++cursor;
    }
    if (*cursor == '\0') {
        return nullptr;
    }
    char* token = cursor;
    while (*cursor != '\0' && !is_separator(*cursor)) {
        ++cursor;
    }
    if (*cursor != '\0') {
        *cursor++ = '\0';
    }
    return token;
}

// As scanf's %u / %x read a number, sign included; one beyond 32 bits counts as no number.
bool read_number(const char* s, int base, uint32_t& out) {
    const IntegerText number = read_integer(s, base, UINT32_MAX);
    if (!number.digits || number.magnitude > UINT32_MAX) {
        return false;
    }
    const auto value = static_cast<uint32_t>(number.magnitude);
    out = number.negative ? 0u - value : value;
    return true;
}

// Adds `len` bytes at out[used] and keeps the text terminated; false, adding nothing, when the
// piece and the zero byte would not fit.
bool append_piece(char* out, size_t out_size, size_t& used, const char* piece, size_t len) {
    if (used + len >= out_size) {
        return false;
    }
    memcpy(out + used, piece, len);
    used += len;
    out[used] = '\0';
    return true;
}

}  // namespace

uint32_t number_count(const SettingEntry& row) {
    return (row.flags & SF_NUMBER_LIST) ? row.size : 1;
}

// Length up to and including the first pair of zero bytes within size, or 0 when there is none.
size_t multi_string_length(const char* multi, size_t size) {
    for (size_t i = 0; i + 1 < size; ++i) {
        if (multi[i] == '\0' && multi[i + 1] == '\0') {
            return i + 2;
        }
    }
    return 0;
}

void parse_number_list(char* text, uint32_t count, uint32_t* numbers) {
    if (text == nullptr || numbers == nullptr) {
        return;
    }
    char* cursor = text;
    for (uint32_t i = 0; i < count; ++i) {
        char* token = next_token(cursor);
        if (token == nullptr) {
            return;
        }
        uint32_t value{};
        bool hex = token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
        if (hex ? read_number(token + 2, 16, value) : read_number(token, 10, value)) {
            numbers[i] = value;
        }
    }
}

bool format_number_list(const SettingEntry& row, char* out, size_t out_size) {
    if (out == nullptr || out_size == 0) {
        return false;
    }
    out[0] = '\0';
    if (row.data == nullptr) {
        return false;
    }
    const uint32_t* numbers = static_cast<const uint32_t*>(row.data);
    uint32_t count = number_count(row);
    const char* format = (row.flags & SF_HEX) ? "%s0x%x" : "%s%u";
    size_t used = 0;
    for (uint32_t i = 0; i < count; ++i) {
        char piece[sizeof ",4294967295"];
        format_text(piece, sizeof piece, format, i == 0 ? "" : ",", numbers[i]);
        if (!append_piece(out, out_size, used, piece, strlen(piece))) {
            return false;
        }
    }
    return true;
}

bool encode_multi_string(const char* multi, size_t multi_size, char* out, size_t out_size) {
    if (out == nullptr || out_size == 0) {
        return false;
    }
    out[0] = '\0';
    if (multi == nullptr) {
        return false;
    }
    size_t used = 0;
    for (size_t i = 0; i < multi_size; ++i) {
        char c = multi[i];
        char piece[] = {c, '\0'};
        size_t len = 1;
        if (c == '%') {
            piece[1] = '%';
            len = 2;
        } else if (c == '\0') {
            if (i + 1 >= multi_size || multi[i + 1] == '\0') {
                break;
            }
            piece[0] = '%';
            piece[1] = '_';
            len = 2;
        }
        if (!append_piece(out, out_size, used, piece, len)) {
            return false;
        }
    }
    return true;
}

bool decode_multi_string(const char* text, char* multi, size_t multi_size) {
    if (multi == nullptr || multi_size == 0) {
        return false;
    }
    if (multi_size < 2) {
        multi[0] = '\0';
        return false;
    }
    if (text == nullptr) {
        text = "";
    }
    size_t used = 0;
    size_t text_start = 0;  // where the text being decoded began: the place to cut back to
    bool fits = true;
    for (const char* p = text; *p != '\0';) {
        char c = *p++;
        bool separator = false;
        if (c == '%' && *p == '%') {
            ++p;
        } else if (c == '%' && *p == '_') {
            ++p;
            c = '\0';
            separator = true;
        }
        // A character needs room for the closing pair after it; a separator is itself half of one.
        size_t needed = separator ? 2 : 3;
        if (used + needed > multi_size) {
            fits = false;
            break;
        }
        multi[used++] = c;
        if (separator) {
            text_start = used;
        }
    }
    if (!fits) {
        used = text_start;
    }
    multi[used] = '\0';
    if (used + 1 < multi_size) {
        multi[used + 1] = '\0';
    }
    return fits;
}
