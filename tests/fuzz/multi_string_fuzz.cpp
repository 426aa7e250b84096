// The ini form of multi-strings (the stored history): it decodes back; a cut keeps whole beginnings.
#include "config/setting_text.h"
#include "tests/fuzz/fuzz_support.h"

static std::string encoded(const std::string& multi, size_t out_size, bool& fitted) {
    ExactBuffer in(multi.size()), out(out_size);
    memcpy(in.data(), multi.data(), multi.size());
    fitted = encode_multi_string(in.data(), in.size, out.data(), out.size);
    FUZZ_CHECK(memchr(out.data(), '\0', out.size));
    return out.data();
}

static std::string decoded(const std::string& text, size_t multi_size, bool& fitted) {
    ExactBuffer multi(multi_size);
    fitted = decode_multi_string(exact_text(text).data(), multi.data(), multi.size);
    const std::string closed = closed_multi_string(multi.data(), multi.size);
    FUZZ_CHECK(!closed.empty() || (multi_size < 2 && !fitted));
    return closed;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const size_t out_size = input.ConsumeIntegralInRange<size_t>(1, 64);
    const size_t multi_size = input.ConsumeBool() ? 2571 : input.ConsumeIntegralInRange<size_t>(0, 64);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    bool whole = false, fitted = false;
    const std::string all = encoded(bytes, 2 * bytes.size() + 1, whole), cut = encoded(bytes, out_size, fitted);
    const std::string multi = closed_multi_string((bytes + '\0' + '\0').data(), bytes.size() + 2);
    FUZZ_CHECK(whole && decoded(all, multi.size(), whole) == multi && whole);
    // A '%' ending a cut text would be half of "%%" or "%_".
    FUZZ_CHECK(fitted == (cut == all) && all.rfind(cut, 0) == 0 &&
               (cut.size() - cut.find_last_not_of('%') - 1) % 2 == 0);
    // Any stored text: cut to whole texts when it does not fit.
    const std::string ample = decoded(bytes, bytes.size() + 2, whole), kept = decoded(bytes, multi_size, fitted);
    FUZZ_CHECK(whole && (!fitted || kept == ample) &&
               (kept.size() <= 2 || ample.rfind(kept.substr(0, kept.size() - 1), 0) == 0));
    return 0;
}
