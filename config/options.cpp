#include "config/options.h"

#include <algorithm>
#include <cstring>

#include "base/bounded_text.h"
#include "base/text_reader.h"

size_t next_token(const char* text, char* token, size_t size, bool* cut) {
    size_t used = 0;
    size_t consumed = 0;
    bool quoted = false;
    *cut = false;
    while (text[consumed] != '\0') {
        const char c = text[consumed++];
        if (c == '"' && quoted) {
            break;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == ' ' && !quoted) {
            break;
        } else if (used + 1 < size) {
            token[used++] = c;
        } else {
            // Keep consuming an over-long token so parsing resumes after it, not inside it.
            *cut = true;
        }
    }
    token[used] = '\0';
    return consumed;
}

namespace {

// "%i" over the value text; a number outside int32_t is no number.
bool read_switch_number(const char* text, int32_t& out) {
    return to_int32(read_integer(text, 0, UINT64_C(2147483648)), out);
}

// A number as "%i" reads it, or "off" and "on" for 0 and 1.
bool read_number_value(const char* text, int32_t& out) {
    if (text == nullptr || read_switch_number(text, out)) {
        return text != nullptr;
    }
    const bool off = equals_ignoring_case(text, "off");
    out = off ? 0 : 1;
    return off || equals_ignoring_case(text, "on");
}

OptionEntry* find_switch(OptionEntry* table, uint32_t count, const char* name) {
    for (uint32_t i = 0; i < count; i++) {
        OptionEntry& row = table[i];
        bool named_kind = row.kind == OPT_FLAG || row.kind == OPT_NUMBER || row.kind == OPT_STRING;
        if (named_kind && row.name != nullptr && strcmp(row.name, name) == 0) {
            return &row;
        }
    }
    return nullptr;
}

void apply_number(OptionEntry& row, char switch_char, const char* token, const char* value_text, char* error_text) {
    if (row.present) {
        append_format(error_text, OPTION_ERROR_SIZE, "%c%s (duplicate parameter) ", switch_char, token);
        row.present = false;
    }
    int32_t number{};
    if (read_number_value(value_text, number) && number >= row.lowest && number <= row.highest) {
        row.value = number;
        row.present = true;
    }
    if (!row.present) {
        append_format(error_text, OPTION_ERROR_SIZE, "%c%s (invalid value)", switch_char, token);
    }
}

void apply_string(OptionEntry& row, char switch_char, const char* token, const char* value_text, char* error_text) {
    // A value cut to fit would name something else (another ini file, say): refuse it whole.
    bool usable_row = row.dest != nullptr && row.value > 0;
    if (value_text == nullptr || (usable_row && strlen(value_text) >= static_cast<size_t>(row.value))) {
        append_format(error_text, OPTION_ERROR_SIZE, "%c%s (invalid value)", switch_char, token);
        return;
    }
    if (!usable_row) {
        return;
    }
    copy_text(row.dest, static_cast<size_t>(row.value), value_text);
    row.present = true;
}

void give_to_positional(OptionEntry* table, uint32_t count, const char* token, bool cut, char* error_text) {
    for (uint32_t i = 0; i < count; i++) {
        OptionEntry& row = table[i];
        if (row.kind != OPT_POSITIONAL || row.present || row.dest == nullptr) {
            continue;
        }
        if (cut) {
            // Only a part of it was read: storing that would pass on a parameter never given.
            append_format(error_text, OPTION_ERROR_SIZE, "%s ", token);
            return;
        }
        copy_text(row.dest, static_cast<size_t>(std::max(row.value, 0)), token);
        row.present = true;
        return;
    }
}

}  // namespace

void parse_command_line(OptionEntry* table, uint32_t count, const char* text, char* error_text) {
    if (error_text == nullptr) {
        return;
    }
    error_text[0] = '\0';
    if (text == nullptr) {
        return;
    }
    if (table == nullptr) {
        count = 0;
    }
    char token[TOKEN_SIZE];
    const char* p = text;
    for (;;) {
        while (*p == ' ') {
            p++;
        }
        if (*p == '\0') {
            break;
        }
        bool cut{};
        if (*p != '-' && *p != '/') {
            p += next_token(p, token, sizeof token, &cut);
            give_to_positional(table, count, token, cut, error_text);
            continue;
        }
        // A lone switch character gives an empty token and so the message "%c ".
        char switch_char = *p++;
        p += next_token(p, token, sizeof token, &cut);
        if (cut) {
            append_format(error_text, OPTION_ERROR_SIZE, "%c%s ", switch_char, token);
            continue;
        }
        char name[TOKEN_SIZE];
        const char* value_text = nullptr;
        const char* equals = strchr(token, '=');
        if (equals != nullptr) {
            size_t name_length = static_cast<size_t>(equals - token);
            memcpy(name, token, name_length);
            name[name_length] = '\0';
            value_text = equals + 1;
        } else {
            copy_text(name, sizeof name, token);
        }
        OptionEntry* row = find_switch(table, count, name);
        if (row == nullptr) {
            append_format(error_text, OPTION_ERROR_SIZE, "%c%s ", switch_char, token);
        } else if (row->kind == OPT_FLAG) {
            row->present = true;
        } else if (row->kind == OPT_NUMBER) {
            apply_number(*row, switch_char, token, value_text, error_text);
        } else {
            apply_string(*row, switch_char, token, value_text, error_text);
        }
    }
    // append_format keeps the text terminated within its buffer.
    size_t length = strlen(error_text);
    if (length != 0 && error_text[length - 1] == ' ') {
        error_text[length - 1] = '\0';
    }
}
