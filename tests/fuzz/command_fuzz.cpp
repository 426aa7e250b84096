// Placeholder expansion: inside 256 bytes, the text before "&&" kept, never longer with a real clock.
#include "schedule/command.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const auto field = [&] { return input.ConsumeIntegral<uint16_t>(); };
    const ClockReading clock{field(), field(), field(), field(), field(), field(), field()};
    const bool terminated = input.ConsumeBool();
    const std::string text = input.ConsumeRemainingBytesAsString();
    // The request's 256 bytes, unterminated only when the caller failed to terminate them.
    ExactBuffer line(COMMAND_LINE_SIZE);
    memset(line.data(), terminated ? '\0' : '&', line.size);
    memcpy(line.data(), text.data(), std::min(text.size(), COMMAND_LINE_SIZE - terminated));
    std::unique_ptr<char[][COMMAND_LINE_SIZE]> out(new char[1][COMMAND_LINE_SIZE]);
    expand_command(line.data(), clock, out[0]);
    FUZZ_CHECK(memchr(out[0], '\0', COMMAND_LINE_SIZE));

    const std::string command(line.data(), strnlen(line.data(), line.size)), expanded = out[0];
    const std::string plain = command.substr(0, std::min(command.find("&&"), COMMAND_LINE_SIZE - 1));
    FUZZ_CHECK(expanded.compare(0, plain.size(), plain) == 0);
    FUZZ_CHECK(command.find("&&") != std::string::npos || expanded == plain);
    const bool real = std::max({clock.month, clock.day, clock.hour, clock.minute, clock.second}) <= 99;
    FUZZ_CHECK(!real || expanded.size() <= command.size());
    return 0;
}
