// The time text of the main dialog: any text gives a defined outcome, and an accepted one is a real
// second of the day whose normalised form reads back as the same time.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "schedule/schedule_entry.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

struct Reference {
    int64_t values[3];
    int converted;
    bool overflow;
};

// The split and "%d" conversion as documented, read plainly over the first 255 characters.
Reference reference_parse(const std::string& whole) {
    const std::string text = whole.substr(0, std::min(whole.find('\0'), TIME_TEXT_SIZE - 1));
    const auto delimiter = [](char c) { return strchr(":.,;\n", c) != nullptr && c != '\0'; };
    const auto white = [](char c) { return strchr(" \t\n\v\f\r", c) != nullptr && c != '\0'; };
    std::string fields[3];
    size_t at = 0;
    for (int f = 0; f < 3; ++f) {
        if (f > 0) {
            while (at < text.size() && white(text[at])) {
                ++at;
            }
            if (at++ >= text.size()) {
                break;
            }
        }
        size_t end = at;
        while (end < text.size() && !delimiter(text[end])) {
            ++end;
        }
        if (end == at || end - at > 15) {
            break;
        }
        fields[f] = text.substr(at, end - at);
        at = end;
    }
    Reference r{{0, 0, 0}, 0, false};
    for (int f = 0; f < 3; ++f) {
        const std::string& field = fields[f];
        size_t i = 0;
        while (i < field.size() && white(field[i])) {
            ++i;
        }
        const bool negative = i < field.size() && field[i] == '-';
        i += i < field.size() && (field[i] == '-' || field[i] == '+') ? 1 : 0;
        const size_t digits = i;
        int64_t value = 0;
        for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
            value = value * 10 + (field[i] - '0');  // at most 15 digits: no overflow here
        }
        if (i == digits) {
            continue;
        }
        r.values[f] = negative ? -value : value;
        r.converted += 1;
        r.overflow = r.overflow || r.values[f] < INT32_MIN || r.values[f] > INT32_MAX;
    }
    return r;
}

bool two_digits(const char* p, int32_t value) {
    return p[0] >= '0' && p[0] <= '9' && p[1] >= '0' && p[1] <= '9' && (p[0] - '0') * 10 + (p[1] - '0') == value;
}

void check_parse(const TimeParse& time, const std::string& input) {
    FUZZ_CHECK(time.converted >= 0 && time.converted <= 3);
    const Reference expected = reference_parse(input);
    FUZZ_CHECK(time.converted == expected.converted);
    // A number beyond 32 bits gets no particular value, only a rejection.
    if (expected.overflow) {
        FUZZ_CHECK(!time.accepted);
    } else {
        FUZZ_CHECK(time.hours == expected.values[0] && time.minutes == expected.values[1] &&
                   time.seconds == expected.values[2]);
    }
    const uint32_t h = static_cast<uint32_t>(time.hours);
    const uint32_t m = static_cast<uint32_t>(time.minutes);
    const uint32_t s = static_cast<uint32_t>(time.seconds);
    FUZZ_CHECK(time.target_second == s + 60u * (m + 60u * h));
    // Out-of-range values (a too-long number included) are never accepted; in range, a number decides.
    FUZZ_CHECK(time.accepted == (h < 24u && m < 60u && s < 60u && time.converted >= 1));
    if (!time.accepted) {
        return;
    }
    FUZZ_CHECK(time.target_second < SECONDS_PER_DAY);

    // The normalised text fits the dialog's field exactly: "HH:MM:SS" and its zero byte.
    ExactBuffer normalised(9);
    format_normalised_time(time, normalised.data(), normalised.size);
    const char* text = normalised.data();
    FUZZ_CHECK(strlen(text) == 8 && text[2] == ':' && text[5] == ':');
    FUZZ_CHECK(two_digits(text, time.hours) && two_digits(text + 3, time.minutes) &&
               two_digits(text + 6, time.seconds));

    // Start writes the normalised text back; a second Start must schedule the same second.
    TimeParse again = parse_time_text(text);
    FUZZ_CHECK(again.accepted && again.converted == 3);
    FUZZ_CHECK(again.hours == time.hours && again.minutes == time.minutes && again.seconds == time.seconds);
    FUZZ_CHECK(again.target_second == time.target_second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The dialog hands over at most 255 characters; the parser is trusted to look no further, so a
    // full-length text gets no zero byte of its own.
    if (input.size() >= TIME_TEXT_SIZE - 1 && input.find('\0') >= TIME_TEXT_SIZE - 1) {
        ExactBuffer text(TIME_TEXT_SIZE - 1);
        memcpy(text.data(), input.data(), text.size);
        const TimeParse time = parse_time_text(text.data());
        check_parse(time, input);
        // Whatever stands beyond the 255th character makes no difference.
        const TimeParse whole = parse_time_text(input.c_str());
        FUZZ_CHECK(whole.hours == time.hours && whole.minutes == time.minutes && whole.seconds == time.seconds);
        FUZZ_CHECK(whole.converted == time.converted && whole.accepted == time.accepted);
        return 0;
    }
    ExactBuffer text = exact_text(input);
    check_parse(parse_time_text(text.data()), input);
    return 0;
}
