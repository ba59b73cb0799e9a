// adapter_info_query_test.cpp - the -G queries and -k on a scripted driver: the lines printed,
// the failures, and text answers of awkward lengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/adapter_info.h"
#include "driver/adapter_info_text.h"
#include "driver/statistics_print.h"
#include "support/capture_console.h"
#include "support/scripted_device.h"

namespace {

std::vector<uint8_t> Words(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> bytes;
  for (uint32_t word : words) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
  }
  return bytes;
}

// The UTF-16LE bytes of |text|, without a terminating zero.
std::vector<uint8_t> Wide(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

std::vector<uint8_t> WideTerminated(const std::u16string& text) {
  std::vector<uint8_t> bytes = Wide(text);
  bytes.insert(bytes.end(), 2, 0);
  return bytes;
}

// A text answer: the header and the text bytes are returned.
ScriptedAnswer TextAnswer(const std::vector<uint8_t>& bytes) {
  return {.data = bytes, .returned = static_cast<uint32_t>(bytes.size() + 16)};
}

class AdapterInfoTest : public ::testing::Test {
 protected:
  std::string Query(char selector) {
    GetAdapterInformation(driver_, selector);
    return console_.TakeOutput();
  }
  std::string SetLink(uint32_t up) {
    SetDriverLinkState(driver_, up != 0);
    return console_.TakeOutput();
  }

  ScriptedDevice device_;
  CaptureConsole console_;
  Driver driver_{device_, console_, RequestWords{}};
};

TEST_F(AdapterInfoTest, DriverVersionPrintsFourSignedNumbers) {
  device_.Expect(ExpectedRequest(emu::kGetDriverVersion),
                 {.data = Words({1, 22, 333, 0xFFFFFFFF})});
  EXPECT_EQ(Query('v'),
            "Driver Major Version 1\nDriver Minor Version 22\nDriver Build Version 333\n"
            "Driver QFE Version -1\n");
}

TEST_F(AdapterInfoTest, AdapterBitsInUpperCaseHexWithTheIndexedSignature) {
  device_.Expect(ExpectedRequest(emu::kGetAdapterBits).Signature(emu::kSignatureIndexed),
                 {.data = Words({0xDEADBEEF, 0, 0x1A})});
  EXPECT_EQ(Query('b'),
            "Adapter Bits 00 to 31 DEADBEEF\nAdapter Bits 32 to 63 0\nAdapter Bits 64 to 95 1A\n");
}

TEST_F(AdapterInfoTest, PortIsSignedDecimal) {
  device_.Expect(ExpectedRequest(emu::kGetAdapterPort), {.data = Words({3})});
  EXPECT_EQ(Query('p'), "Adapter port: 3\n");
}

TEST_F(AdapterInfoTest, TextAnswersArePrintedWithTheirLabels) {
  device_.Expect(ExpectedRequest(emu::kGetAdapterLocation),
                 TextAnswer(WideTerminated(u"PCI bus 3, device 0, function 0")));
  device_.Expect(ExpectedRequest(emu::kGetAdapterRegistryKey),
                 TextAnswer(WideTerminated(u"{4d36e972}\\0007")));
  device_.Expect(ExpectedRequest(emu::kGetAdapterPdoName),
                 TextAnswer(WideTerminated(u"\\Device\\NTPNP_PCI0021")));
  EXPECT_EQ(Query('l'), "Adapter location: PCI bus 3, device 0, function 0\n");
  EXPECT_EQ(Query('k'), "Adapter registry key: {4d36e972}\\0007\n");
  EXPECT_EQ(Query('o'), "Adapter PDO: \\Device\\NTPNP_PCI0021\n");
}

TEST_F(AdapterInfoTest, UnterminatedTextLongerThanTheResultAreaIsCutAtIt) {
  // 300 characters, 600 bytes, no terminating zero: the 256-byte area holds 128 of them.
  device_.Expect(ExpectedRequest(emu::kGetAdapterLocation),
                 TextAnswer(Wide(std::u16string(300, u'x'))));
  EXPECT_EQ(Query('l'), "Adapter location: " + std::string(128, 'x') + "\n");
}

TEST_F(AdapterInfoTest, StatisticsBlockHas47CounterLines) {
  std::vector<uint8_t> record(kTxRxStatsSize);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i);
  device_.Expect(ExpectedRequest(emu::kReadTxRxStats), {.data = record});
  const std::string output = Query('e');
  EXPECT_EQ(output.rfind("********* ETHERNET RX & TX STATISTICS *********\n\n", 0), 0u);
  EXPECT_NE(output.find("\n   RxCrcErrors                 = 0x03020100\n"), std::string::npos);
  EXPECT_NE(output.find("\n   EeeTxLpiTime                = 0xc3c2c1c0\n"), std::string::npos);
  EXPECT_EQ(std::count(output.begin(), output.end(), '='), 47);
}

TEST_F(AdapterInfoTest, QueryFailuresPrintOnlyTheDriverLine) {
  const struct {
    char selector;
    ExpectedRequest request;
    const char* line;
  } kCases[] = {
      {'v', ExpectedRequest(emu::kGetDriverVersion),
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {'b', ExpectedRequest(emu::kGetAdapterBits).Signature(emu::kSignatureIndexed),
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {'l', ExpectedRequest(emu::kGetAdapterLocation),
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {'k', ExpectedRequest(emu::kGetAdapterRegistryKey),
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {'o', ExpectedRequest(emu::kGetAdapterPdoName),
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {'p', ExpectedRequest(emu::kGetAdapterPort),
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {'e', ExpectedRequest(emu::kReadTxRxStats),
       "READ_TXRX_STATS failed !    status:Other Error\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.selector);
    device_.Expect(c.request, {.status = 2});
    EXPECT_EQ(Query(c.selector), std::string("ERROR: ") + c.line);
  }
}

TEST_F(AdapterInfoTest, SelectorUPrintsAndSendsNothing) {
  EXPECT_EQ(Query('u'), "");
  EXPECT_EQ(device_.requests(), 0);
}

TEST_F(AdapterInfoTest, LinkStateSwitchConfirmsUpAndDown) {
  device_.Expect(ExpectedRequest(emu::kSetLinkState).Data32(1).Length(20));
  device_.Expect(ExpectedRequest(emu::kSetLinkState).Data32(0).Length(20));
  EXPECT_EQ(SetLink(1), "Driver Link State set to UP successfully\n");
  EXPECT_EQ(SetLink(0), "Driver Link State set to DOWN successfully\n");
}

TEST_F(AdapterInfoTest, LinkStateSwitchFailurePrintsOnlyTheDriverLine) {
  device_.Expect(ExpectedRequest(emu::kSetLinkState).Data32(1).Length(20), {.status = 1});
  EXPECT_EQ(SetLink(1), "ERROR: SET_LINK_STATE failed !    status:Access failed\n");
}

TEST(WideTextToConsole, StopsAtTheFirstZeroCharacter) {
  const std::vector<uint8_t> bytes = Wide(std::u16string(u"ab\0cd", 5));
  EXPECT_EQ(WideTextToConsole(bytes.data(), bytes.size()), "ab");
}

TEST(WideTextToConsole, IgnoresAnOddLastByte) {
  const uint8_t bytes[] = {'a', 0, 'b'};
  EXPECT_EQ(WideTextToConsole(bytes, sizeof bytes), "a");
}

TEST(WideTextToConsole, EncodesOtherCharactersAsUtf8) {
  const std::vector<uint8_t> bytes = Wide(u"\u00e9\u20ac\U0001F600");
  EXPECT_EQ(WideTextToConsole(bytes.data(), bytes.size()), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(WideTextToConsole, LoneSurrogatesBecomeQuestionMarks) {
  const std::vector<uint8_t> bytes =
      Wide(std::u16string{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)});
  EXPECT_EQ(WideTextToConsole(bytes.data(), bytes.size()), "a?b?");
}

TEST(PrintTxRxStatistics, PadsNamesAndSkipsTheTwoUnshownWords) {
  uint8_t zero[kTxRxStatsSize] = {};
  uint8_t noisy[kTxRxStatsSize] = {};
  noisy[84] = 0xFF;
  noisy[184] = 0x7F;
  CaptureConsole first;
  CaptureConsole second;
  PrintTxRxStatistics(first, zero);
  PrintTxRxStatistics(second, noisy);
  EXPECT_EQ(first.output(), second.output());
  const std::string& text = first.output();
  EXPECT_NE(text.find("\n   RxGoodGreater1518ByteFrames = 0x00000000\n"
                      "   EeeRxLpiTransitions         = 0x00000000\n"),
            std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 49), "\n***********************************************\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 47 + 2);
}

}  // namespace
