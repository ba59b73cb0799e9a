// adapter_choice_test.cpp - which host adapter is the controller's: the only one of the family by
// its description, or among several the one that shows the board's MAC address.
#include "net/adapter_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const MacAddress kBoardMac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x51};

HostAdapter Adapter(const std::string& description, uint32_t interface_index,
                    const std::vector<uint8_t>& physical) {
  return {.description = description, .interface_index = interface_index, .physical = physical};
}

// The interface index of the adapter chosen, 0 when none was; |*asked| counts the MAC reads.
struct Choice {
  AdapterChoice result;
  uint32_t interface_index;
  int asked;
};

Choice Choose(const std::vector<HostAdapter>& adapters, const MacAddress* mac) {
  int asked = 0;
  const HostAdapter* chosen = nullptr;
  const AdapterChoice result = ChooseControllerAdapter(
      adapters,
      [&] {
        ++asked;
        return mac;
      },
      &chosen);
  return {result, chosen == nullptr ? 0 : chosen->interface_index, asked};
}

TEST(ChooseControllerAdapter, OneOfTheFamilyIsTakenWithoutAskingTheBoard) {
  const std::vector<HostAdapter> adapters = {
      Adapter("Onboard Gigabit Network Connection", 7, {0x00, 0x11, 0x22, 0x33, 0x44, 0x51}),
      Adapter("QNT5231 PCI Express Gigabit Ethernet Adapter", 12, {0x02, 0, 0, 0, 0, 1}),
  };
  const Choice choice = Choose(adapters, nullptr);
  EXPECT_EQ(choice.result, AdapterChoice::kChosen);
  EXPECT_EQ(choice.interface_index, 12u);
  EXPECT_EQ(choice.asked, 0);

  const Choice none = Choose({adapters[0]}, &kBoardMac);
  EXPECT_EQ(none.result, AdapterChoice::kNoController);
  EXPECT_EQ(none.asked, 0);
}

TEST(ChooseControllerAdapter, AmongSeveralTheOneWithTheBoardsAddress) {
  std::vector<HostAdapter> adapters = {
      Adapter("QNT5230 PCI Express Gigabit Ethernet Adapter", 11,
              {0x00, 0x11, 0x22, 0x33, 0x44, 0x50}),
      Adapter("Onboard Gigabit Network Connection", 7, {0x00, 0x11, 0x22, 0x33, 0x44, 0x51}),
      Adapter("QNT5230 PCI Express Gigabit Ethernet Adapter #2", 12,
              {0x00, 0x11, 0x22, 0x33, 0x44, 0x51}),
  };
  Choice choice = Choose(adapters, &kBoardMac);
  EXPECT_EQ(choice.result, AdapterChoice::kChosen);
  EXPECT_EQ(choice.interface_index, 12u);
  EXPECT_EQ(choice.asked, 1);

  EXPECT_EQ(Choose(adapters, nullptr).result, AdapterChoice::kMacUnknown);

  // A longer hardware address that starts with the board's is not the board's.
  adapters[2].physical.push_back(0x00);
  choice = Choose(adapters, &kBoardMac);
  EXPECT_EQ(choice.result, AdapterChoice::kNoMatch);
  EXPECT_EQ(choice.interface_index, 0u);

  adapters[2].physical.pop_back();
  adapters[0].physical = adapters[2].physical;
  EXPECT_EQ(Choose(adapters, &kBoardMac).result, AdapterChoice::kSeveralMatch);
}

}  // namespace
