// direct_access_operations.h - the operation codes of the eight direct accesses, with what each
// reads or writes.
#pragma once

#include <cstdint>

#include "app/command_options.h"
#include "driver/direct_access.h"

struct DirectAccessOperation {
  uint32_t operation;
  DirectAccessTarget target;
  bool write;
};

inline constexpr DirectAccessOperation kDirectAccessOperations[] = {
    {.operation = kOpReadRegister, .target = DirectAccessTarget::kRegister, .write = false},
    {.operation = kOpWriteRegister, .target = DirectAccessTarget::kRegister, .write = true},
    {.operation = kOpReadPhy, .target = DirectAccessTarget::kPhy, .write = false},
    {.operation = kOpWritePhy, .target = DirectAccessTarget::kPhy, .write = true},
    {.operation = kOpReadPciConfig, .target = DirectAccessTarget::kPciConfig, .write = false},
    {.operation = kOpWritePciConfig, .target = DirectAccessTarget::kPciConfig, .write = true},
    {.operation = kOpReadPciePhy, .target = DirectAccessTarget::kPciePhy, .write = false},
    {.operation = kOpWritePciePhy, .target = DirectAccessTarget::kPciePhy, .write = true},
};

// The row of |operation|, or null when it is no direct access.
constexpr const DirectAccessOperation* FindDirectAccess(uint32_t operation) {
  for (const DirectAccessOperation& row : kDirectAccessOperations) {
    if (row.operation == operation) return &row;
  }
  return nullptr;
}
