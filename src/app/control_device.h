// control_device.h - opening the driver's control device and making sure the selected adapter is
// there: the specified messages on standard output, and on standard error what to do about them.
#pragma once

#include "driver/driver.h"
#include "platform/console.h"
#include "platform/device_io.h"

// Opens the control device, or prints why it could not be opened and what the system says to do.
bool OpenControlDevice(DeviceIo& device, Console& console);

// After the chip identification failed with "file not found": when the driver has no adapter at
// the selected index, says so on standard error, with the indices it does serve.
void HintMissingAdapter(DeviceIo& device, const RequestWords& words, Console& console);
