// Number lists of the settings store: formatted ones read back the same, cut ones end after a number.
#include "config/setting_text.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const uint32_t count = input.ConsumeIntegralInRange<uint32_t>(0, 16);
    const uint32_t flags = input.ConsumeBool() ? SF_NUMBER_LIST | SF_HEX : SF_NUMBER_LIST;
    ExactBuffer out(input.ConsumeIntegralInRange<size_t>(1, 200)), all(count * sizeof "0xffffffff," + 1);
    std::unique_ptr<uint32_t[]> numbers(new uint32_t[count]()), again(new uint32_t[count]());
    parse_number_list(exact_text(input.ConsumeRemainingBytesAsString()).data(), count, numbers.get());

    const SettingEntry row = {"Section", "Name", REG_DWORD, flags, numbers.get(), count};
    FUZZ_CHECK(format_number_list(row, all.data(), all.size));
    const bool fitted = format_number_list(row, out.data(), out.size);
    FUZZ_CHECK(memchr(out.data(), '\0', out.size));
    const std::string full = all.data(), cut = out.data();
    FUZZ_CHECK(fitted == (cut == full) && full.rfind(cut, 0) == 0 &&
               (fitted || cut.empty() || full[cut.size()] == ','));
    parse_number_list(all.data(), count, again.get());
    FUZZ_CHECK(std::equal(numbers.get(), numbers.get() + count, again.get()));
    return 0;
}
