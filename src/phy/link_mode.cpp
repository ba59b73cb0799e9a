// link_mode.cpp - asking the driver for a link mode, polling the PHY until the link is up, and
// reporting the mode it came up in.
#include "phy/link_mode.h"

#include <iterator>

#include "driver/driver_operations.h"
#include "phy/link_state.h"

namespace {

// The PHY needs time to restart negotiation before the first poll.
constexpr uint32_t kSettleMilliseconds = 2000;
constexpr int kPollCount = 10;
constexpr uint32_t kPollIntervalMilliseconds = 500;
// A reply byte of 1 says the link needs longer to settle once up.
constexpr uint8_t kReplySlowSettle = 1;
constexpr uint32_t kSlowSettleMilliseconds = 2000;

}  // namespace

const char* LinkModeName(int link_state) {
  for (const LinkModeEntry& mode : kLinkModes) {
    if (mode.code == link_state) return mode.name;
  }
  return kLinkModes[std::size(kLinkModes) - 1].name;
}

LinkModeResult SetLinkMode(Driver& driver, Clock& clock, int32_t link_mode,
                           LinkModeOutcome* outcome) {
  Console& console = driver.console();
  outcome->link_state = kLinkDown;
  uint8_t reply = 0;
  if (!SET_LINK_MODE(driver, static_cast<uint32_t>(link_mode), &reply)) {
    console.Error("Set link mode failed\n");
    return LinkModeResult::kRequestFailed;
  }
  outcome->reply = reply;

  clock.Sleep(kSettleMilliseconds);
  int state = kLinkDown;
  for (int poll = 0; poll < kPollCount; ++poll) {
    state = LanPhyGetLinkState(driver);
    if (state > 0) break;
    clock.Sleep(kPollIntervalMilliseconds);
  }
  if (state <= 0) {
    console.Print("\nLink mode: LINK DOWN\n");
    return LinkModeResult::kNoLink;
  }

  if (reply == kReplySlowSettle) clock.Sleep(kSlowSettleMilliseconds);
  console.Printf("\nLink mode: %s\n", LinkModeName(state));
  outcome->link_state = state;
  return LinkModeResult::kLinkUp;
}
