// The text forms of stored values: number lists and the ini form of multi-strings.
#ifndef KELVAST_SETTING_TEXT_H
#define KELVAST_SETTING_TEXT_H

#include <cstddef>
#include <cstdint>

#include "config/settings_store.h"

// How many numbers a REG_DWORD row holds: `size` with SF_NUMBER_LIST, else one.
uint32_t number_count(const SettingEntry& row);
// Length up to and including the first pair of zero bytes within size, or 0 when there is none.
size_t multi_string_length(const char* multi, size_t size);

// Splits `text` in place at runs of ",.; " and fills up to `count` elements: "0x"/"0X" and hex
// digits, else decimal, each read up to its first stray character. An element whose token holds no
// number (or one beyond 32 bits) keeps its value; elements without a token are left alone.
void parse_number_list(char* text, uint32_t count, uint32_t* numbers);
// The row's numbers (`size` of them with SF_NUMBER_LIST, else one) as "1,255", or "0x1,0xff" with
// SF_HEX. Returns false, with a cut text ending after a whole number, when out_size is too small.
bool format_number_list(const SettingEntry& row, char* out, size_t out_size);

// Ini form of a multi-string: "%%" for '%', "%_" between texts, nothing for the closing pair.
// Reads no further than multi_size. Returns false when out_size is too small (out then holds a
// terminated prefix that never ends inside a "%%" or "%_").
bool encode_multi_string(const char* multi, size_t multi_size, char* out, size_t out_size);
// The reverse; a '%' before any other character, or at the very end, is kept as it stands. The
// result always ends with two zero bytes inside multi_size (at least 2); when the texts do not
// fit, whole texts are kept and false is returned.
bool decode_multi_string(const char* text, char* multi, size_t multi_size);

#endif
