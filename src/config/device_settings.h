// device_settings.h - the settings record: one field per configuration-file key.
#pragma once

#include <cstdint>

constexpr uint16_t kDefaultVendorId = 0x0E1D;
constexpr uint16_t kDefaultProductId = 0x5230;

struct DeviceSettings {
  uint16_t VendorID = kDefaultVendorId;
  uint16_t ProductID = kDefaultProductId;
};
