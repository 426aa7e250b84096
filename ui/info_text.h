// The text of the information dialog, generated from the option table.
#ifndef KELVAST_INFO_TEXT_H
#define KELVAST_INFO_TEXT_H

#include <cstddef>
#include <cstdint>

#include "config/options.h"

constexpr size_t INFO_TEXT_SIZE = 256;
// Room for the header, the two fixed lines and a line per option row of the program's table.
constexpr size_t INFO_LISTING_SIZE = 4096;

extern const char* const INFO_WEB_ADDRESS;
extern const char* const INFO_EMAIL_ADDRESS;
extern const char* const INFO_DESCRIPTION_LINE;
extern const char* const INFO_OPTIONS_LINE;

// Each returns true when the whole text fitted `size`; otherwise the text is cut to fit. Null
// texts count as empty.
bool format_info_header(const char* title, const char* build_date, const char* build_time, char* out, size_t size);
bool format_info_caption(const char* title, char* out, size_t size);
// One listing line of an option row; positional rows are numbered from *positional_counter, which
// is then increased. A cut line still ends with its line break.
bool format_option_line(const OptionEntry& row, uint32_t* positional_counter, char* out, size_t size);

// The whole listing: header, the two fixed lines and one line per row (each line formatted within
// INFO_TEXT_SIZE), positional rows numbered from 1.
bool build_info_text(const OptionEntry* table,
                     uint32_t count,
                     const char* title,
                     const char* build_date,
                     const char* build_time,
                     char* out,
                     size_t size);

#endif
