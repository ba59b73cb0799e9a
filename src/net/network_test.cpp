// network_test.cpp - the tries of one ping run and of one loopback run.
#include "net/network_test.h"

#include "net/adapter_address.h"
#include "net/cping.h"

namespace {

constexpr int kPingTries = 5;
constexpr uint32_t kPingRetryMilliseconds = 1000;
constexpr int kLoopbackTries = 3;

bool RunPing(const NetRun& run, CPing& ping, const char* address, const char* source) {
  if (!IsValidIpAddress(address)) {
    run.console.Error("***Invalid IP address.***");
    return false;
  }
  for (int attempt = 0; attempt < kPingTries; ++attempt) {
    if (ping.PingUsingWinsock(address, run.services.process.Id(), source) == 1) {
      run.console.Printf("Pinged %s successfully.\n", address);
      return true;
    }
    run.clock.Sleep(kPingRetryMilliseconds);
  }
  run.console.Error("There was no reply to pings \n");
  return false;
}

}  // namespace

bool RunNetworkTest(const NetRun& run, const char* address, int32_t interface_index,
                    NetworkTestMode mode, const char* source) {
  CPing ping(run);
  if (mode == NetworkTestMode::kPing) return RunPing(run, ping, address, source);
  for (int attempt = 0; attempt < kLoopbackTries; ++attempt) {
    if (ping.loopbackTest(interface_index, address) == 1) return true;
  }
  return false;
}
