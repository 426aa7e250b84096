#include "base/text_reader.h"

#include <gtest/gtest.h>

#include <string>

// Through the parsers the reader is seen only where a digit counts; here also what it returns.
TEST(TextReader, DigitsSpaceAndCase) {
    const char* const digits = "09afAFgG/:@`";
    const int values[] = {0, 9, 10, 15, 10, 15, -1, -1, -1, -1, -1, -1};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(digit_value(digits[i], 16), values[i]) << digits[i];
    }
    EXPECT_EQ(digit_value('9', 9), -1);
    EXPECT_EQ(digit_value('8', 9), 8);
    EXPECT_EQ(fold_case('Z'), 'z');
    EXPECT_EQ(fold_case('['), '[');
    EXPECT_EQ(fold_case('@'), '@');
    std::string spaces;
    for (int c = 1; c < 256; ++c) {
        spaces += is_c_space(static_cast<char>(c)) ? std::string(1, static_cast<char>(c)) : "";
    }
    EXPECT_EQ(spaces, "\t\n\v\f\r ");
}
