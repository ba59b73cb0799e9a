// adapter_choice.cpp - the controller's adapter among the host's, by description and MAC address.
#include "net/adapter_choice.h"

#include <algorithm>
#include <string>

namespace {

constexpr char kControllerMark[] = "QNT52";

bool HasAddress(const HostAdapter& adapter, const MacAddress& mac) {
  return std::equal(adapter.physical.begin(), adapter.physical.end(), mac.begin(), mac.end());
}

}  // namespace

AdapterChoice ChooseControllerAdapter(const std::vector<HostAdapter>& adapters,
                                      const std::function<const MacAddress*()>& board_mac,
                                      const HostAdapter** chosen) {
  std::vector<const HostAdapter*> controllers;
  for (const HostAdapter& adapter : adapters) {
    if (adapter.description.find(kControllerMark) != std::string::npos) {
      controllers.push_back(&adapter);
    }
  }
  if (controllers.empty()) return AdapterChoice::kNoController;
  if (controllers.size() == 1) {
    *chosen = controllers[0];
    return AdapterChoice::kChosen;
  }
  const MacAddress* mac = board_mac();
  if (mac == nullptr) return AdapterChoice::kMacUnknown;
  std::erase_if(controllers,
                [&](const HostAdapter* adapter) { return !HasAddress(*adapter, *mac); });
  if (controllers.empty()) return AdapterChoice::kNoMatch;
  if (controllers.size() > 1) return AdapterChoice::kSeveralMatch;
  *chosen = controllers[0];
  return AdapterChoice::kChosen;
}
