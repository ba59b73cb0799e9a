// ip_helper_logic_test.cpp - the IP Helper's buffers and the walk of its adapter lists and
// address table, against scripted system calls.
#include "platform/ip_helper_logic.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/scripted_ip_helper_calls.h"

namespace {

using Adapter = ScriptedIpHelperCalls::Adapter;

constexpr uint32_t kErrorNoData = 232;

std::string Text(const Ip4Address& a) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", a.octets[0], a.octets[1], a.octets[2],
                a.octets[3]);
  return text;
}

// "description #index physical-bytes: address address ..."
std::string Text(const HostAdapter& adapter) {
  std::string text = adapter.description;
  text.append(" #").append(std::to_string(adapter.interface_index));
  for (const uint8_t byte : adapter.physical) text.append(" ").append(std::to_string(byte));
  text.append(":");
  for (const Ip4Address& address : adapter.unicast) text.append(" ").append(Text(address));
  return text;
}

std::vector<std::string> Texts(const std::vector<HostAdapter>& adapters) {
  std::vector<std::string> texts;
  for (const HostAdapter& adapter : adapters) texts.push_back(Text(adapter));
  return texts;
}

class IpHelperLogicTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(calls_.misuses(), std::vector<std::string>{});
    EXPECT_EQ(calls_.Left(), std::vector<std::string>{});
  }

  ScriptedIpHelperCalls calls_;
  IpHelperLogic helper_{calls_};
  std::vector<HostAdapter> adapters_ = {HostAdapter{.description = "kept"}};
  std::vector<IpAddressRow> rows_ = {IpAddressRow{.interface_index = 99}};
};

TEST_F(IpHelperLogicTest, AsksAgainWithTheSizeTheSystemNamesAndWalksEveryAdapterInOrder) {
  calls_.ExpectAdapters(144, kIpHelperBufferOverflow, 900);
  calls_.ExpectAdapters(
      900, kIpHelperNoError, 900,
      {Adapter{
           .description = "Loopback", .interface_index = 1, .unicast = {{true, {{127, 0, 0, 1}}}}},
       Adapter{.description = "QNT5231",
               .interface_index = 12,
               .physical = {0, 17, 34, 51, 68, 81},
               .unicast = {{false, {}}, {true, {{192, 168, 1, 5}}}, {true, {{10, 0, 0, 2}}}}},
       Adapter{.description = "Card", .interface_index = 3, .physical = {1, 2, 3, 4, 5, 6, 7, 8}}});
  EXPECT_EQ(helper_.GetAdaptersAddresses(&adapters_), kIpHelperNoError);
  EXPECT_EQ(Texts(adapters_),
            (std::vector<std::string>{"Loopback #1: 127.0.0.1",
                                      "QNT5231 #12 0 17 34 51 68 81: 0.0.0.0 192.168.1.5 10.0.0.2",
                                      "Card #3 1 2 3 4 5 6 7 8:"}));
}

TEST_F(IpHelperLogicTest, AFirstBufferLargeEnoughIsAskedOnce) {
  calls_.ExpectAdapters(144, kIpHelperNoError, 144, {Adapter{.description = "Only"}});
  EXPECT_EQ(helper_.GetAdaptersAddresses(&adapters_), kIpHelperNoError);
  EXPECT_EQ(Texts(adapters_), std::vector<std::string>{"Only #0:"});
}

TEST_F(IpHelperLogicTest, AFailedAdapterListLeavesTheCallersListAsItWas) {
  calls_.ExpectAdapters(144, kErrorNoData, 144);
  EXPECT_EQ(helper_.GetAdaptersAddresses(&adapters_), kErrorNoData);
  calls_.ExpectAdapters(144, kIpHelperBufferOverflow, 600);
  calls_.ExpectAdapters(600, kIpHelperBufferOverflow, 700);  // grew meanwhile: no third try
  EXPECT_EQ(helper_.GetAdaptersAddresses(&adapters_), kIpHelperBufferOverflow);
  calls_.FailAllocation(3);
  EXPECT_EQ(helper_.GetAdaptersAddresses(&adapters_), kAdapterBufferNotAllocated);
  calls_.FailAllocation(5);
  calls_.ExpectAdapters(144, kIpHelperBufferOverflow, 600);
  EXPECT_EQ(helper_.GetAdaptersAddresses(&adapters_), kAdapterBufferNotAllocated);
  EXPECT_EQ(Texts(adapters_), std::vector<std::string>{"kept #0:"});
}

TEST_F(IpHelperLogicTest, TheAddressTableIsSizedFirstThenRead) {
  const IpAddressRow first{.address = {{192, 168, 1, 5}}, .interface_index = 12};
  const IpAddressRow second{.address = {{127, 0, 0, 1}}, .interface_index = 1};
  calls_.ExpectAddressTable(0, kIpHelperInsufficientBuffer, 40);
  calls_.ExpectAddressTable(40, kIpHelperNoError, 40, {first, second});
  EXPECT_EQ(helper_.GetIpAddrTable(&rows_), kIpHelperNoError);
  ASSERT_EQ(rows_.size(), 2u);
  EXPECT_TRUE(rows_[0].address == first.address && rows_[0].interface_index == 12);
  EXPECT_TRUE(rows_[1].address == second.address && rows_[1].interface_index == 1);
}

TEST_F(IpHelperLogicTest, AFailedAddressTableLeavesTheCallersRowsAsTheyWere) {
  calls_.ExpectAddressTable(0, kErrorNoData, 0);
  EXPECT_EQ(helper_.GetIpAddrTable(&rows_), kErrorNoData);
  calls_.ExpectAddressTable(0, kIpHelperInsufficientBuffer, 40);
  calls_.ExpectAddressTable(40, kIpHelperInsufficientBuffer, 80);
  EXPECT_EQ(helper_.GetIpAddrTable(&rows_), kIpHelperInsufficientBuffer);
  calls_.FailAllocation(1);
  calls_.ExpectAddressTable(0, kIpHelperInsufficientBuffer, 40);
  EXPECT_EQ(helper_.GetIpAddrTable(&rows_), kIpHelperNotEnoughMemory);
  ASSERT_EQ(rows_.size(), 1u);
  EXPECT_EQ(rows_[0].interface_index, 99u);
}

}  // namespace
