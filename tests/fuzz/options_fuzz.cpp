// The program's switches: tokens and the option table's values stay inside their buffers for any
// command line, the table's constant fields never change, and only switches that were typed can
// become present.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/startup.h"
#include "config/options.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// One call of next_token into a token buffer of `size` bytes, checked against an unbounded one.
void check_token(const std::string& text, size_t size) {
    ExactBuffer line = exact_text(text);
    const size_t length = strlen(line.data());
    std::string whole(length + 1, 'W');
    bool whole_cut = true;
    const size_t whole_consumed = next_token(line.data(), &whole[0], whole.size(), &whole_cut);
    FUZZ_CHECK(!whole_cut);
    FUZZ_CHECK(whole_consumed <= length && (whole_consumed == 0) == (length == 0));
    const std::string token(whole.c_str());
    FUZZ_CHECK(token.size() <= whole_consumed && token.find('"') == std::string::npos);

    ExactBuffer small(size);
    bool cut = false;
    FUZZ_CHECK(next_token(line.data(), small.data(), small.size, &cut) == whole_consumed);
    // Consumed whole and cut to fit, with the cut reported.
    FUZZ_CHECK(terminated_within(small.data(), small.size));
    FUZZ_CHECK(cut == (token.size() > size - 1));
    FUZZ_CHECK(token.rfind(small.data(), 0) == 0);
    FUZZ_CHECK(strlen(small.data()) == std::min(token.size(), size - 1));
}

struct RowBefore {
    const char* name;
    int32_t kind;
    char* dest;
    int32_t size;
    const char* description;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const uint8_t extra_rows = input.ConsumeIntegral<uint8_t>();
    const size_t token_size = input.ConsumeIntegralInRange<size_t>(1, 300);
    const size_t positional_size = input.ConsumeIntegralInRange<size_t>(0, 40);
    const size_t string_size = input.ConsumeIntegralInRange<size_t>(0, 40);
    const std::string text = input.ConsumeRemainingBytesAsString();

    check_token(text, token_size);

    // The program's table over buffers of their real sizes, and optionally the kinds it lacks.
    ExactBuffer ini_path(INI_PATH_SIZE);
    ExactBuffer positional(positional_size);
    ExactBuffer string_value(string_size);
    std::vector<OptionEntry> table(option_table, option_table + option_count);
    for (OptionEntry& row : table) {
        row.value = row.kind == OPT_STRING ? static_cast<int32_t>(ini_path.size) : 0;
        row.present = 0;
        if (row.dest != nullptr) {
            row.dest = ini_path.data();
        }
    }
    const size_t positional_row = table.size();
    if (extra_rows & 1) {
        table.push_back({"", OPT_POSITIONAL, positional.data(), static_cast<int32_t>(positional_size), 0, "file"});
    }
    if (extra_rows & 2) {
        table.push_back({"s", OPT_STRING, string_value.data(), static_cast<int32_t>(string_size), 0, "small"});
    }
    std::vector<RowBefore> before;
    for (const OptionEntry& row : table) {
        before.push_back({row.name, row.kind, row.dest, row.value, row.description});
    }

    ExactBuffer error_text(OPTION_ERROR_SIZE);
    memset(error_text.data(), 'E', error_text.size);
    ExactBuffer line = exact_text(text);
    parse_command_line(table.data(), static_cast<uint32_t>(table.size()), line.data(), error_text.data());

    FUZZ_CHECK(terminated_within(error_text.data(), error_text.size));
    // Messages show tokens as extracted, and extraction removes every double quote.
    FUZZ_CHECK(strchr(error_text.data(), '"') == nullptr);
    const bool any_switch_char = strpbrk(line.data(), "-/") != nullptr;
    // Quotes may stand inside a name: -i"f"=x names "if".
    std::string unquoted(line.data());
    unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '"'), unquoted.end());
    if (!any_switch_char && !(extra_rows & 1)) {
        FUZZ_CHECK(error_text.data()[0] == '\0');
    }
    for (size_t i = 0; i < table.size(); ++i) {
        const OptionEntry& row = table[i];
        const RowBefore& was = before[i];
        FUZZ_CHECK(row.name == was.name && row.kind == was.kind && row.dest == was.dest &&
                   row.description == was.description);
        FUZZ_CHECK(row.present == 0 || row.present == 1);
        if (row.kind != OPT_NUMBER) {
            FUZZ_CHECK(row.value == was.size);
        }
        if (row.kind == OPT_POSITIONAL || !row.present) {
            continue;
        }
        FUZZ_CHECK(any_switch_char && unquoted.find(row.name) != std::string::npos);
        if (row.kind == OPT_STRING) {
            FUZZ_CHECK(row.value > 0 && terminated_within(row.dest, static_cast<size_t>(row.value)));
            FUZZ_CHECK(strchr(row.dest, '"') == nullptr);
        }
    }
    if ((extra_rows & 1) && table[positional_row].present && positional_size > 0) {
        FUZZ_CHECK(terminated_within(positional.data(), positional_size));
        FUZZ_CHECK(strchr(positional.data(), '"') == nullptr);
    }
    return 0;
}
