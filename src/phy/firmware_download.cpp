// firmware_download.cpp - the download sequence: access enable, reset, ROM maps, overlay table A,
// the byte download with progress, read-back from XDATA or program memory, overlay table B and
// the release that starts the MCU.
#include "phy/firmware_download.h"

#include "driver/driver_operations.h"
#include "phy/mcu_access.h"

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

// The MCU single writes before a download, each with the message of its step.
struct PresetWrite {
  uint16_t address;
  uint32_t data;
  uint32_t control;
  const char* failure;
};

constexpr PresetWrite kResetWrite{kMcuXdataDevCtrl, 1, kMcuXdataSingle,
                                  "Failed Restting the MCU via MCU_XDATA_DEV_CTRL_MCU_RESET_\n"};
constexpr PresetWrite kPreamble[] = {
    {kMcuXdataDevCfg, 0, kMcuXdataSingle, "Failed setting MCU_XDATA_DEV_CFG to 0\n"},
    {kMcuSfrRomMap1, 0x10, kMcuSfrSingle, "Failed setting MCU_SFR_ROM_MAP_1 to 0x10\n"},
    {kMcuSfrRomMap2, 0x23, kMcuSfrSingle, "Failed setting MCU_SFR_ROM_MAP_2 to 0x23\n"},
};

bool Preset(Driver& driver, const PresetWrite& write) {
  if (McuSingleWrite(driver, write.address, write.data, write.control)) return true;
  driver.console().Error("%s", write.failure);
  return false;
}

// Writes a whole overlay table; a failed entry is reported and the next one follows.
// |failure_format| takes the entry, its number and its address.
void WriteOverlayTable(Driver& driver, const uint16_t (&table)[kOverlayEntries],
                       const char* failure_format) {
  for (int entry = 0; entry < kOverlayEntries; ++entry) {
    const auto address = static_cast<uint16_t>(kMcuOverlayTableBase + 2 * entry);
    if (!McuWrite16(driver, address, table[entry])) {
      driver.console().Error(failure_format, unsigned{table[entry]}, entry, unsigned{address});
    }
  }
}

// The progress line of byte |index|: the count and share of the bytes before it.
constexpr char kWroteFormat[] = "Wrote %05d of %05d (%03d%c)\r";
constexpr char kVerifiedFormat[] = "Verified %05d of %05d (%03d%c)\r";

void Progress(Console& console, const char* format, size_t index, size_t length) {
  console.Printf(format, static_cast<int>(index), static_cast<int>(length),
                 static_cast<int>(100 * index / length), '%');
}

bool WriteControl(Driver& driver, uint32_t control, const char* failure) {
  if (WRITE_PHY(driver, kMcuControlReg, control)) return true;
  driver.console().Error("%s", failure);
  return false;
}

bool WriteAddress(Driver& driver, uint16_t address, const char* failure_format) {
  if (WRITE_PHY(driver, kMcuAddressReg, address)) return true;
  driver.console().Error(failure_format, unsigned{address});
  return false;
}

bool Download(Driver& driver, uint16_t base, const uint8_t* bytes, size_t length) {
  Console& console = driver.console();
  if (!WriteControl(driver, kMcuXdataAutoinc,
                    "Failed setting SMI_KSTR_VPM_BT_CTL_REG for Autoinc access to Xdata\n") ||
      !WriteAddress(driver, base, "Failed setting KSTR_VPM_BT_ADDR_REG for ORAM address %04x\n")) {
    return false;
  }
  for (size_t i = 0; i < length; ++i) {
    if (!WRITE_PHY(driver, kMcuWriteDataReg, bytes[i])) {
      console.Error("\nFailed writing byte #%d with value 0x%02x to KSTR_VPM_BT_WDAT_REG\n",
                    static_cast<int>(i), unsigned{bytes[i]});
      return false;
    }
    Progress(console, kWroteFormat, i, length);
  }
  console.Print("\nCOMPLETED!\n");
  return true;
}

// Reads |length| bytes through the read-data register, which the caller has pointed at the first
// one, and compares them with |bytes|. The messages name the memory read.
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

bool Compare(Driver& driver, const ReadBackMessages& messages, const uint8_t* bytes,
             size_t length) {
  Console& console = driver.console();
  for (size_t i = 0; i < length; ++i) {
    uint32_t value = 0;
    if (!READ_PHY(driver, kMcuReadDataReg, &value)) {
      console.Error(messages.unreadable, static_cast<int>(i));
      return false;
    }
    const auto read = static_cast<uint8_t>(value);
    if (read != bytes[i]) {
      console.Error(messages.mismatch, static_cast<int>(i), unsigned{bytes[i]}, unsigned{read});
      return false;
    }
    Progress(console, kVerifiedFormat, i, length);
  }
  console.Print("\nCOMPLETED!\n");
  return true;
}

bool VerifyParameters(Driver& driver, const uint8_t* bytes, size_t length) {
  return WriteAddress(driver, kMcuParametersBase,
                      "\nFailed setting KSTR_VPM_BT_ADDR_REG for ORAM address %04x\n") &&
         Compare(driver, kXdataMessages, bytes, length);
}

bool VerifyProgram(Driver& driver, const uint8_t* bytes, size_t length) {
  return WriteControl(driver, kMcuProgAutoinc,
                      "\nFailed setting SMI_KSTR_VPM_BT_CTL_REG for Autoinc access to Prog\n") &&
         WriteAddress(driver, 0,
                      "\nFailed setting KSTR_VPM_BT_ADDR_REG for IROM address 0x%04x\n") &&
         Compare(driver, kProgMessages, bytes, length);
}

}  // namespace

bool DownloadFirmware(Driver& driver, FirmwareMode mode, const uint8_t* bytes, size_t length) {
  const ModeSteps steps = StepsOf(mode);
  driver.console().Print("\n\n");

  if (steps.download) {
    if (!WriteControl(driver, kMcuXdataSingle, "Failed setting KSTR_VPM_BT_CTL_REG_ACCESS_EN_\n")) {
      return false;
    }
    if (steps.reset && !Preset(driver, kResetWrite)) return false;
    for (const PresetWrite& write : kPreamble) {
      if (!Preset(driver, write)) return false;
    }
    WriteOverlayTable(driver, kOverlayTableA,
                      "Failed writing 0x%04x to MCU_XDATA_SRAM_OVRLAY_TABLE(%d)-0x%04x\n");
    if (!Download(driver, steps.base, bytes, length)) return false;
    if (steps.read_back == ReadBack::kXdata && !VerifyParameters(driver, bytes, length)) {
      return false;
    }
    WriteOverlayTable(driver, kOverlayTableB,
                      "\nFailed writing 0x%04x to MCU_XDATA_SRAM_OVRLAY_TABLE(%d)-0x%04x\n");
  }
  if (steps.read_back == ReadBack::kProg && !VerifyProgram(driver, bytes, length)) return false;

  return WriteControl(driver, kMcuRelease,
                      "Failed clearing KSTR_VPM_BT_CTL_REG_ACCESS_EN_ to start execution\n");
}
