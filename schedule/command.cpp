#include "schedule/command.h"

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
