#include "base/text_reader.h"

#include <gtest/gtest.h>

#include <string>

// The parsers fold only the letters of "0x", "on" and "off"; the alphabet's ends fold too.
TEST(TextReader, FoldsLettersOnly) {
    EXPECT_EQ(std::string(1, fold_case('A')) + fold_case('Z') + fold_case('@') + fold_case('['), "az@[");
}
