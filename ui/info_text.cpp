#include "ui/info_text.h"

#include <cstring>

#include "base/bounded_text.h"

const char* const INFO_WEB_ADDRESS = "https://kelvast.example.org/download";
const char* const INFO_EMAIL_ADDRESS = "kelvast@example.org";
const char* const INFO_DESCRIPTION_LINE =
    "This program executes another program at a specified time and day.\r\r\n\r\r\n";
const char* const INFO_OPTIONS_LINE = "The following command line parameters are supported:\r\r\n";

namespace {

const char* text_or_empty(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

bool format_info_header(const char* title, const char* build_date, const char* build_time, char* out, size_t size) {
    return format_text(out, size,
                       "%s\r\r\n"
                       "Written by: Tansky, compiled on %s, %s\r\r\n"
                       "for updates check: %s\r\r\n"
                       "or email to: %s\r\r\n"
                       "\r\r\n",
                       text_or_empty(title), text_or_empty(build_date), text_or_empty(build_time), INFO_WEB_ADDRESS,
                       INFO_EMAIL_ADDRESS);
}

bool format_info_caption(const char* title, char* out, size_t size) {
    return format_text(out, size, "%s - Program Information", text_or_empty(title));
}

bool format_option_line(const OptionEntry& row, uint32_t* positional_counter, char* out, size_t size) {
    const char* prefix = "";
    const char* name = "";
    const char* suffix = "";
    char numbered[sizeof "pos4294967295"];
    switch (row.kind) {
        case OPT_FLAG:
            prefix = "-";
            name = text_or_empty(row.name);
            break;
        case OPT_NUMBER:
            prefix = "-";
            name = text_or_empty(row.name);
            suffix = "=n";
            break;
        case OPT_STRING:
            prefix = "-";
            name = text_or_empty(row.name);
            suffix = "=\"string\"";
            break;
        case OPT_POSITIONAL: {
            uint32_t number = 1;
            if (positional_counter != nullptr) {
                number = (*positional_counter)++;
            }
            format_text(numbered, sizeof numbered, "pos%u", number);
            name = numbered;
            break;
        }
        default:
            break;
    }
    bool fits = format_text(out, size, "%s%s%s: %s\r\r\n", prefix, name, suffix, text_or_empty(row.description));
    // Keep the line break of a cut line so the next entry still starts on a line of its own.
    static const char line_end[] = "\r\r\n";
    if (!fits && size >= sizeof line_end) {
        memcpy(out + size - sizeof line_end, line_end, sizeof line_end);
    }
    return fits;
}

bool build_info_text(const OptionEntry* table,
                     uint32_t count,
                     const char* title,
                     const char* build_date,
                     const char* build_time,
                     char* out,
                     size_t size) {
    if (out == nullptr || size == 0) {
        return false;
    }
    out[0] = '\0';
    char line[INFO_TEXT_SIZE];
    bool lines_fit = format_info_header(title, build_date, build_time, line, sizeof line);
    append_format(out, size, "%s", line);
    append_format(out, size, "%s", INFO_DESCRIPTION_LINE);
    // Once a piece is cut the buffer is full and every later one is cut too, so the last piece
    // tells whether the listing is whole.
    bool whole = append_format(out, size, "%s", INFO_OPTIONS_LINE);
    uint32_t positional_counter = 1;
    for (uint32_t i = 0; table != nullptr && i < count; i++) {
        lines_fit = format_option_line(table[i], &positional_counter, line, sizeof line) && lines_fit;
        whole = append_format(out, size, "%s", line);
    }
    return lines_fit && whole;
}
