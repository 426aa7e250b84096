// The program's switches over any command line: only a switch that was named becomes present.
#include "app/startup.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExactBuffer line = exact_text(std::string(reinterpret_cast<const char*>(data), size)), error(OPTION_ERROR_SIZE);
    std::vector<OptionEntry> table(option_table, option_table + option_count);
    std::vector<ExactBuffer> values;
    for (OptionEntry& row : table) {  // as each run gives its copy's string rows their buffers
        values.emplace_back(row.kind == OPT_STRING ? static_cast<size_t>(row.value) : 0);
        row.dest = row.kind == OPT_STRING ? values.back().data() : row.dest;
    }
    const std::vector<OptionEntry> before = table;
    parse_command_line(table.data(), static_cast<uint32_t>(table.size()), line.data(), error.data());
    FUZZ_CHECK(memchr(error.data(), '\0', error.size));
    std::string named = line.data();  // quotes may stand inside a name: -i"f"=x names "if"
    named.erase(std::remove(named.begin(), named.end(), '"'), named.end());
    for (size_t i = 0; i < table.size(); ++i) {
        const OptionEntry &row = table[i], &was = before[i];
        FUZZ_CHECK(row.name == was.name && row.kind == was.kind && row.dest == was.dest &&
                   row.description == was.description && (row.kind == OPT_NUMBER || row.value == was.value));
        FUZZ_CHECK(!row.present || (strpbrk(line.data(), "-/") && named.find(row.name) != std::string::npos));
        FUZZ_CHECK(!row.present || !row.dest || memchr(row.dest, '\0', static_cast<size_t>(row.value)));
    }
    return 0;
}
