// ping_flow.cpp - the ping stage: link check, Windows Sockets, the adapter's address, three runs.
#include "net/ping_flow.h"

#include "net/adapter_address.h"
#include "net/network_test.h"

namespace {

constexpr int kLinkChecks = 3;
constexpr uint32_t kLinkCheckMilliseconds = 500;
constexpr int kAddressLookups = 20;
constexpr uint32_t kAddressLookupMilliseconds = 1000;
constexpr uint8_t kReplySlowSettle = 1;
constexpr uint32_t kSlowSettleMilliseconds = 5000;
constexpr uint32_t kSettleMilliseconds = 3000;
constexpr int kRuns = 3;
constexpr uint32_t kRunPauseMilliseconds = 500;

bool LinkIsUp(Driver& driver, Clock& clock, const PingJob& job) {
  if (job.link_state > 0) return true;
  for (int check = 0; check < kLinkChecks; ++check) {
    if (job.read_link_state(driver) > 0) return true;
    clock.Sleep(kLinkCheckMilliseconds);
  }
  return false;
}

}  // namespace

bool WaitForAdapterAddress(Driver& driver, const NetRun& run, AdapterAddress* source) {
  ControllerMac mac(driver);
  for (int lookup = 0; lookup < kAddressLookups; ++lookup) {
    switch (FindAdapterAddress(run, mac, source)) {
      case AdapterLookup::kFound:
        return true;
      case AdapterLookup::kRefused:
        return false;
      case AdapterLookup::kNotFound:
        break;
    }
    run.clock.Sleep(kAddressLookupMilliseconds);
  }
  run.console.Error("Src IP not enabled\n");
  return false;
}

uint32_t SettleMilliseconds(uint8_t link_reply) {
  return link_reply == kReplySlowSettle ? kSlowSettleMilliseconds : kSettleMilliseconds;
}

bool RunPingFlow(Driver& driver, const NetRun& run, const PingJob& job, AdapterAddress* source,
                 std::vector<bool>* outcomes) {
  if (!LinkIsUp(driver, run.clock, job)) {
    run.console.Print("Link is down\n");
    return false;
  }
  Sockets& sockets = run.services.sockets;
  if (const int error = sockets.Startup(kWinsockVersion)) {
    run.console.Error("WSAStartup failed with error: %d\n", error);
    return false;
  }
  if (!WaitForAdapterAddress(driver, run, source)) {
    sockets.Cleanup();
    return false;
  }
  run.clock.Sleep(SettleMilliseconds(job.link_reply));

  bool passed = false;
  for (int count = 0; count < kRuns; ++count) {
    run.clock.Sleep(kRunPauseMilliseconds);
    passed = RunNetworkTest(run, job.destination, source->interface_index, NetworkTestMode::kPing,
                            source->text);
    if (outcomes != nullptr) outcomes->push_back(passed);
  }
  sockets.Cleanup();
  return passed;
}
