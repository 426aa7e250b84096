#include "schedule/run_record.h"

#include <algorithm>
#include <cstring>

#include "base/bounded_text.h"
#include "base/text_reader.h"

namespace {

const char RECORD_MARK[] = "Kelvast run 1";
const char ARMED[] = "armed";
const char STOPPED[] = "stopped";
constexpr size_t DATE_LENGTH = 10;       // YYYY-MM-DD
constexpr size_t TIME_LENGTH = 8;        // HH:MM:SS
constexpr size_t DATE_TIME_LENGTH = 19;  // YYYY-MM-DD HH:MM:SS

bool needs_escape(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '%' || c == ';' || byte < 0x20 || byte == 0x7F;
}

// Appends `text` with its special characters escaped.
bool append_escaped(char* out, size_t size, const char* text) {
    bool fits = true;
    for (const char* p = text; *p != '\0' && fits; ++p) {
        fits = needs_escape(*p) ? append_format(out, size, "%%%02X", static_cast<unsigned char>(*p))
                                : append_format(out, size, "%c", *p);
    }
    return fits;
}

bool append_date(char* out, size_t size, int64_t days) {
    const ClockReading date = local_reading(days * SECONDS_PER_DAY, 0);
    return append_format(out, size, "%04u-%02u-%02u", date.year, date.month, date.day);
}

bool append_date_time(char* out, size_t size, int64_t local) {
    const ClockReading t = local_reading(local, 0);
    return append_format(out, size, "%04u-%02u-%02u %02u:%02u:%02u", t.year, t.month, t.day, t.hour, t.minute,
                         t.second);
}

// A field's value: from after "; name=" up to the next ';' or the end.
struct Field {
    const char* text;
    size_t length;
};

// Reads "; name=" and the value after it from `cursor`, which then stands after the value.
bool next_field(const char*& cursor, const char* name, Field& field) {
    const size_t name_length = strlen(name);
    if (strncmp(cursor, "; ", 2) != 0 || strncmp(cursor + 2, name, name_length) != 0 ||
        cursor[2 + name_length] != '=') {
        return false;
    }
    field.text = cursor + 3 + name_length;
    field.length = strcspn(field.text, ";");
    cursor = field.text + field.length;
    return true;
}

// `count` decimal digits, all of them.
bool read_digits(const char* text, size_t count, int32_t& value) {
    value = 0;
    for (size_t i = 0; i < count; ++i) {
        const int digit = digit_value(text[i], 10);
        if (digit < 0) {
            return false;
        }
        value = value * 10 + digit;
    }
    return true;
}

bool read_time(const char* text, uint32_t& second) {
    int32_t h{}, m{}, s{};
    if (!read_digits(text, 2, h) || text[2] != ':' || !read_digits(text + 3, 2, m) || text[5] != ':' ||
        !read_digits(text + 6, 2, s) || h > 23 || m > 59 || s > 59) {
        return false;
    }
    second = static_cast<uint32_t>((h * 60 + m) * 60 + s);
    return true;
}

bool read_date(const char* text, int64_t& days) {
    int32_t year{}, month{}, day{};
    return read_digits(text, 4, year) && text[4] == '-' && read_digits(text + 5, 2, month) && text[7] == '-' &&
           read_digits(text + 8, 2, day) && days_from_date(year, month, day, days);
}

bool read_date_time(const char* text, int64_t& local) {
    int64_t days = 0;
    uint32_t second = 0;
    if (!read_date(text, days) || text[DATE_LENGTH] != ' ' || !read_time(text + DATE_LENGTH + 1, second)) {
        return false;
    }
    local = days * SECONDS_PER_DAY + second;
    return true;
}

// The escaped text of a field into `out`, whole or not at all.
bool read_escaped(const char* text, size_t length, char* out, size_t size) {
    size_t used = 0;
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c == '%') {
            const int high = length - i >= 3 ? digit_value(text[i + 1], 16) : -1;
            const int low = high >= 0 ? digit_value(text[i + 2], 16) : -1;
            if (low < 0) {
                return false;
            }
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (c == '\0' || used + 1 >= size) {
            return false;
        }
        out[used++] = c;
    }
    out[used] = '\0';
    return true;
}

// Dates one blank apart, no more than are kept.
bool read_launched(const Field& field, LaunchedDays& launched) {
    launched = LaunchedDays{};
    for (size_t at = 0; at < field.length; ++launched.count) {
        if (launched.count == LAUNCHED_DAYS_KEPT || field.length - at < DATE_LENGTH ||
            !read_date(field.text + at, launched.days[launched.count])) {
            return false;
        }
        at += DATE_LENGTH;
        if (at < field.length && (field.text[at] != ' ' || ++at == field.length)) {
            return false;
        }
    }
    return true;
}

bool read_last(const Field& field, RunRecord& record) {
    record.has_last = field.length != 0;
    record.last_text[0] = '\0';
    if (!record.has_last) {
        return true;
    }
    return field.length > DATE_TIME_LENGTH && read_date_time(field.text, record.last_moment) &&
           field.text[DATE_TIME_LENGTH] == ' ' &&
           read_escaped(field.text + DATE_TIME_LENGTH + 1, field.length - DATE_TIME_LENGTH - 1, record.last_text,
                        sizeof record.last_text);
}

bool is_mask(const Field& field) {
    return field.length == DAY_MASK_SIZE - 1 &&
           std::all_of(field.text, field.text + field.length, [](char c) { return c == '0' || c == '1'; });
}

bool read_record(const char* text, RunRecord& record) {
    if (text == nullptr || strncmp(text, RECORD_MARK, sizeof RECORD_MARK - 1) != 0) {
        return false;
    }
    const char* cursor = text + sizeof RECORD_MARK - 1;
    Field time{}, days{}, armed{}, ran{}, last{}, command{}, state{};
    if (!next_field(cursor, "time", time) || time.length != TIME_LENGTH ||
        !read_time(time.text, record.target_second) || !next_field(cursor, "days", days) || !is_mask(days) ||
        !next_field(cursor, "armed", armed) || armed.length != DATE_TIME_LENGTH ||
        !read_date_time(armed.text, record.armed_since) || !next_field(cursor, "ran", ran) ||
        !read_launched(ran, record.launched) || !next_field(cursor, "last", last) || !read_last(last, record) ||
        !next_field(cursor, "command", command) ||
        !read_escaped(command.text, command.length, record.command_line, sizeof record.command_line) ||
        !next_field(cursor, "state", state) || *cursor != '\0') {
        return false;
    }
    memcpy(record.day_mask, days.text, days.length);
    record.day_mask[days.length] = '\0';
    const bool stopped = state.length == sizeof STOPPED - 1 && strncmp(state.text, STOPPED, state.length) == 0;
    const bool armed_state = state.length == sizeof ARMED - 1 && strncmp(state.text, ARMED, state.length) == 0;
    record.stopped = stopped;
    return stopped || armed_state;
}

}  // namespace

bool parse_run_record(const char* text, RunRecord& record) {
    record = RunRecord{};
    record.valid = read_record(text, record);
    if (!record.valid) {
        record = RunRecord{};
    }
    return record.valid;
}

bool format_run_record(const RunRecord& record, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return false;
    }
    char time[TIME_OF_DAY_SIZE];
    format_time_of_day(record.target_second, time);
    bool fits = record.valid &&
                format_text(out, size, "%s; time=%s; days=%.7s; armed=", RECORD_MARK, time, record.day_mask) &&
                append_date_time(out, size, record.armed_since) && append_format(out, size, "; ran=");
    const uint32_t count = std::min(record.launched.count, LAUNCHED_DAYS_KEPT);
    for (uint32_t i = 0; fits && i < count; ++i) {
        fits = (i == 0 || append_format(out, size, " ")) && append_date(out, size, record.launched.days[i]);
    }
    fits = fits && append_format(out, size, "; last=");
    if (fits && record.has_last) {
        fits = append_date_time(out, size, record.last_moment) && append_format(out, size, " ") &&
               append_escaped(out, size, record.last_text);
    }
    fits = fits && append_format(out, size, "; command=") && append_escaped(out, size, record.command_line) &&
           append_format(out, size, "; state=%s", record.stopped ? STOPPED : ARMED);
    if (!fits) {
        out[0] = '\0';
    }
    return fits;
}

bool update_run_text(const RunRecord& record, char* text, size_t size) {
    char formatted[RUN_RECORD_TEXT_SIZE];
    const bool changed = format_run_record(record, formatted, sizeof formatted) && text != nullptr &&
                         strncmp(text, formatted, size) != 0;
    return changed && copy_text(text, size, formatted);
}

RunStart start_run(RunRecord& record,
                   const char* command_line,
                   uint32_t target_second,
                   const char* day_mask,
                   int64_t now,
                   uint32_t catch_up_seconds) {
    const char* command = command_line != nullptr ? command_line : "";
    const char* mask = day_mask != nullptr ? day_mask : "";
    const bool same = record.valid && strcmp(record.command_line, command) == 0 &&
                      record.target_second == target_second && strcmp(record.day_mask, mask) == 0;
    if (!same) {
        record = RunRecord{};
        record.valid = true;
        copy_text(record.command_line, sizeof record.command_line, command);
        record.target_second = target_second;
        copy_text(record.day_mask, sizeof record.day_mask, mask);
    }
    RunStart start{};
    start.continues = same && !record.stopped;
    if (!start.continues) {
        record.armed_since = now;
    }
    record.stopped = false;
    start.worker.launched = record.launched;
    start.worker.absent = start.continues;
    // A window reported missed, or launched, before the record's last outcome is no news.
    start.worker.absent_since = record.has_last ? std::max(record.armed_since, record.last_moment) : record.armed_since;
    start.worker.catch_up_seconds = catch_up_seconds;
    return start;
}

void stop_run(RunRecord& record) {
    record.stopped = true;
}

void note_run_outcome(RunRecord& record, const RunOutcome& outcome, const char* text) {
    if (outcome.kind == OutcomeKind::STARTED || outcome.kind == OutcomeKind::FAILED) {
        note_launched_day(record.launched, outcome.day);
    }
    record.has_last = true;
    record.last_moment = local_seconds(outcome.clock);
    copy_text(record.last_text, sizeof record.last_text, text);
}
