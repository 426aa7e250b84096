#include "schedule/program_path.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/bounded_text.h"

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

void started_program(const char* line, char* out, size_t size) {
    const char* from = line != nullptr ? line : "";
    size_t length = strcspn(from, " \t");
    if (from[0] == '"') {
        ++from;
        length = strcspn(from, "\"");
    }
    format_text(out, size, "%.*s", static_cast<int>(std::min<size_t>(length, INT_MAX)), from);
}
