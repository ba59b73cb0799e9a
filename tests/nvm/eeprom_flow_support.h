// eeprom_flow_support.h - shared pieces of the EEPROM flow tests: the bench with one adapter, a
// work directory, the output after the banner and the image the example board file builds.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "config/image/image_builder.h"
#include "config/ini_loader.h"
#include "config/test_board.h"
#include "driver/request_block.h"
#include "support/after_banner.h"
#include "support/capture_console.h"
#include "support/emu_bench.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

inline std::string ExampleIniText() {
  return ReadFileText(std::string(QNT_SOURCE_DIR) + "/examples/board.ini");
}

// The example board file with |from| replaced by |to|.
inline std::string ExampleIniWith(const std::string& from, const std::string& to) {
  std::string text = ExampleIniText();
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The image the builder makes from the INI text, as the EEPROM should hold it (512 bytes).
inline std::vector<uint8_t> ImageOf(const std::string& ini_text, int32_t* length = nullptr) {
  TestBoard options;
  options.IdRegister = 0x52300000;
  IniState state;
  CaptureConsole console;
  EXPECT_EQ(
      LoadIniText("board.ini", ini_text.data(), ini_text.size(), options.Settings, state, console),
      0);
  std::vector<uint8_t> image(kImageBufferSize, 0);
  EXPECT_EQ(BuildEepromImage(options.Settings, ImageTarget{options.ChipId(), options.EepromSize},
                             image.data(), &options.ImageLength, console),
            0);
  if (length != nullptr) *length = options.ImageLength;
  image.resize(kMaxImageBytes);
  return image;
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class EepromFlow : public ::testing::Test {
 protected:
  void SetUp() override { bench_.CreateAdapter(0, kChipQnt5231); }

  int Run(const std::vector<std::string>& arguments) {
    bench_.TakeOutput();
    return bench_.Run(arguments);
  }
  // What the run printed after its banner, the lines that name a write left out
  // (write_summary_flow_test.cpp holds them).
  std::string Output() { return WithoutWriteSummary(AfterBanner(bench_.TakeOutput())); }
  std::string File(const std::string& name) const { return work_.File(name); }

  EmuBench bench_;
  TempDir work_;
};
