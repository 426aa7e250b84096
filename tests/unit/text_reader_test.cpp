#include "base/text_reader.h"

#include <gtest/gtest.h>

#include <string>

// The parsers see only the digits and spaces they use; here every byte.
TEST(TextReader, DigitsSpacesAndCase) {
    std::string digits, spaces, folded;
    for (int c = 1; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        digits += digit_value(ch, 16) >= 0 ? std::string(1, ch) + std::to_string(digit_value(ch, 16)) : "";
        spaces += is_c_space(ch) ? std::string(1, ch) : "";
        folded += fold_case(ch) != ch ? std::string(1, fold_case(ch)) : "";
    }
    EXPECT_EQ(digits, "00112233445566778899A10B11C12D13E14F15a10b11c12d13e14f15");
    EXPECT_EQ(spaces, "\t\n\v\f\r ");
    EXPECT_EQ(folded, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(digit_value('9', 9), -1);
    EXPECT_EQ(digit_value('8', 9), 8);
}
