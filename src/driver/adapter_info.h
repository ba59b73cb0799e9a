// adapter_info.h - the driver and adapter information queries (-G) and the driver's link state
// switch (-k).
#pragma once

#include <cstdint>

#include "driver/driver.h"

// Prints the information chosen by |selector| (the letter given with -G). Failures show only in
// what is printed.
void GetAdapterInformation(Driver& driver, int32_t selector);
// Switches the driver's link state up or down and confirms it.
void SetDriverLinkState(Driver& driver, bool up);
