// firmware_flow_test.cpp - whole runs of the PHY microcontroller download against the emulated
// MCU: each mode's transcript and memory contents, the file-size limits, read-back mismatches,
// failed writes in the middle of the sequence, and exit code 6 for every failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "driver/request_block.h"
#include "emu/mcu_model.h"
#include "support/after_banner.h"
#include "support/emu_bench.h"
#include "support/one_byte_differences.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kControlReg = 0x40010;
constexpr uint32_t kAddressReg = 0x40011;
constexpr uint32_t kReadDataReg = 0x40013;
constexpr uint32_t kImageBase = 0x5000;
constexpr uint32_t kParametersBase = 0x4C00;
// Writes of the steps around a download: access enable, three preset writes of three requests,
// two tables of twenty 16-bit writes of four requests, each table read back from its start
// (control and address), control and address before the download, the release.
constexpr size_t kWritesAroundDownload = 1 + 3 * 3 + 2 * (20 * 4 + 2) + 2 + 1;
// Reads of the checks: control, address and byte of each preset, the address after each table
// entry and the two tables, control and address after the download, control after the release.
constexpr size_t kChecksAroundDownload = 3 * 3 + 2 * (20 + 40) + 2 + 1;
constexpr size_t kAroundDownload = kWritesAroundDownload + kChecksAroundDownload;

// The SRAM overlay tables, written before (A) and after (B) a download.
constexpr uint16_t kTableA[20] = {0x8800, 0x8881, 0x8902, 0x8983, 0x8A04, 0x8A85, 0x8B06,
                                  0x8B87, 0x8C08, 0x8C89, 0x8D0A, 0x8D8B, 0x8E0C, 0x8E8D,
                                  0x8F0E, 0x8F8F, 0x9010, 0x9091, 0x9112, 0x9193};
constexpr uint16_t kTableB[20] = {0x8800, 0x8881, 0x8902, 0x8983, 0x0004, 0x0085, 0x0106,
                                  0x0187, 0x0208, 0x0289, 0x030A, 0x038B, 0x040C, 0x048D,
                                  0x050E, 0x058F, 0x0610, 0x0691, 0x0712, 0x0793};

// One PHY request as the driver received it: write or read, register index, value written.
struct PhyRequest {
  bool write;
  uint32_t index;
  uint32_t value;
  bool operator==(const PhyRequest&) const = default;
};

void PrintTo(const PhyRequest& request, std::ostream* out) {
  *out << (request.write ? "write 0x" : "read 0x") << std::hex << request.index << " 0x"
       << request.value;
}

// The requests of an MCU single write: the address, the control value, then the data.
void AddSingleWrite(std::vector<PhyRequest>& requests, uint32_t address, uint32_t data,
                    uint32_t control) {
  requests.push_back({true, kAddressReg, address});
  requests.push_back({true, kControlReg, control});
  requests.push_back({true, 0x40012, data});
}

// A preset single write and its check: the control, the address and the byte read back.
void AddCheckedPreset(std::vector<PhyRequest>& requests, uint32_t address, uint32_t data,
                      uint32_t control) {
  AddSingleWrite(requests, address, data, control);
  requests.insert(requests.end(),
                  {{false, kControlReg, 0}, {false, kAddressReg, 0}, {false, kReadDataReg, 0}});
}

// A table, each entry high byte first with auto-increment, then the whole entry, then the address
// it stopped at; then read back from its first byte.
void AddTable(std::vector<PhyRequest>& requests, const uint16_t (&table)[20]) {
  for (uint32_t j = 0; j < 20; ++j) {
    AddSingleWrite(requests, 0x0840 + 2 * j, table[j] >> 8, 0x84);
    requests.insert(requests.end(), {{true, 0x40012, table[j]}, {false, kAddressReg, 0}});
  }
  requests.insert(requests.end(), {{true, kControlReg, 0x84}, {true, kAddressReg, 0x0840}});
  requests.insert(requests.end(), 40, {false, kReadDataReg, 0});
}

std::vector<uint8_t> Pattern(size_t length, uint8_t seed) {
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
  return bytes;
}

class FirmwareFlow : public ::testing::Test {
 protected:
  FirmwareFlow() { bench_.CreateAdapter(); }

  std::string WriteFile(const std::vector<uint8_t>& bytes) {
    std::string path = work_.File("fw" + std::to_string(files_++) + ".bin");
    WriteFileText(path, std::string(bytes.begin(), bytes.end()));
    return path;
  }
  // Runs the download in |mode| with |bytes| as the file; returns the output after the banner.
  std::string Download(const std::string& mode, const std::vector<uint8_t>& bytes,
                       int expected_exit = 0) {
    return DownloadFile(mode, WriteFile(bytes), expected_exit);
  }
  std::string DownloadFile(const std::string& mode, const std::string& path,
                           int expected_exit = 0) {
    bench_.ClearLog();
    bench_.TakeOutput();
    EXPECT_EQ(bench_.Run({"-f", path, "-m", mode}), expected_exit);
    return AfterBanner(bench_.TakeOutput());
  }
  std::vector<uint8_t> Xdata(uint32_t base, size_t length) {
    const emu::AdapterState state = bench_.State();
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) {
      bytes[i] = state.mcu.xdata.empty() ? 0 : state.mcu.xdata[base + i];
    }
    return bytes;
  }
  std::vector<uint8_t> Prog(size_t length) {
    const emu::AdapterState state = bench_.State();
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = emu::PeekProg(state.mcu, i);
    return bytes;
  }
  size_t PhyRequests() const {
    return bench_.LogOf(kCmdReadPhy).size() + bench_.LogOf(kCmdWritePhy).size();
  }
  bool Running() { return emu::McuRunning(bench_.State().mcu); }

  EmuBench bench_;
  TempDir work_;
  int files_ = 0;
};

TEST_F(FirmwareFlow, ParametersAreLoadedAndReadBackFromXdata) {
  const std::vector<uint8_t> bytes = {0x11, 0x22, 0x33};
  EXPECT_EQ(Download("param", bytes),
            "\n\n"
            "Wrote 00000 of 00003 (000%)\rWrote 00001 of 00003 (033%)\r"
            "Wrote 00002 of 00003 (066%)\r\nCOMPLETED!\n"
            "Verified 00000 of 00003 (000%)\rVerified 00001 of 00003 (033%)\r"
            "Verified 00002 of 00003 (066%)\r\nCOMPLETED!\n");
  EXPECT_EQ(Xdata(kParametersBase, 3), bytes);
  // The bytes, address and bytes read back.
  EXPECT_EQ(PhyRequests(), kAroundDownload + 3 + 1 + 3);
  // Overlay table B, high byte first.
  EXPECT_EQ(Xdata(0x0840, 40),
            (std::vector<uint8_t>{0x88, 0x00, 0x88, 0x81, 0x89, 0x02, 0x89, 0x83, 0x00, 0x04,
                                  0x00, 0x85, 0x01, 0x06, 0x01, 0x87, 0x02, 0x08, 0x02, 0x89,
                                  0x03, 0x0A, 0x03, 0x8B, 0x04, 0x0C, 0x04, 0x8D, 0x05, 0x0E,
                                  0x05, 0x8F, 0x06, 0x10, 0x06, 0x91, 0x07, 0x12, 0x07, 0x93}));
  const emu::AdapterState state = bench_.State();
  EXPECT_EQ(state.mcu.sfr[0xF9], 0x10);
  EXPECT_EQ(state.mcu.sfr[0xFA], 0x23);
  EXPECT_TRUE(Running());
}

// Into a log file or a pipe each progress line stays: at 200 bytes the percentage changes every
// second byte, so half the lines and the last one are written, and nothing else changes.
TEST_F(FirmwareFlow, OutputThatIsNoConsoleGetsALineOnlyWhenThePercentageChanges) {
  const auto lines = [](const char* verb) {
    std::string text;
    char line[40];
    for (int i = 0; i < 200; i += 2) {
      std::snprintf(line, sizeof line, "%s %05d of 00200 (%03d%%)\r", verb, i, i / 2);
      text += line;
    }
    std::snprintf(line, sizeof line, "%s 00199 of 00200 (099%%)\r", verb);
    return text + line + "\nCOMPLETED!\n";
  };
  bench_.console().SetIsConsole(false);
  const std::vector<uint8_t> bytes = Pattern(200, 2);
  EXPECT_EQ(Download("param", bytes), "\n\n" + lines("Wrote") + lines("Verified"));
  EXPECT_EQ(Xdata(kParametersBase, 200), bytes);
}

TEST_F(FirmwareFlow, ResetLoadSendsEveryStepInOrder) {
  Download("reset", {0xAB, 0x5C});
  std::vector<PhyRequest> sent;
  for (const emu::LogEntry& entry : bench_.Log()) {
    if (entry.command == kCmdWritePhy || entry.command == kCmdReadPhy) {
      sent.push_back({entry.command == kCmdWritePhy, entry.parameter, entry.data});
    }
  }
  std::vector<PhyRequest> expected = {{true, kControlReg, 0x80}};
  AddSingleWrite(expected, 0xFFFF, 1, 0x80);  // the MCU reset; its bit clears itself
  expected.insert(expected.end(), {{false, kControlReg, 0}, {false, kAddressReg, 0}});
  AddCheckedPreset(expected, 0x0802, 0, 0x80);
  AddCheckedPreset(expected, 0xF9, 0x10, 0x81);
  AddCheckedPreset(expected, 0xFA, 0x23, 0x81);
  AddTable(expected, kTableA);
  expected.insert(expected.end(), {{true, kControlReg, 0x84},
                                   {true, kAddressReg, kImageBase},
                                   {true, 0x40012, 0xAB},
                                   {true, 0x40012, 0x5C},
                                   {false, kControlReg, 0},
                                   {false, kAddressReg, 0}});
  AddTable(expected, kTableB);
  expected.insert(expected.end(), {{true, kControlReg, 0x86},
                                   {true, kAddressReg, 0},
                                   {false, kReadDataReg, 0},
                                   {false, kReadDataReg, 0},
                                   {true, kControlReg, 0},
                                   {false, kControlReg, 0}});
  EXPECT_EQ(sent, expected);
}

TEST_F(FirmwareFlow, ResetLoadVerifiesTheLargestImageInProgramMemory) {
  const std::vector<uint8_t> image = Pattern(16384, 3);
  const std::string output = Download("reset", image);
  EXPECT_EQ(output.substr(0, 2), "\n\n");
  EXPECT_NE(output.find("Wrote 16383 of 16384 (099%)\r\nCOMPLETED!\nVerified 00000 of 16384"),
            std::string::npos);
  const std::string tail = "Verified 16383 of 16384 (099%)\r\nCOMPLETED!\n";
  EXPECT_EQ(output.substr(output.size() - tail.size()), tail);
  EXPECT_EQ(output.find("ERROR"), std::string::npos);
  EXPECT_EQ(Xdata(kImageBase, image.size()), image);
  EXPECT_EQ(Prog(image.size()), image);
  // The reset and its check, the bytes, the Prog mode and address, the bytes read back.
  EXPECT_EQ(PhyRequests(), 3 + 2 + kAroundDownload + 16384 + 2 + 16384);
  EXPECT_TRUE(Running());
}

TEST_F(FirmwareFlow, LoadThenVerifyAndVerifyTouchesNothingElse) {
  const std::vector<uint8_t> image = Pattern(300, 9);
  const std::string path = WriteFile(image);
  EXPECT_EQ(DownloadFile("load", path).find("Verified"), std::string::npos);
  EXPECT_EQ(Prog(image.size()), image);
  const std::vector<uint8_t> xdata_before = Xdata(0, 0x10000);

  const std::string verified = DownloadFile("verify", path);
  const std::string head = "\n\nVerified 00000 of 00300 (000%)\r";
  EXPECT_EQ(verified.substr(0, head.size()), head);
  EXPECT_EQ(verified.substr(verified.size() - 12), "\nCOMPLETED!\n");
  // The Prog mode, the address, the bytes, the release and its check: no access enable, reset,
  // maps or tables.
  const auto writes = bench_.LogOf(kCmdWritePhy);
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(writes[0].parameter, kControlReg);
  EXPECT_EQ(bench_.LogOf(kCmdReadPhy).size(), 300u + 1);
  EXPECT_EQ(Xdata(0, 0x10000), xdata_before);
  EXPECT_TRUE(Running());
}

TEST_F(FirmwareFlow, VerifyNoticesOneDifferingByteAnywhere) {
  const std::vector<uint8_t> image = Pattern(301, 4);
  const std::string path = WriteFile(image);
  // 0 when the verify succeeded and released the MCU, -1 when it stopped at a mismatch.
  ExpectOneByteDifferencesCaught(image, 0, -1, [&](const std::vector<uint8_t>& program) {
    bench_.Update([&](emu::AdapterState& s) {
      std::vector<uint8_t>& xdata = s.mcu.Xdata();
      for (int j = 0; j < 20; ++j) {
        xdata[0x0840 + 2 * j] = static_cast<uint8_t>(kTableB[j] >> 8);
        xdata[0x0841 + 2 * j] = static_cast<uint8_t>(kTableB[j]);
      }
      std::copy(program.begin(), program.end(), xdata.begin() + kImageBase);
      s.mcu.control = 0;
    });
    const int exit_code = bench_.Run({"-f", path, "-m", "verify"});
    bench_.TakeOutput();
    EXPECT_EQ(Running(), exit_code == 0);
    return exit_code == 0 ? 0 : -1;
  });
}

TEST_F(FirmwareFlow, MismatchAtTheFirstByteLeavesTheMcuHeld) {
  // Nothing loaded: program memory is the ROM.
  const std::vector<uint8_t> image = {static_cast<uint8_t>(Prog(1)[0] ^ 0xFF), 2};
  char expected[120];
  std::snprintf(expected, sizeof expected,
                "\n\nERROR: \nData mismatch on byte #0. Wrote = 0x%02x, Read (@ iProg base 0)= "
                "0x%02x\n",
                image[0], Prog(1)[0]);
  EXPECT_EQ(Download("verify", image, 6), expected);
  EXPECT_FALSE(Running());
  EXPECT_EQ(bench_.LogOf(kCmdWritePhy).size(), 2u);  // no release
}

TEST_F(FirmwareFlow, UnreadableParameterByteNamesXdata) {
  // The preset checks, table A's entries followed and read back, the download checked, then byte 0.
  bench_.FailStatus(kCmdReadPhy, 2, 3 * 3 + 20 + 40 + 2 + 1);
  EXPECT_EQ(Download("param", {1, 2}, 6),
            "\n\nWrote 00000 of 00002 (000%)\rWrote 00001 of 00002 (050%)\r\nCOMPLETED!\n"
            "Verified 00000 of 00002 (000%)\r"
            "ERROR: READ_PHY failed !    status:Other Error\n"
            "ERROR: \nFailed reading byte #1 from KSTR_VPM_BT_WDAT_REG (@ XDATA base 0x4C00 )\n");
  EXPECT_FALSE(Running());
  EXPECT_EQ(emu::OverlayInPlace(bench_.State().mcu), emu::OverlayTable::kA);
}

TEST_F(FirmwareFlow, FileLimitsAreCheckedBeforeAnyPhyAccess) {
  const std::string empty = WriteFile({});
  EXPECT_EQ(DownloadFile("load", empty, 6), "ERROR: Not enough bytes in file " + empty + "\n");
  EXPECT_EQ(PhyRequests(), 0u);

  const std::string missing = work_.File("missing.bin");
  EXPECT_EQ(DownloadFile("load", missing, 6), "ERROR: No file " + missing + " is found\n");
  // A directory opens on some systems but cannot be read: it is no firmware file either.
  EXPECT_EQ(DownloadFile("load", work_.path().string(), 6),
            "ERROR: No file " + work_.path().string() + " is found\n");

  const std::string large = WriteFile(Pattern(16385, 1));
  EXPECT_EQ(DownloadFile("reset", large, 6),
            "ERROR: Firmware image file " + large + " size must be <= 16384 bytes\n");
  EXPECT_EQ(PhyRequests(), 0u);

  const std::string params = WriteFile(Pattern(1025, 1));
  EXPECT_EQ(DownloadFile("param", params, 6),
            "ERROR: Firmware Parameters file " + params + " size must be <= 1024 bytes\n");
  EXPECT_EQ(PhyRequests(), 0u);

  const std::vector<uint8_t> most = Pattern(1024, 5);
  EXPECT_NE(Download("param", most).find("Verified 01023 of 01024 (099%)\r\nCOMPLETED!\n"),
            std::string::npos);
  EXPECT_EQ(Xdata(kParametersBase, 1024), most);
}

TEST_F(FirmwareFlow, FailedByteEndsTheDownloadWithTheMcuHeld) {
  // Access enable, presets, table A and its read-back, control and address, then bytes 0 to 4.
  bench_.FailStatus(kCmdWritePhy, 2, 1 + 9 + 80 + 2 + 2 + 5);
  EXPECT_EQ(Download("load", {1, 2, 3, 4, 5, 0x66, 7}, 6),
            "\n\nWrote 00000 of 00007 (000%)\rWrote 00001 of 00007 (014%)\r"
            "Wrote 00002 of 00007 (028%)\rWrote 00003 of 00007 (042%)\r"
            "Wrote 00004 of 00007 (057%)\r"
            "ERROR: WRITE_PHY failed !    status:Other Error\n"
            "ERROR: \nFailed writing byte #5 with value 0x66 to KSTR_VPM_BT_WDAT_REG\n");
  EXPECT_FALSE(Running());
  EXPECT_EQ(emu::OverlayInPlace(bench_.State().mcu), emu::OverlayTable::kA);
}

TEST_F(FirmwareFlow, FailedOverlayEntryIsReportedAndALaterVerifyFails) {
  // Entry 7 of table B: its second request, the control value, fails.
  const std::vector<uint8_t> image = {1, 2, 3, 4};
  bench_.FailStatus(kCmdWritePhy, 2, 1 + 9 + 80 + 2 + 2 + 4 + 7 * 4 + 1);
  const std::string path = WriteFile(image);
  EXPECT_EQ(DownloadFile("load", path, 6),
            "\n\nWrote 00000 of 00004 (000%)\rWrote 00001 of 00004 (025%)\r"
            "Wrote 00002 of 00004 (050%)\rWrote 00003 of 00004 (075%)\r\nCOMPLETED!\n"
            "ERROR: WRITE_PHY failed !    status:Other Error\n"
            "ERROR: Failed writing SMI_KSTR_VPM_BT_CTL_REG to 0x0084\n"
            "ERROR: \nFailed writing 0x0187 to MCU_XDATA_SRAM_OVRLAY_TABLE(7)-0x084e\n");
  // The other entries, the read-back and the release followed.
  EXPECT_EQ(bench_.LogOf(kCmdWritePhy).size(), kWritesAroundDownload + 4 - 2);
  EXPECT_TRUE(Running());
  EXPECT_EQ(emu::OverlayInPlace(bench_.State().mcu), emu::OverlayTable::kOther);

  const std::string verified = DownloadFile("verify", path, 6);
  EXPECT_NE(verified.find("Data mismatch on byte #0."), std::string::npos) << verified;
}

// A load reads nothing back, so where the auto-increment stopped must show that every byte
// landed before "COMPLETED!" is printed.
TEST_F(FirmwareFlow, LoadWithAByteThatDidNothingIsNotCompleted) {
  // Access enable, presets, table A and its read-back, control and address, then bytes 0 to 2.
  bench_.FailStatus(kCmdWritePhy, 0, 1 + 9 + 80 + 2 + 2 + 3);
  EXPECT_EQ(Download("load", {1, 2, 3, 4, 5}, 6),
            "\n\nWrote 00000 of 00005 (000%)\rWrote 00001 of 00005 (020%)\r"
            "Wrote 00002 of 00005 (040%)\rWrote 00003 of 00005 (060%)\r"
            "Wrote 00004 of 00005 (080%)\r"
            "ERROR: SMI_KSTR_VPM_BT_ADDR_REG reads 0x5004 instead of 0x5005\n"
            "ERROR: \nFailed confirming 5 bytes written from ORAM address 5000\n");
  EXPECT_FALSE(Running());
}

// The address write of table B's first entry answers success and does nothing: the entry goes
// where the download stopped, past the image's end in program memory, where no read-back looks.
TEST_F(FirmwareFlow, OverlayEntryWrittenPastTheImageEndsTheLoadWithTheMcuHeld) {
  // Access enable, the reset, presets, table A and its read-back, control and address, 24 bytes.
  bench_.FailStatus(kCmdWritePhy, 0, 1 + 3 + 9 + 80 + 2 + 2 + 24);
  std::string wrote;
  for (int i = 0; i < 24; ++i) {
    char line[40];
    std::snprintf(line, sizeof line, "Wrote %05d of 00024 (%03d%%)\r", i, 100 * i / 24);
    wrote += line;
  }
  EXPECT_EQ(Download("reset", Pattern(24, 0x31), 6),
            "\n\n" + wrote +
                "\nCOMPLETED!\n"
                "ERROR: SMI_KSTR_VPM_BT_ADDR_REG reads 0x501a instead of 0x0842\n"
                "ERROR: \nFailed writing 0x8800 to MCU_XDATA_SRAM_OVRLAY_TABLE(0)-0x0840\n");
  EXPECT_FALSE(Running());
}

}  // namespace
