#include "schedule/command.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/bounded_text.h"

namespace {

struct Keyword {
    const char* text;
    size_t length;
    const char* format;
    uint16_t ClockReading::*field;
};

// Tested in this order, each once, behind one "&&".
const Keyword KEYWORDS[] = {
    {"yyyy", 4, "%4.4u", &ClockReading::year}, {"mo", 2, "%2.2u", &ClockReading::month},
    {"dd", 2, "%2.2u", &ClockReading::day},    {"hh", 2, "%2.2u", &ClockReading::hour},
    {"mi", 2, "%2.2u", &ClockReading::minute}, {"ss", 2, "%2.2u", &ClockReading::second},
};

// Never looks past the zero byte or the end of the input buffer.
bool matches_at(const char* input, size_t i, const Keyword& keyword) {
    for (size_t k = 0; k < keyword.length; ++k) {
        if (i + k >= COMMAND_LINE_SIZE || input[i + k] != keyword.text[k]) {
            return false;
        }
    }
    return true;
}

}  // namespace

void expand_command(const char* command_line, const ClockReading& clock, char (&out)[COMMAND_LINE_SIZE]) {
    size_t o = 0;
    if (command_line != nullptr) {
        size_t i = 0;
        // The output check only matters for an unterminated input or a clock value wider than
        // its keyword; for a proper command line the expansion is never longer than the input.
        while (i < COMMAND_LINE_SIZE && command_line[i] != '\0' && o < COMMAND_LINE_SIZE - 1) {
            if (command_line[i] == '&' && i + 1 < COMMAND_LINE_SIZE && command_line[i + 1] == '&') {
                i += 2;
                for (const Keyword& keyword : KEYWORDS) {
                    if (matches_at(command_line, i, keyword)) {
                        format_text(out + o, COMMAND_LINE_SIZE - o, keyword.format,
                                    static_cast<unsigned>(clock.*keyword.field));
                        o += strlen(out + o);  // format_text terminates within the bound
                        i += keyword.length;
                    }
                }
                continue;
            }
            out[o++] = command_line[i++];
        }
    }
    out[o] = '\0';
}

namespace {

// A path that the platform would split at its first blank; one already in quotes is left alone.
bool needs_quotes(const char* path) {
    return path[0] != '"' && strchr(path, ' ') != nullptr;
}

}  // namespace

QuotedPath quote_program_path(const char* path, char* out, size_t size) {
    const char* text = path != nullptr ? path : "";
    const bool quote = needs_quotes(text);
    if (quote ? format_text(out, size, "\"%s\"", text) : copy_text(out, size, text)) {
        return quote ? QuotedPath::QUOTED : QuotedPath::AS_IS;
    }
    copy_text(out, size, "");
    return QuotedPath::TOO_LONG;
}

void chooser_start_name(const char* text, char* out, size_t size) {
    const char* from = text != nullptr ? text : "";
    const size_t length = strlen(from);
    const bool quoted = length > 1 && from[0] == '"' && strchr(from + 1, '"') == from + length - 1;
    if (!quoted || !format_text(out, size, "%.*s", static_cast<int>(std::min<size_t>(length - 2, INT_MAX)), from + 1)) {
        copy_text(out, size, from);
    }
    // The chooser refuses such a name on Windows; Wine shows it and then reports it refused.
    const char* name = out != nullptr ? out : "";
    if (std::any_of(name, name + strlen(name),
                    [](char c) { return strchr("\"<>|*?", c) != nullptr || static_cast<unsigned char>(c) < ' '; })) {
        copy_text(out, size, "");
    }
}

bool is_plain_file(uint32_t attributes) {
    return attributes != PATH_ATTRIBUTES_MISSING && (attributes & PATH_ATTRIBUTE_FOLDER) == 0;
}

void command_to_start(const char* expanded, WorkerPlatform& platform, char (&out)[START_LINE_SIZE]) {
    const char* line = expanded != nullptr ? expanded : "";
    if (needs_quotes(line) && platform.is_file(line)) {
        quote_program_path(line, out, sizeof out);
    } else {
        copy_text(out, sizeof out, line);
    }
}
