// written_value_flow_test.cpp - whole runs in-process: the value a direct write sends, as the
// driver receives it in the first data word of the request.
#include <gtest/gtest.h>

#include "driver/request_block.h"
#include "support/emu_bench.h"

namespace {

class WrittenValue : public ::testing::Test {
 protected:
  WrittenValue() { bench_.CreateAdapter(); }

  EmuBench bench_;
};

TEST_F(WrittenValue, RegisterWriteSendsAllFourBytes) {
  EXPECT_EQ(bench_.Run({"-W", "100", "-v", "CAFEF00D"}), 0);
  EXPECT_EQ(bench_.DataOf(kCmdWriteRegister), (std::vector<uint32_t>{0xCAFEF00D}));
}

// The whole value is placed at 16; the input length decides whether two or four bytes of it
// reach the driver.
TEST_F(WrittenValue, PhyWriteSendsTwoOrFourBytesByTheIndex) {
  EXPECT_EQ(bench_.Run({"-Y", "1e", "-v", "12345678"}), 0);
  EXPECT_EQ(bench_.Run({"-Y", "20000010", "-v", "12345678"}), 0);
  EXPECT_EQ(bench_.Run({"-Y", "a0000010", "-v", "12345678"}), 0);
  EXPECT_EQ(bench_.DataOf(kCmdWritePhy),
            (std::vector<uint32_t>{0x00005678, 0x12345678, 0x00005678}));
}

}  // namespace
