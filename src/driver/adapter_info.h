// adapter_info.h - the driver and adapter information queries (-G) and the driver's link state
// switch (-k).
#pragma once

#include "app/command_options.h"
#include "driver/driver.h"

// Prints the information chosen by |options.GetSelector|. The run's exit code stays 0 whatever
// the driver answers.
void GetAdapterInformation(Driver& driver, const CommandOptions& options);
// Switches the driver's link state to |options.LinkStateUp| and confirms it.
void SetDriverLinkState(Driver& driver, const CommandOptions& options);
