// network_stage.cpp - choosing and running the network test of a run.
#include "app/network_stage.h"

#include "common/exit_codes.h"

#include "net/loopback_flow.h"
#include "net/ping_flow.h"
#include "phy/link_state.h"

int RunNetworkStage(Platform& platform, Driver& driver, const CommandOptions& options,
                    const LinkModeOutcome& link, RunResults& results) {
  const bool ping = options.NetworkTest == kNetworkTestPing && options.PingAddressGiven;
  const bool loopback = options.NetworkTest == kNetworkTestLoopback;
  if (!ping && !loopback) return -1;
  NetworkTestRecord& record = ping ? results.ping.emplace() : results.loopback.emplace();
  if (platform.network == nullptr) return ping ? kExitPingFailed : kExitLoopbackFailed;
  const NetRun run{*platform.network, platform.clock, platform.console};
  AdapterAddress source;
  int exit_code = -1;
  if (ping) {
    record.destination = options.DestinationAddress;
    const PingJob job{.destination = options.DestinationAddress,
                      .link_state = link.link_state,
                      .read_link_state = LanPhyGetLinkState,
                      .link_reply = link.reply};
    const bool passed = RunPingFlow(driver, run, job, &source, &record.runs);
    exit_code = passed ? kExitSuccess : kExitPingFailed;
  } else {
    record.link_mode = options.LinkModeGiven ? options.LinkMode : kLink1000FullMaster;
    const LoopbackJob job{.link_mode_given = options.LinkModeGiven, .link_mode = options.LinkMode};
    std::string setup_fault;
    const LoopbackResult result =
        RunLoopbackFlow(driver, run, job, &source, &record.runs, &setup_fault);
    exit_code = result == LoopbackResult::kPassed ? kExitSuccess : kExitLoopbackFailed;
    // A PHY that did not take its set-up is a failed access, not a failed test.
    if (result == LoopbackResult::kSetupFailed) {
      exit_code = kExitOperationFailed;
      results.cause = FailureCause{.error = setup_fault, .told = {setup_fault}};
    }
  }
  record.source = source.text;
  return exit_code;
}
