#include "base/text_reader.h"

#include <gtest/gtest.h>

#include <string>

// The parsers fold only the letters of "0x", "on" and "off"; the alphabet's ends fold too.
TEST(TextReader, FoldsLettersOnlyAndHasOneNoDigitValue) {
    EXPECT_EQ(std::string(1, fold_case('A')) + fold_case('Z') + fold_case('@') + fold_case('['), "az@[");
    EXPECT_EQ(std::to_string(digit_value(':', 16)) + std::to_string(digit_value('g', 16)), "-1-1");
}
