// The start-up decisions that depend only on the parsed switches.
#ifndef KELVAST_STARTUP_H
#define KELVAST_STARTUP_H

#include <cstdint>

#include "config/options.h"

// StorageMode bits from -rr -rw -ir -iw -rd -id.
uint32_t compute_storage_mode(const OptionEntry* table);
// Index 0..3 into the priority class table from the -pp value.
uint32_t clamp_priority_index(int32_t value);

#endif
