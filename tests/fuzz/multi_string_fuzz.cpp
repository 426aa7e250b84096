// The ini form of multi-strings (the stored history). Any bytes encode within their variable and
// decode back to the same multi-string; any stored text decodes to a closed multi-string inside the
// variable, keeping whole texts only; a cut encoding never ends inside a "%%" or "%_".
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>

#include "config/setting_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// What a multi-string variable holds as the store sees it: its bytes up to the first zero byte
// that another zero byte (or the variable's end) follows, then the closing pair.
std::string logical_multi_string(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0' && (i + 1 == bytes.size() || bytes[i + 1] == '\0')) {
            return bytes.substr(0, i) + std::string(2, '\0');
        }
    }
    return bytes + std::string(2, '\0');
}

std::string encoded(const char* multi, size_t multi_size) {
    std::string out(2 * multi_size + 1, 'E');
    FUZZ_CHECK(encode_multi_string(multi, multi_size, &out[0], out.size()));
    return std::string(out.c_str());
}

void check_encode(const std::string& bytes, size_t out_size) {
    ExactBuffer multi(bytes.size());
    memcpy(multi.data(), bytes.data(), bytes.size());
    const std::string text = encoded(multi.data(), multi.size);
    FUZZ_CHECK(text.size() <= 2 * bytes.size());

    // Encode then decode gives the same bytes, into a variable of exactly their size.
    const std::string expected = logical_multi_string(bytes);
    ExactBuffer decoded(expected.size());
    ExactBuffer stored = exact_text(text);
    FUZZ_CHECK(decode_multi_string(stored.data(), decoded.data(), decoded.size));
    FUZZ_CHECK(std::string(decoded.data(), decoded.size) == expected);

    ExactBuffer small(out_size);
    const bool fitted = encode_multi_string(multi.data(), multi.size, small.data(), small.size);
    FUZZ_CHECK(terminated_within(small.data(), small.size));
    const std::string cut(small.data());
    FUZZ_CHECK(fitted == (text.size() < out_size));
    FUZZ_CHECK(text.rfind(cut, 0) == 0);
    // An odd run of '%' at the end would be half a pair.
    size_t percents = 0;
    while (percents < cut.size() && cut[cut.size() - 1 - percents] == '%') {
        ++percents;
    }
    FUZZ_CHECK(percents % 2 == 0);
}

// "%%" is '%', "%_" ends a text, every other character (a lone '%' too) stands for itself.
std::string reference_decoding(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '%' || text[i + 1] == '_')) {
            out += text[++i] == '%' ? '%' : '\0';
        } else {
            out += text[i];
        }
    }
    return out;
}

void check_decode(const std::string& stored_text, size_t multi_size) {
    ExactBuffer stored = exact_text(stored_text);
    const std::string texts = reference_decoding(stored.data());
    ExactBuffer multi(multi_size);
    memset(multi.data(), 'M', multi.size);
    const bool fitted = decode_multi_string(stored.data(), multi.data(), multi.size);
    if (multi_size < 2) {
        FUZZ_CHECK(!fitted);
        return;
    }
    const std::string kept = closed_multi_string(multi.data(), multi.size);
    FUZZ_CHECK(!kept.empty());
    // A last text closed by "%_" already holds the first zero byte of the closing pair.
    const size_t n = texts.size();
    const bool fits = n + 2 <= multi_size || (n > 0 && texts[n - 1] == '\0' && n + 1 <= multi_size);
    FUZZ_CHECK(fitted == fits);
    if (fitted) {
        FUZZ_CHECK(std::string(multi.data(), n) == texts && multi.data()[n] == '\0');
        FUZZ_CHECK(n + 1 == multi_size || multi.data()[n + 1] == '\0');
        return;
    }
    // Cut: whole texts only, so what is kept ends where a text of the full result ended.
    const std::string whole_texts = kept.substr(0, kept.size() - 1);
    FUZZ_CHECK(kept.size() == 2 || texts.rfind(whole_texts, 0) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const size_t out_size = input.ConsumeIntegralInRange<size_t>(1, 64);
    const size_t multi_size = input.ConsumeBool() ? 2571 : input.ConsumeIntegralInRange<size_t>(0, 64);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    check_encode(bytes, out_size);
    check_decode(bytes, multi_size);
    return 0;
}
