// request_handler_test.cpp - the emulated driver's answers: routing, lengths, brackets, widths,
// memories and information texts.
#include <gtest/gtest.h>

#include "emu/machine.h"
#include "emu/request_log.h"
#include "emu/wire_format.h"
#include "exchange.h"
#include "support/emu_bench.h"

using emu::kStatusInvalid;
using emu::kStatusOk;
using emu::kStatusRefused;

namespace {

class DriverModel : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.CreateAdapter(0, kChipQnt5230, 512);
    ASSERT_EQ(machine.Open(), 0u);
  }

  RawAnswer E2pCommand(uint32_t value) {
    return RawRequest(emu::kE2pCommand).Parameter(value).Send(machine, 17);
  }
  RawAnswer OtpConfigure(uint32_t value) {
    return RawRequest(emu::kOtpConfigure).Parameter(value).Send(machine, 17);
  }
  RawAnswer WriteEepromByte(uint16_t offset, uint8_t byte) {
    return RawRequest(emu::kE2pWriteByte).Position(offset, 1).Bytes(&byte, 1).Send(machine, 17);
  }
  uint8_t ReadEepromByte(uint16_t offset) {
    const RawAnswer answer = RawRequest(emu::kE2pReadByte).Parameter(offset).Send(machine);
    EXPECT_EQ(answer.status, kStatusOk);
    return answer.block[emu::kFieldData];
  }

  EmuBench bench;
  emu::Machine machine{bench.dir()};
};

TEST_F(DriverModel, RegisterZeroHoldsTheChipValueAndIgnoresWrites) {
  EXPECT_EQ(RawRequest(emu::kReadRegister).Parameter(0).Send(machine).Word(), 0x52300001u);
  EXPECT_EQ(
      RawRequest(emu::kWriteRegister).Parameter(0).Data32(0x12345678).Send(machine, 20).status,
      kStatusOk);
  EXPECT_EQ(RawRequest(emu::kReadRegister).Parameter(0).Send(machine).Word(), 0x52300001u);
}

TEST_F(DriverModel, RegistersKeepWritesExceptReservedBits) {
  RawRequest(emu::kWriteRegister).Parameter(0x104).Data32(0xDEADBEEF).Send(machine, 20);
  RawRequest(emu::kWriteRegister).Parameter(0x10).Data32(0xFFFFFFFF).Send(machine, 20);
  const RawAnswer plain = RawRequest(emu::kReadRegister).Parameter(0x104).Send(machine);
  EXPECT_EQ(plain.Word(), 0xDEADBEEFu);
  EXPECT_EQ(plain.returned, 20u);
  EXPECT_EQ(RawRequest(emu::kReadRegister).Parameter(0x10).Send(machine).Word(), 0x00FFFFFFu);
}

TEST_F(DriverModel, UnalignedOrOutOfRangeRegisterIsRefused) {
  EXPECT_EQ(RawRequest(emu::kReadRegister).Parameter(0x102).Send(machine).status, kStatusRefused);
  EXPECT_EQ(RawRequest(emu::kReadRegister).Parameter(0x10000).Send(machine).status, kStatusRefused);
}

TEST_F(DriverModel, RequestsRouteBySignature) {
  bench.CreateAdapter(2, kChipQnt523F);
  emu::Machine two(bench.dir());
  ASSERT_EQ(two.Open(), 0u);
  EXPECT_EQ(RawRequest(emu::kReadRegister, 2).Parameter(0).Send(two).Word(), 0x523F0001u);
  // The default signature ignores the index word.
  const RawAnswer zero =
      RawRequest(emu::kReadRegister).Signature(emu::kSignatureAdapterZero).Send(two);
  EXPECT_EQ(zero.Word(), 0x52300001u);
  EXPECT_EQ(RawRequest(emu::kReadRegister, 1).Send(two).error, emu::kErrorFileNotFound);
  EXPECT_EQ(RawRequest(emu::kReadRegister).Signature(0x30003).Send(two).error,
            emu::kErrorInvalidParameter);
}

TEST_F(DriverModel, OpenFailsWithoutAdapters) {
  bench.RemoveAdapter(0);
  emu::Machine empty(bench.dir());
  EXPECT_EQ(empty.Open(), emu::kErrorFileNotFound);
  emu::Machine missing(bench.dir() + "/nowhere");
  EXPECT_EQ(missing.Open(), emu::kErrorFileNotFound);
}

TEST_F(DriverModel, UnknownCommandAnswersNonzeroStatus) {
  const RawAnswer answer = RawRequest(6).Send(machine);
  EXPECT_EQ(answer.error, 0u);
  EXPECT_EQ(answer.status, kStatusInvalid);
  EXPECT_EQ(answer.returned, 16u);
}

TEST_F(DriverModel, CallFailsOnBadControlCodeOrLengths) {
  uint8_t block[emu::kBlockSize] = {};
  uint32_t returned = 0;
  EXPECT_EQ(machine.Control(0x122404, block, 4096, block, 4096, &returned),
            emu::kErrorInvalidFunction);
  EXPECT_EQ(machine.Control(emu::kControlCode, block, 15, block, 4096, &returned),
            emu::kErrorInvalidParameter);
  EXPECT_EQ(machine.Control(emu::kControlCode, block, 4096, block, 100, &returned),
            emu::kErrorInvalidParameter);
}

TEST_F(DriverModel, EepromWritesNeedTheOpenBracket) {
  EXPECT_EQ(WriteEepromByte(5, 0x12).status, kStatusRefused);
  EXPECT_EQ(E2pCommand(emu::kE2pOpen).status, kStatusOk);
  EXPECT_EQ(WriteEepromByte(5, 0x12).status, kStatusOk);
  EXPECT_EQ(E2pCommand(emu::kE2pClose).status, kStatusOk);
  EXPECT_EQ(WriteEepromByte(6, 0x34).status, kStatusRefused);
  EXPECT_EQ(ReadEepromByte(5), 0x12);
  EXPECT_EQ(ReadEepromByte(6), 0xFF);
  EXPECT_EQ(E2pCommand(0x40000000).status, kStatusInvalid);
}

TEST_F(DriverModel, EepromBlockWriteNeedsExactInputLength) {
  E2pCommand(emu::kE2pOpen);
  uint8_t image[512];
  for (int i = 0; i < 512; ++i) image[i] = static_cast<uint8_t>(i);
  const RawRequest write =
      RawRequest(emu::kE2pWriteBlock).Position(0, 512).Bytes(image, sizeof image);
  EXPECT_EQ(write.Send(machine, 527).error, emu::kErrorInvalidParameter);
  EXPECT_EQ(write.Send(machine, 528).status, kStatusOk);
  const RawAnswer read = RawRequest(emu::kE2pReadBlock).Position(0, 512).Send(machine);
  EXPECT_EQ(read.returned, 528u);
  EXPECT_EQ(std::memcmp(read.block + 16, image, 512), 0);
  EXPECT_EQ(RawRequest(emu::kE2pReadBlock).Position(0, 513).Send(machine).status, kStatusRefused);
}

TEST_F(DriverModel, SmallEepromAliasesTheUpperHalf) {
  bench.CreateAdapter(1, kChipQnt5230, 256);
  emu::Machine small(bench.dir());
  ASSERT_EQ(small.Open(), 0u);
  RawRequest(emu::kE2pCommand, 1).Parameter(emu::kE2pOpen).Send(small, 17);
  const uint8_t byte = 0x5A;
  RawRequest(emu::kE2pWriteByte, 1).Position(256 + 7, 1).Bytes(&byte, 1).Send(small, 17);
  const RawAnswer read = RawRequest(emu::kE2pReadByte, 1).Parameter(7).Send(small);
  EXPECT_EQ(read.block[16], 0x5A);
}

TEST_F(DriverModel, EepromWritesAreSavedAtOnce) {
  E2pCommand(emu::kE2pOpen);
  WriteEepromByte(0, 0x42);
  // Another process sees the byte before this one closes the device.
  EXPECT_EQ(bench.State().eeprom[0], 0x42);
}

TEST_F(DriverModel, OtpBitsOnlyEverGetProgrammed) {
  const uint8_t first[2] = {0xF0, 0x01};
  const uint8_t second[2] = {0x0F, 0x00};
  EXPECT_EQ(
      RawRequest(emu::kOtpWriteBlock).Position(10, 2).Bytes(first, 2).Send(machine, 18).status,
      kStatusRefused);
  OtpConfigure(emu::kOtpOpenForWrite);
  RawRequest(emu::kOtpWriteBlock).Position(10, 2).Bytes(first, 2).Send(machine, 18);
  RawRequest(emu::kOtpWriteBlock).Position(10, 2).Bytes(second, 2).Send(machine, 18);
  // Reading needs the read bracket, not the write one.
  EXPECT_EQ(RawRequest(emu::kOtpReadBlock).Position(10, 2).Send(machine).status, kStatusRefused);
  OtpConfigure(emu::kOtpCloseAccess);
  OtpConfigure(emu::kOtpOpenForRead);
  const RawAnswer read = RawRequest(emu::kOtpReadBlock).Position(9, 3).Send(machine);
  EXPECT_EQ(read.status, kStatusOk);
  EXPECT_EQ(read.returned, 19u);
  EXPECT_EQ(read.block[16], 0x00);  // blank
  EXPECT_EQ(read.block[17], 0xFF);
  EXPECT_EQ(read.block[18], 0x01);
  EXPECT_EQ(RawRequest(emu::kOtpReadBlock).Position(511, 2).Send(machine).status, kStatusRefused);
  EXPECT_EQ(OtpConfigure(0x3000000).status, kStatusInvalid);
}

TEST_F(DriverModel, PhyAnswerWidthFollowsTheIndex) {
  const RawAnswer narrow = RawRequest(emu::kReadPhy).Parameter(2).Send(machine);
  EXPECT_EQ(narrow.returned, 18u);
  EXPECT_EQ(narrow.Half(), 0x0E1Du);
  RawRequest(emu::kWritePhy).Parameter(0x20000040).Data32(0x12345678).Send(machine, 20);
  const RawAnswer wide = RawRequest(emu::kReadPhy).Parameter(0x20000040).Send(machine);
  EXPECT_EQ(wide.returned, 20u);
  EXPECT_EQ(wide.Word(), 0x12345678u);
}

TEST_F(DriverModel, PhyWriteHonoursTheInputLength) {
  RawRequest(emu::kWritePhy).Parameter(0xC0000041).Data32(0xAABBCCDD).Send(machine, 18);
  EXPECT_EQ(RawRequest(emu::kReadPhy).Parameter(0xC0000041).Send(machine).Word(), 0x0000CCDDu);
  EXPECT_EQ(RawRequest(emu::kWritePhy).Parameter(0x41).Send(machine, 19).error,
            emu::kErrorInvalidParameter);
}

TEST_F(DriverModel, PciConfigCarriesTheChipIds) {
  const RawAnswer ids = RawRequest(emu::kReadPciConfig).Position(0, 4).Send(machine);
  EXPECT_EQ(ids.Word(), 0x52300E1Du);
  RawRequest(emu::kWritePciConfig).Position(0, 4).Data32(0).Send(machine, 20);
  EXPECT_EQ(RawRequest(emu::kReadPciConfig).Position(0, 4).Send(machine).Word(), 0x52300E1Du);
  RawRequest(emu::kWritePciConfig).Position(0x3C, 4).Data32(0x0000010A).Send(machine, 20);
  EXPECT_EQ(RawRequest(emu::kReadPciConfig).Position(0x3C, 4).Send(machine).Word() & 0xFF, 0x0Au);
  EXPECT_EQ(RawRequest(emu::kReadPciConfig).Position(4094, 4).Send(machine).status, kStatusRefused);
}

TEST_F(DriverModel, PciePhyRegistersAreSixteenBits) {
  RawRequest(emu::kWritePciePhy).Parameter(0x12345).Data32(0xABCD1234).Send(machine, 18);
  const RawAnswer read = RawRequest(emu::kReadPciePhy).Parameter(0x2345).Send(machine);
  EXPECT_EQ(read.returned, 18u);
  EXPECT_EQ(read.Half(), 0x1234u);
}

TEST_F(DriverModel, TextAnswersAreWideWithTerminator) {
  machine.Adapter(0)->location = "PCI bus 7";
  const RawAnswer answer = RawRequest(emu::kGetAdapterLocation).Send(machine);
  EXPECT_EQ(answer.returned, 16u + 20u);
  EXPECT_EQ(answer.block[16], 'P');
  EXPECT_EQ(answer.block[17], 0);
  EXPECT_EQ(answer.Half(18), 0u);
}

TEST_F(DriverModel, InformationAnswers) {
  machine.Adapter(0)->stats[48] = 0xCAFE;
  const RawAnswer stats = RawRequest(emu::kReadTxRxStats).Send(machine);
  EXPECT_EQ(stats.returned, 16u + 196u);
  EXPECT_EQ(stats.Word(192), 0xCAFEu);
  const RawAnswer version = RawRequest(emu::kGetDriverVersion).Send(machine);
  EXPECT_EQ(version.returned, 32u);
  EXPECT_EQ(RawRequest(emu::kGetAdapterBits).Send(machine).returned, 28u);
  EXPECT_EQ(RawRequest(emu::kGetAdapterPort).Send(machine).returned, 20u);
}

TEST_F(DriverModel, OnlyTheReturnedBytesReachTheCaller) {
  RawAnswer answer;
  std::memset(answer.block, 0xEE, sizeof answer.block);
  emu::Store32(answer.block, emu::kSignatureAdapterZero);
  emu::Store32(answer.block + 4, emu::kReadRegister);
  emu::Store32(answer.block + 12, 0);
  uint32_t returned = 0;
  ASSERT_EQ(machine.Control(emu::kControlCode, answer.block, 4096, answer.block, 4096, &returned),
            0u);
  EXPECT_EQ(returned, 20u);
  EXPECT_EQ(answer.block[20], 0xEE);
}

// Logged in order, written out when the device closes; the data word holds only what the input
// length let through.
TEST_F(DriverModel, EveryRequestIsLoggedWithItsFirstDataWord) {
  RawRequest(emu::kReadRegister).Parameter(0x40).Send(machine);
  RawRequest(emu::kReadRegister, 9).Send(machine);
  RawRequest(emu::kWriteRegister).Parameter(0x104).Data32(0xCAFEF00D).Send(machine, 20);
  RawRequest(emu::kWritePhy).Parameter(0x11).Data32(0xCAFEF00D).Send(machine, 18);
  ASSERT_TRUE(machine.Close());
  const std::vector<emu::LogEntry> log = bench.Log();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(emu::FormatLogEntry(log[0]),
            "cmd=8 in=4096 sig=0x10002 adapter=0 param=0x00000040 data=0x00000000 status=0 "
            "returned=20");
  EXPECT_EQ(emu::FormatLogEntry(log[1]),
            "cmd=8 in=4096 sig=0x20001 adapter=9 param=0x00000000 data=0x00000000 error=2");
  EXPECT_EQ(log[2].data, 0xCAFEF00Du);
  EXPECT_EQ(log[3].data, 0xF00Du);
}

}  // namespace
