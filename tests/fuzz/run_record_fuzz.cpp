// The run record's text: any stored text is a record or none, and a record reads back as it was written,
// whether it came from a store or was made up of any values in range.
#include "schedule/run_record.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Writes, then reads back and writes again, into a block of exactly the record's size: the same text.
void check_round_trip(const RunRecord& record) {
    ExactBuffer first(RUN_RECORD_TEXT_SIZE), second(RUN_RECORD_TEXT_SIZE);
    FUZZ_CHECK(format_run_record(record, first.data(), first.size));
    RunRecord again{};
    FUZZ_CHECK(parse_run_record(first.data(), again) && format_run_record(again, second.data(), second.size));
    FUZZ_CHECK(strcmp(first.data(), second.data()) == 0 && strcmp(again.command_line, record.command_line) == 0 &&
               strcmp(again.last_text, record.last_text) == 0 && again.stopped == record.stopped);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExactBuffer text = exact_text(std::string(reinterpret_cast<const char*>(data), size)), out(RUN_RECORD_TEXT_SIZE);
    RunRecord stored{};
    if (!parse_run_record(text.data(), stored)) {
        FUZZ_CHECK(!stored.valid && !format_run_record(stored, out.data(), out.size) && out.data()[0] == '\0');
    } else {
        check_round_trip(stored);
    }
    FuzzedDataProvider input(data, size);
    const int64_t latest = 3067671LL * 86400 - 1;  // 9999-12-31 23:59:59 from the clock's start
    RunRecord made{};
    made.valid = true;
    made.target_second = input.ConsumeIntegralInRange<uint32_t>(0, SECONDS_PER_DAY - 1);
    for (size_t i = 0; i < 7; ++i) {
        made.day_mask[i] = input.ConsumeBool() ? '1' : '0';
    }
    made.armed_since = input.ConsumeIntegralInRange<int64_t>(0, latest);
    made.stopped = input.ConsumeBool();
    made.launched.count = input.ConsumeIntegralInRange<uint32_t>(0, LAUNCHED_DAYS_KEPT);
    for (uint32_t i = 0; i < made.launched.count; ++i) {
        made.launched.days[i] = input.ConsumeIntegralInRange<int64_t>(0, latest / 86400);
    }
    made.has_last = input.ConsumeBool();
    made.last_moment = input.ConsumeIntegralInRange<int64_t>(0, latest);
    const std::string last = made.has_last ? input.ConsumeRandomLengthString(RUN_OUTCOME_TEXT_SIZE - 1) : "";
    memcpy(made.last_text, last.c_str(), strlen(last.c_str()) + 1);
    const std::string command = input.ConsumeRemainingBytesAsString().substr(0, COMMAND_LINE_SIZE - 1);
    memcpy(made.command_line, command.c_str(), strlen(command.c_str()) + 1);
    check_round_trip(made);
    return 0;
}
