// adapter_choice.h - which of the host's network adapters belongs to the controller under test.
#pragma once

#include <functional>
#include <vector>

#include "net/board_mac_address.h"
#include "platform/ip_helper.h"

enum class AdapterChoice {
  kChosen,
  kNoController,  // no description names the controller family
  kMacUnknown,    // several do, and the board's MAC address cannot be known
  kNoMatch,       // several do, and none shows the board's MAC address
  kSeveralMatch,  // several do, and more than one shows it
};

// The adapter whose description contains "QNT52" when there is only one. With several (one per
// controller on the host), the one whose physical address is the controller's MAC address, so
// that a run tests the board it was asked to; |board_mac| is asked only then, and may answer null.
AdapterChoice ChooseControllerAdapter(const std::vector<HostAdapter>& adapters,
                                      const std::function<const MacAddress*()>& board_mac,
                                      const HostAdapter** chosen);
