// ping_flow.h - the ping stage of a run (-p): wait for the link and the adapter's address, then
// three runs of up to five echo tries.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/driver.h"
#include "net/net_run.h"

struct PingJob {
  const char* destination;  // the text given with -p
  int link_state;           // left by the link-mode stage; -1 when it did not run or failed
  // Reads the PHY's link-state code afresh (above 0: up), as the PHY layer decodes it.
  int (*read_link_state)(Driver& driver);
  uint8_t link_reply;  // the SET_LINK_MODE reply byte of that stage, 0 without it
};

// True when the third run got its reply. |*source| gets the adapter address the lookup found;
// |*outcomes|, when given, whether each run that was made got its reply.
bool RunPingFlow(Driver& driver, const NetRun& run, const PingJob& job, AdapterAddress* source,
                 std::vector<bool>* outcomes = nullptr);

// Windows Sockets 2.2, as both network stages start it.
constexpr uint16_t kWinsockVersion = 0x0202;

// Asks for the controller's adapter address up to 20 times, a second apart; shared with the
// loopback stage. False after "Src IP not enabled" when it never came, or at once when the
// adapter cannot be told among several (the lookup said why).
bool WaitForAdapterAddress(Driver& driver, const NetRun& run, AdapterAddress* source);

// How long the link settles before the first run: longer when the link-mode reply byte is 1.
uint32_t SettleMilliseconds(uint8_t link_reply);
