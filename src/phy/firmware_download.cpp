// firmware_download.cpp - the download sequence: access enable, reset, ROM maps, overlay table A,
// the byte download with progress, read-back from XDATA or program memory, overlay table B and
// the release that starts the MCU. A write can answer success and do nothing, so what no
// verification reads is checked where it is cheap: each preset byte, the overlay tables, where
// the auto-increment stopped after the download and after each overlay entry, and the control
// register after the release.
#include "phy/firmware_download.h"

#include "driver/driver_operations.h"
#include "phy/mcu_access.h"
#include "phy/overlay_table.h"

namespace {

enum class ReadBack { kNone, kXdata, kProg };

// What each mode does, in the order the steps run.
struct ModeSteps {
  bool reset;     // reset the MCU first
  bool download;  // preamble, table A, the download at |base|, table B
  uint16_t base;
  ReadBack read_back;
};

ModeSteps StepsOf(FirmwareMode mode) {
  switch (mode) {
    case FirmwareMode::kLoad:
      return {
          .reset = false, .download = true, .base = kMcuImageBase, .read_back = ReadBack::kNone};
    case FirmwareMode::kVerify:
      return {.reset = false, .download = false, .base = 0, .read_back = ReadBack::kProg};
    case FirmwareMode::kResetAndLoad:
      return {.reset = true, .download = true, .base = kMcuImageBase, .read_back = ReadBack::kProg};
    case FirmwareMode::kParameters:
      break;
  }
  return {
      .reset = false, .download = true, .base = kMcuParametersBase, .read_back = ReadBack::kXdata};
}

// The MCU single writes before a download, each with the message of its step, which also
// reports a write that does not read back.
struct PresetWrite {
  uint16_t address;
  uint32_t data;
  uint32_t control;
  bool reads_back;  // the reset bit clears itself, so only where it went can be checked
  const char* failure;
};

constexpr PresetWrite kResetWrite{kMcuXdataDevCtrl, 1, kMcuXdataSingle, false,
                                  "Failed Restting the MCU via MCU_XDATA_DEV_CTRL_MCU_RESET_\n"};
constexpr PresetWrite kPreamble[] = {
    {kMcuXdataDevCfg, 0, kMcuXdataSingle, true, "Failed setting MCU_XDATA_DEV_CFG to 0\n"},
    {kMcuSfrRomMap1, 0x10, kMcuSfrSingle, true, "Failed setting MCU_SFR_ROM_MAP_1 to 0x10\n"},
    {kMcuSfrRomMap2, 0x23, kMcuSfrSingle, true, "Failed setting MCU_SFR_ROM_MAP_2 to 0x23\n"},
};

bool Preset(Driver& driver, const PresetWrite& write) {
  if (McuSingleWrite(driver, write.address, write.data, write.control) &&
      McuSingleWriteHolds(driver, write.address, write.data, write.control, write.reads_back)) {
    return true;
  }
  driver.console().Error("%s", write.failure);
  return false;
}

// The file being loaded or verified, and how its progress shows.
struct LoadFile {
  const uint8_t* bytes;
  size_t length;
  // On a console each progress line overwrites the one before, so every byte gets one; in a log
  // file or a pipe every line would stay (a megabyte for the largest image), so only a line whose
  // percentage differs from the line before, and the last one, is written.
  bool every_byte;
};

// The progress line of byte |index|: the count and share of the bytes before it.
constexpr char kWroteFormat[] = "Wrote %05d of %05d (%03d%c)\r";
constexpr char kVerifiedFormat[] = "Verified %05d of %05d (%03d%c)\r";

void Progress(Console& console, const LoadFile& file, const char* format, size_t index) {
  const size_t percent = 100 * index / file.length;
  const bool changed = index == 0 || percent != 100 * (index - 1) / file.length;
  if (!file.every_byte && !changed && index + 1 != file.length) return;
  console.Printf(format, static_cast<int>(index), static_cast<int>(file.length),
                 static_cast<int>(percent), '%');
}

// Every byte written in auto-increment mode moves the address on by one: where it stopped tells
// whether each write of the download took effect.
bool DownloadLanded(Driver& driver, uint16_t base, size_t length) {
  if (McuRegisterHolds(driver, kMcuControlReg, kMcuXdataAutoinc) &&
      McuRegisterHolds(driver, kMcuAddressReg, static_cast<uint32_t>(base + length) & 0xFFFF)) {
    return true;
  }
  driver.console().Error("\nFailed confirming %d bytes written from ORAM address %04x\n",
                         static_cast<int>(length), unsigned{base});
  return false;
}

bool Download(Driver& driver, uint16_t base, const LoadFile& file) {
  Console& console = driver.console();
  if (!McuSetControl(driver, kMcuXdataAutoinc,
                     "Failed setting SMI_KSTR_VPM_BT_CTL_REG for Autoinc access to Xdata\n") ||
      !McuSetAddress(driver, base, "Failed setting KSTR_VPM_BT_ADDR_REG for ORAM address %04x\n")) {
    return false;
  }
  for (size_t i = 0; i < file.length; ++i) {
    if (!WRITE_PHY(driver, kMcuWriteDataReg, file.bytes[i])) {
      console.Error("\nFailed writing byte #%d with value 0x%02x to KSTR_VPM_BT_WDAT_REG\n",
                    static_cast<int>(i), unsigned{file.bytes[i]});
      return false;
    }
    Progress(console, file, kWroteFormat, i);
  }
  if (!DownloadLanded(driver, base, file.length)) return false;
  console.Print("\nCOMPLETED!\n");
  return true;
}

// Reads the file's length of bytes through the read-data register, which the caller has pointed
// at the first one, and compares them with the file. The messages name the memory read.
struct ReadBackMessages {
  const char* unreadable;  // takes the byte number
  const char* mismatch;    // takes the byte number, the byte written and the byte read
};

constexpr ReadBackMessages kXdataMessages{
    "\nFailed reading byte #%d from KSTR_VPM_BT_WDAT_REG (@ XDATA base 0x4C00 )\n",
    "\nData mismatch on byte #%d. Wrote = 0x%02x, Read (@ XDATA base 0x4C00 )= 0x%02x\n"};
constexpr ReadBackMessages kProgMessages{
    "\nFailed reading byte #%d from KSTR_VPM_BT_WDAT_REG (@ iProg base 0)\n",
    "\nData mismatch on byte #%d. Wrote = 0x%02x, Read (@ iProg base 0)= 0x%02x\n"};

bool Compare(Driver& driver, const ReadBackMessages& messages, const LoadFile& file) {
  Console& console = driver.console();
  for (size_t i = 0; i < file.length; ++i) {
    uint32_t value = 0;
    if (!READ_PHY(driver, kMcuReadDataReg, &value)) {
      console.Error(messages.unreadable, static_cast<int>(i));
      return false;
    }
    const auto read = static_cast<uint8_t>(value);
    if (read != file.bytes[i]) {
      console.Error(messages.mismatch, static_cast<int>(i), unsigned{file.bytes[i]},
                    unsigned{read});
      return false;
    }
    Progress(console, file, kVerifiedFormat, i);
  }
  console.Print("\nCOMPLETED!\n");
  return true;
}

bool VerifyParameters(Driver& driver, const LoadFile& file) {
  return McuSetAddress(driver, kMcuParametersBase,
                       "\nFailed setting KSTR_VPM_BT_ADDR_REG for ORAM address %04x\n") &&
         Compare(driver, kXdataMessages, file);
}

bool VerifyProgram(Driver& driver, const LoadFile& file) {
  return McuSetControl(driver, kMcuProgAutoinc,
                       "\nFailed setting SMI_KSTR_VPM_BT_CTL_REG for Autoinc access to Prog\n") &&
         McuSetAddress(driver, 0,
                       "\nFailed setting KSTR_VPM_BT_ADDR_REG for IROM address 0x%04x\n") &&
         Compare(driver, kProgMessages, file);
}

// Clearing the access enable starts the MCU; one that stays held runs nothing.
bool Release(Driver& driver) {
  constexpr char kFailure[] = "Failed clearing KSTR_VPM_BT_CTL_REG_ACCESS_EN_ to start execution\n";
  if (!McuSetControl(driver, kMcuRelease, kFailure)) return false;
  if (McuRegisterHolds(driver, kMcuControlReg, kMcuRelease)) return true;
  driver.console().Error("%s", kFailure);
  return false;
}

}  // namespace

bool DownloadFirmware(Driver& driver, FirmwareMode mode, const uint8_t* bytes, size_t length) {
  const ModeSteps steps = StepsOf(mode);
  const LoadFile file{.bytes = bytes,
                      .length = length,
                      .every_byte = driver.console().IsConsole(ConsoleStream::kOutput)};
  driver.console().Print("\n\n");

  // A table that is not in place is reported and does not stop the sequence, but the download
  // has failed. One that wrote elsewhere stops it: the MCU is not started over memory it holds
  // that nobody loaded.
  bool tables_in_place = true;
  if (steps.download) {
    if (!McuSetControl(driver, kMcuXdataSingle,
                       "Failed setting KSTR_VPM_BT_CTL_REG_ACCESS_EN_\n")) {
      return false;
    }
    if (steps.reset && !Preset(driver, kResetWrite)) return false;
    for (const PresetWrite& write : kPreamble) {
      if (!Preset(driver, write)) return false;
    }
    const OverlayResult table_a =
        WriteOverlayTable(driver, kOverlayTableA,
                          "Failed writing 0x%04x to MCU_XDATA_SRAM_OVRLAY_TABLE(%d)-0x%04x\n");
    if (table_a == OverlayResult::kStrayWrite) return false;
    if (!Download(driver, steps.base, file)) return false;
    if (steps.read_back == ReadBack::kXdata && !VerifyParameters(driver, file)) {
      return false;
    }
    const OverlayResult table_b =
        WriteOverlayTable(driver, kOverlayTableB,
                          "\nFailed writing 0x%04x to MCU_XDATA_SRAM_OVRLAY_TABLE(%d)-0x%04x\n");
    if (table_b == OverlayResult::kStrayWrite) return false;
    tables_in_place = table_a == OverlayResult::kInPlace && table_b == OverlayResult::kInPlace;
  }
  if (steps.read_back == ReadBack::kProg && !VerifyProgram(driver, file)) return false;
  return Release(driver) && tables_in_place;
}
