// stat_names.h - the names of the 49 counters of the statistics record, in record order.
#pragma once

#include <cstdint>

namespace emu {

// The counter at |index| (0 to 48); the two words the utility never prints are "Reserved84" and
// "Reserved184", after their byte offsets.
const char* StatName(uint32_t index);
// The index of the counter called |name| (case-insensitive), or of a decimal index; false when
// there is none.
bool ParseStatName(const char* name, uint32_t* index);

}  // namespace emu
