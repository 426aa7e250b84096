// Number lists of the settings store: reading any text touches only the elements it has tokens for,
// plain numbers read as themselves, formatting is bounded and never ends inside a number, and the
// formatted text reads back as the same numbers.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config/setting_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr uint32_t UNTOUCHED = 0xA5A5A5A5u;

std::vector<std::string> tokens_of(const std::string& text) {
    std::vector<std::string> tokens;
    std::string current;
    for (char c : text) {
        if (c == ',' || c == '.' || c == ';' || c == ' ') {
            if (!current.empty()) {
                tokens.push_back(current);
            }
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        tokens.push_back(current);
    }
    return tokens;
}

// The value of a token that is nothing but a short number, or -1 for any other token.
int64_t plain_value(const std::string& token) {
    const bool hex = token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
    const std::string digits = hex ? token.substr(2) : token;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.size() > (hex ? 8u : 9u) || digits.find_first_not_of(allowed) != std::string::npos) {
        return -1;
    }
    return static_cast<int64_t>(std::stoul(digits, nullptr, hex ? 16 : 10));
}

std::string formatted(const SettingEntry& row) {
    std::string out(row.size * 12 + 16, 'F');
    FUZZ_CHECK(format_number_list(row, &out[0], out.size()));
    return std::string(out.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const uint32_t count = input.ConsumeIntegralInRange<uint32_t>(0, 16);
    const uint32_t flags = input.ConsumeBool() ? SF_NUMBER_LIST | SF_HEX : SF_NUMBER_LIST;
    const size_t out_size = input.ConsumeIntegralInRange<size_t>(1, 200);
    const std::string text = input.ConsumeRemainingBytesAsString();

    std::unique_ptr<uint32_t[]> numbers(new uint32_t[count]);
    for (uint32_t i = 0; i < count; ++i) {
        numbers[i] = UNTOUCHED;
    }
    ExactBuffer line = exact_text(text);
    const std::vector<std::string> tokens = tokens_of(line.data());
    parse_number_list(line.data(), count, numbers.get());
    for (uint32_t i = 0; i < count; ++i) {
        if (i >= tokens.size()) {
            FUZZ_CHECK(numbers[i] == UNTOUCHED);
            continue;
        }
        const int64_t plain = plain_value(tokens[i]);
        if (plain >= 0) {
            FUZZ_CHECK(numbers[i] == static_cast<uint32_t>(plain));
        }
    }

    // Written and read back, in both forms.
    SettingEntry row = {"Section", "Name", REG_DWORD, flags, numbers.get(), count};
    const std::string full = formatted(row);
    FUZZ_CHECK(full.find_first_not_of("0123456789abcdefx,") == std::string::npos);
    std::unique_ptr<uint32_t[]> read_back(new uint32_t[count]);
    ExactBuffer copy = exact_text(full);
    parse_number_list(copy.data(), count, read_back.get());
    FUZZ_CHECK(count == 0 || memcmp(read_back.get(), numbers.get(), count * sizeof(uint32_t)) == 0);

    // Into a buffer too small, the text is cut after a whole number.
    ExactBuffer out(out_size);
    const bool fitted = format_number_list(row, out.data(), out.size);
    FUZZ_CHECK(terminated_within(out.data(), out.size));
    const std::string cut(out.data());
    FUZZ_CHECK(fitted == (full.size() < out_size));
    FUZZ_CHECK(full.rfind(cut, 0) == 0);
    FUZZ_CHECK(fitted || cut.empty() || full[cut.size()] == ',');

    // A row without the list flag is one number, whatever its size says.
    if (count > 0) {
        SettingEntry single = {"Section", "Name", REG_DWORD, flags & SF_HEX, numbers.get(), count};
        const std::string one = formatted(single);
        FUZZ_CHECK(one.find(',') == std::string::npos && full.rfind(one, 0) == 0);
    }
    return 0;
}
