// Placeholder expansion of the command line: the output is always terminated inside its 256 bytes,
// equals a plain reading of the placeholder rules (cut at 255 characters), and with any clock the
// platform can report it is never longer than the command line it came from.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>

#include "schedule/command.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The rules read straight: "&&", then each keyword at most once in this order, else one character.
std::string reference_expansion(const std::string& line, const ClockReading& clock) {
    const struct {
        const char* keyword;
        unsigned value;
        int width;
    } keywords[] = {{"yyyy", clock.year, 4}, {"mo", clock.month, 2},  {"dd", clock.day, 2},
                    {"hh", clock.hour, 2},   {"mi", clock.minute, 2}, {"ss", clock.second, 2}};
    std::string out;
    size_t i = 0;
    while (i < line.size()) {
        if (line.compare(i, 2, "&&") != 0) {
            out += line[i++];
            continue;
        }
        i += 2;
        for (const auto& k : keywords) {
            if (line.compare(i, strlen(k.keyword), k.keyword) == 0) {
                std::string digits = std::to_string(k.value);
                out += std::string(digits.size() < static_cast<size_t>(k.width) ? k.width - digits.size() : 0, '0');
                out += digits;
                i += strlen(k.keyword);
            }
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    ClockReading clock{};
    clock.year = input.ConsumeIntegral<uint16_t>();
    clock.month = input.ConsumeIntegral<uint16_t>();
    clock.day_of_week = input.ConsumeIntegral<uint16_t>();
    clock.day = input.ConsumeIntegral<uint16_t>();
    clock.hour = input.ConsumeIntegral<uint16_t>();
    clock.minute = input.ConsumeIntegral<uint16_t>();
    clock.second = input.ConsumeIntegral<uint16_t>();
    const bool terminated = input.ConsumeBool();
    const std::string text = input.ConsumeRemainingBytesAsString();

    // The request's 256-byte command line; left unterminated only when the caller failed to.
    ExactBuffer line(COMMAND_LINE_SIZE);
    memset(line.data(), 0, line.size);
    if (terminated) {
        memcpy(line.data(), text.data(), std::min(text.size(), COMMAND_LINE_SIZE - 1));
    } else {
        memset(line.data(), '&', line.size);
        memcpy(line.data(), text.data(), std::min(text.size(), COMMAND_LINE_SIZE));
    }
    const std::string command(line.data(), strnlen(line.data(), line.size));

    std::unique_ptr<char[][COMMAND_LINE_SIZE]> out(new char[1][COMMAND_LINE_SIZE]);
    memset(out[0], 'G', COMMAND_LINE_SIZE);
    expand_command(line.data(), clock, out[0]);
    FUZZ_CHECK(terminated_within(out[0], COMMAND_LINE_SIZE));
    const std::string expanded(out[0]);

    FUZZ_CHECK(expanded == reference_expansion(command, clock).substr(0, COMMAND_LINE_SIZE - 1));
    // Every keyword with its "&&" is at least as long as its value from a real clock reading.
    const bool real_clock =
        clock.month <= 99 && clock.day <= 99 && clock.hour <= 99 && clock.minute <= 99 && clock.second <= 99;
    if (real_clock) {
        FUZZ_CHECK(expanded.size() <= command.size());
    }
    return 0;
}
