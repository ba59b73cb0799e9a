// request_faults.h - one request of a recorded run failed in one of the ways a driver can fail
// it, for sweeps that fault every request of an operation in turn and judge the board afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/emu_bench.h"

enum class RequestFault {
  kStatus,        // a failed status
  kError,         // a failed control call
  kNoEffect,      // status 0 and no effect: a write that did nothing, a read that answers no data
  kDeadFromHere,  // this request and every later one answer success and do nothing
};

inline constexpr RequestFault kRequestFaults[] = {RequestFault::kStatus, RequestFault::kError,
                                                  RequestFault::kNoEffect,
                                                  RequestFault::kDeadFromHere};

const char* RequestFaultName(RequestFault fault);

// Plans |fault| on |bench| at request |position| of |commands|, the commands of a clean run in
// the order they were sent. A run that sends the same requests up to there meets it there.
void PlanRequestFault(EmuBench& bench, const std::vector<uint32_t>& commands, size_t position,
                      RequestFault fault);

// The commands of the requests in the bench's log, in order.
std::vector<uint32_t> LoggedCommands(const EmuBench& bench);
