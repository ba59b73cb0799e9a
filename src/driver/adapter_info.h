// adapter_info.h - the driver and adapter information queries (-G) and the driver's link state
// switch (-k).
#pragma once

#include <cstdint>

#include "driver/driver.h"

// Prints the information chosen by |selector| (the letter given with -G). Returns false when the
// query failed (its driver line is printed); -G u queries nothing and succeeds.
bool GetAdapterInformation(Driver& driver, int32_t selector);
// Switches the driver's link state up or down and confirms it. Returns whether the driver took it.
bool SetDriverLinkState(Driver& driver, bool up);
