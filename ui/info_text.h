// The text of the information dialog, generated from the option table.
#ifndef KELVAST_INFO_TEXT_H
#define KELVAST_INFO_TEXT_H

#include <cstddef>
#include <cstdint>

#include "config/options.h"

constexpr size_t INFO_TEXT_SIZE = 256;

void format_info_header(const char* title, const char* build_date, const char* build_time, char* out, size_t size);
void format_info_caption(const char* title, char* out, size_t size);
// One listing line of an option row; positional rows are numbered from *positional_counter.
void format_option_line(const OptionEntry& row, uint32_t* positional_counter, char* out, size_t size);

extern const char* const INFO_DESCRIPTION_LINE;
extern const char* const INFO_OPTIONS_LINE;

#endif
