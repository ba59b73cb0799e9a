// adapter_info.h - the driver and adapter information queries (-G) and the driver's link state
// switch (-k).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "driver/driver.h"
#include "driver/request_block.h"

// What a query answered, for a caller that keeps the values; only the queried item is set.
struct AdapterInformation {
  std::optional<std::array<uint32_t, 4>> driver_version;  // major, minor, build, QFE
  std::optional<std::array<uint32_t, 3>> adapter_bits;    // bits 0 to 31, 32 to 63, 64 to 95
  std::optional<std::string> text;                        // location, registry key or PDO name
  std::optional<uint32_t> port;
  std::optional<std::array<uint8_t, kTxRxStatsSize>> statistics;  // the record as sent
};

// Prints the information chosen by |selector| (the letter given with -G). Returns false when the
// query failed (its driver line is printed); -G u queries nothing and succeeds. |*information|,
// when given, gets what the query answered.
bool GetAdapterInformation(Driver& driver, int32_t selector,
                           AdapterInformation* information = nullptr);
// Switches the driver's link state up or down and confirms it. Returns whether the driver took it.
bool SetDriverLinkState(Driver& driver, bool up);
