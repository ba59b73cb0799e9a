// results_document_flow_test.cpp - whole runs with -a on emulated adapters: the document on
// standard output holds what the run did, the text goes unchanged to standard error, and a run
// that fails still gets its document with its exit code.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "emu/network_model.h"
#include "format/otp_form.h"
#include "nvm/eeprom_flow_support.h"

namespace {

using nlohmann::json;

// CRC-32 of IEEE 802.3, bit by bit, as the standard defines it.
uint32_t ReferenceCrc32(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

class ResultsDocument : public EepromFlow {
 protected:
  // Runs with -a first; the document is parsed from standard output.
  int RunJson(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "-a");
    const int code = bench_.Run(arguments);
    doc_ = json::parse(bench_.TakeOutput());
    return code;
  }
  std::string Text() { return AfterBanner(bench_.TakeDiagnostics()); }

  json doc_;
};

TEST_F(ResultsDocument, RegisterWriteAndReadBack) {
  EXPECT_EQ(RunJson({"-W", "10", "-v", "1234_5678"}), 0);
  EXPECT_EQ(Text(), "Register 0x10 : 0x345678\n");  // the emulated register keeps 24 bits
  EXPECT_EQ(doc_["schema_version"], 2);
  EXPECT_EQ(doc_["operations"], json({"write_register"}));
  EXPECT_EQ(doc_["adapter"], 0);
  EXPECT_EQ(doc_["chip"], json({{"name", "qnt5231"}, {"id_register", kChipQnt5231}}));
  EXPECT_EQ(doc_["exit_code"], 0);
  EXPECT_EQ(doc_["exit_meaning"], "success");
  EXPECT_EQ(doc_["error"], nullptr);
  EXPECT_EQ(doc_["registers"], json::parse(R"([{"space":"register","access":"write","offset":16,
                             "value":305419896,"ok":true},
                            {"space":"register","access":"read","offset":16,
                             "value":3430008,"ok":true}])"));
  EXPECT_EQ(RunJson({"-j", "1001F"}), 0);  // the PCIe PHY address goes as its low 16 bits
  EXPECT_EQ(doc_["registers"], json::parse(R"([{"space":"pcie_phy","access":"read","offset":31,
                                                "value":0,"ok":true}])"));
}

TEST_F(ResultsDocument, FailedReadKeepsItsExitCodeAndError) {
  bench_.CreateAdapter(2, kChipQnt523F);
  bench_.FailStatus(kCmdReadRegister, 2, 1, 1, 2);  // the read after the chip's identification
  EXPECT_EQ(RunJson({"-X", "2", "-R", "4"}), 6);
  EXPECT_EQ(Text(), "ERROR: READ_REGISTER failed !    status:Other Error\n");
  EXPECT_EQ(doc_["adapter"], 2);
  EXPECT_EQ(doc_["chip"]["name"], "qnt523F");
  EXPECT_EQ(doc_["exit_code"], 6);
  EXPECT_EQ(doc_["exit_meaning"], "operation failed");
  EXPECT_EQ(doc_["error"], "READ_REGISTER failed !    status:Other Error");
  EXPECT_EQ(doc_["registers"][0]["value"], nullptr);
  EXPECT_EQ(doc_["registers"][0]["ok"], false);
}

TEST_F(ResultsDocument, EveryRunAfterTheCommandLineHasADocument) {
  bench_.RemoveAdapter();
  EXPECT_EQ(RunJson({"-R", "0"}), 1);
  EXPECT_EQ(doc_["chip"], nullptr);
  EXPECT_EQ(doc_["exit_meaning"], "no device");
  EXPECT_EQ(doc_["error"], "CreateFile failed!  Device Not Found");
}

// A run whose configuration stopped it has its document, whose error is the fault that stopped it
// rather than the generic line every such run ends with.
TEST_F(ResultsDocument, ConfigurationFaultIsTheError) {
  const std::string missing = File("missing.ini");
  EXPECT_EQ(RunJson({"-w", "-i", missing}), 3);
  EXPECT_EQ(doc_["exit_code"], 3);
  EXPECT_EQ(doc_["error"], "The file " + missing + " is not found (No such file or directory)");
  EXPECT_EQ(doc_["warnings"], json::array());

  const std::string folder = File("folder.ini");
  std::filesystem::create_directory(folder);
  EXPECT_EQ(RunJson({"-w", "-i", folder, "-s"}), 3);  // locked first when stepped
  EXPECT_EQ(doc_["error"], "The file " + folder + " is not found (is a directory)");
  EXPECT_NE(Text().find("\n" + folder + ": is a directory\n"), std::string::npos);

  const std::string ini = File("badmac.ini");
  WriteFileText(ini, ExampleIniWith("CurrentMacAddress = 00:11:22:33:44:55",
                                    "CurrentMacAddress = 00:11:22:33:44"));
  EXPECT_EQ(RunJson({"-w", "-i", ini}), 3);
  // examples/board.ini gives CurrentMacAddress on line 22.
  EXPECT_EQ(doc_["error"], "Ini file, invalid current MAC address format (" + ini +
                               ":22: the value of CurrentMacAddress in [MacAddress] is refused)");
  EXPECT_EQ(doc_["warnings"], json::array());
}

TEST_F(ResultsDocument, CommandLineErrorHasNone) {
  EXPECT_EQ(bench_.Run({"-a", "-w"}), 3);
  EXPECT_EQ(bench_.Output(), "");
  EXPECT_EQ(Text(),
            "ERROR: file name must be specified (-b binary file) after option -w\n"
            "ERROR: Parameter Error (use -h for help)\n");
}

TEST_F(ResultsDocument, EepromProgramFromIni) {
  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniText());
  EXPECT_EQ(RunJson({"-w", "-i", ini}), 0);
  int32_t length = 0;
  ImageOf(ExampleIniText(), &length);
  EXPECT_NE(Text().find("programmed with " + std::to_string(length) + " bytes\n"),
            std::string::npos);
  const std::vector<uint8_t> eeprom = bench_.Eeprom();
  const json expected = {{"action", "write"},
                         {"file", ini},
                         {"image_length", length},
                         {"crc32", ReferenceCrc32(eeprom.data(), static_cast<size_t>(length))},
                         {"mac_address", "00:11:22:33:44:55"},
                         {"serial_number", "000000000001"},
                         {"written", true},
                         {"verified", true}};
  EXPECT_EQ(doc_["eeprom"], expected);
  EXPECT_EQ(doc_["operations"], json({"eeprom_write"}));
}

// The text a run marks with "ERROR: " belongs to a failed run's error; a run that succeeded has
// none, and every message it marked is a warning.
TEST_F(ResultsDocument, OnlyAFailedRunHasAnError) {
  bench_.SetOtp({kOtpSignatureLower});
  const std::string ini = File("dead.ini");
  WriteFileText(ini, ExampleIniText() + "[OtpConfig]\nOtpSignature = 0xDEAD\n");
  bench_.SetInput("Y");
  EXPECT_EQ(RunJson({"-O", "-w", "-i", ini}), 0);
  EXPECT_EQ(doc_["otp"], json({{"action", "switch_off"}, {"switched_off", true}}));
  EXPECT_EQ(doc_["error"], nullptr);
  EXPECT_EQ(doc_["warnings"],
            json({"The first byte of OTP will be written with 0xFF and OTP will be DEAD!!!",
                  "Please confirm (Y/N)"}));

  bench_.SetPartner("autoneg 1000fd");
  bench_.SetLinkDelay(0);
  bench_.Update([](emu::AdapterState& s) {
    s.network.has_address = true;
    s.network.address = {192, 168, 1, 22};
    s.network.plug_speed = 1000;
    s.network.plug_noise = 4;  // the whole first run fails
  });
  EXPECT_EQ(RunJson({"-L"}), 0);
  EXPECT_EQ(doc_["loopback"]["runs"], json::parse(R"([{"passed":false},{"passed":true},
                                                      {"passed":true}])"));
  EXPECT_EQ(doc_["error"], nullptr);
  EXPECT_EQ(doc_["warnings"], json({"Loopback Test Failed"}));
}

// A failure the run printed without the marker, or with its text on the marker's next line, is
// named all the same.
TEST_F(ResultsDocument, AFailedRunNamesItsError) {
  bench_.SetCableResult(1, 0, 0, /*stuck=*/true);
  EXPECT_EQ(RunJson({"-V"}), 6);
  EXPECT_EQ(doc_["cable"]["pairs"][1]["complete"], false);
  EXPECT_EQ(doc_["cable"]["pairs"][1]["status"], nullptr);
  EXPECT_EQ(doc_["error"], "Pair B test incomplete due to 100ms Timeout! Last CblDiagReg = 0x9000");
  // The warning before the test, its continuation lines joined.
  EXPECT_EQ(doc_["warnings"],
            json({"The following results are only accurate if the far end of the cable connected "
                  "to the QNT5230 is NOT connected to an active Link partner."}));

  const std::string firmware = File("fw.bin");
  WriteFileText(firmware, std::string("\x11\x22", 2));
  EXPECT_EQ(RunJson({"-f", firmware, "-m", "load"}), 0);
  WriteFileText(firmware, std::string("\x11\x23", 2));
  EXPECT_EQ(RunJson({"-f", firmware, "-m", "verify"}), 6);
  EXPECT_EQ(doc_["error"], "Data mismatch on byte #1. Wrote = 0x23, Read (@ iProg base 0)= 0x22");
}

// A failed switch-off: its questions are no error, the failed request is.
TEST_F(ResultsDocument, AQuestionIsNoError) {
  bench_.SetOtp({kOtpSignatureLower});
  bench_.FailStatus(kCmdOtpWriteBlock, 1);
  const std::string ini = File("dead.ini");
  WriteFileText(ini, ExampleIniText() + "[OtpConfig]\nOtpSignature = 0xDEAD\n");
  bench_.SetInput("Y");
  EXPECT_EQ(RunJson({"-O", "-w", "-i", ini}), 12);
  EXPECT_EQ(doc_["error"], "OTP_WRITE_BLOCK failed! status:Access failed");
  EXPECT_EQ(doc_["warnings"],
            json({"The first byte of OTP will be written with 0xFF and OTP will be DEAD!!!",
                  "Please confirm (Y/N)"}));
}

void ExpectSnakeCaseKeys(const json& value) {
  if (!value.is_structured()) return;
  for (const auto& [key, member] : value.items()) {
    if (value.is_object()) {
      EXPECT_EQ(key.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_"), std::string::npos)
          << key;
    }
    ExpectSnakeCaseKeys(member);
  }
}

TEST_F(ResultsDocument, KeysAreSnakeCase) {
  bench_.SetStat(15, 7);  // RxGood65To127ByteFrames
  EXPECT_EQ(RunJson({"-G", "e"}), 0);
  EXPECT_EQ(doc_["statistics"]["rx_good_65_to_127_byte_frames"], 7);
  EXPECT_EQ(doc_["statistics"].size(), 47u);
  ExpectSnakeCaseKeys(doc_);
}

// No 0 and no "" stands for a value that does not exist.
TEST_F(ResultsDocument, WhatDoesNotExistIsNull) {
  EXPECT_EQ(RunJson({"-w", "-b", File("missing.bin")}), 9);
  EXPECT_EQ(doc_["eeprom"]["file"], File("missing.bin"));
  for (const char* key : {"image_length", "crc32", "mac_address", "serial_number"}) {
    EXPECT_EQ(doc_["eeprom"][key], nullptr) << key;
  }
  EXPECT_EQ(RunJson({"-O", "-w", "-b", File("missing.bin")}), 12);
  EXPECT_EQ(doc_["otp"]["form"], nullptr);

  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniText());
  EXPECT_EQ(RunJson({"-i", ini, "-o", File("image.bin"), "-d", "QNT5230"}), 0);
  EXPECT_EQ(doc_["chip"], json({{"name", nullptr}, {"id_register", 0x52300000}}));

  EXPECT_EQ(RunJson({"-f", File("missing.bin"), "-m", "load"}), 6);
  EXPECT_EQ(doc_["firmware"],
            json({{"mode", "load"}, {"file", File("missing.bin")}, {"bytes", nullptr}}));
}

// A write refused before the board was touched says which identity it refused.
TEST_F(ResultsDocument, ARefusedWriteNamesItsIdentity) {
  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniWith("CurrentMacAddress = 00:11:22:33:44:55",
                                    "CurrentMacAddress = 01:11:22:33:44:55"));
  EXPECT_EQ(RunJson({"-w", "-i", ini}), 10);
  EXPECT_EQ(doc_["eeprom"], json({{"action", "write"},
                                  {"file", ini},
                                  {"image_length", nullptr},
                                  {"crc32", nullptr},
                                  {"mac_address", "01:11:22:33:44:55"},
                                  {"serial_number", "000000000001"},
                                  {"written", false},
                                  {"verified", false}}));
  EXPECT_NE(doc_["error"], nullptr);
}

// written: a request carrying the image went out; verified: it was read back equal.
TEST_F(ResultsDocument, WrittenIsNotVerified) {
  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniText());
  bench_.FailStatus(kCmdE2pReadBlock, 1, 0, -1);
  EXPECT_EQ(RunJson({"-w", "-i", ini}), 9);
  EXPECT_EQ(doc_["eeprom"]["written"], true);
  EXPECT_EQ(doc_["eeprom"]["verified"], false);
}

// restored: the PHY was put back; it says nothing of whether the test ran to its end.
TEST_F(ResultsDocument, RestoredIsNotTheTestsEnd) {
  bench_.FailStatus(kCmdWritePhy, 1, 6);  // the restore's first write, after the four pairs
  EXPECT_EQ(RunJson({"-V"}), 6);
  EXPECT_EQ(doc_["cable"]["pairs"].size(), 4u);
  EXPECT_EQ(doc_["cable"]["aborted"], false);
  EXPECT_EQ(doc_["cable"]["restored"], false);
}

TEST_F(ResultsDocument, CableTestPairs) {
  bench_.SetCableResult(0, 0, 0);
  bench_.SetCableResult(1, 1, 100);  // pair B open: (8 * 100 - 176) / 10 = 62 m
  bench_.SetCableResult(3, 3, 0x5A);
  EXPECT_EQ(RunJson({"-V"}), 6);  // pair D failed
  const json& pairs = doc_["cable"]["pairs"];
  ASSERT_EQ(pairs.size(), 4u);
  EXPECT_EQ(pairs[0]["status"], "normal");
  EXPECT_EQ(pairs[1]["status"], "open");
  EXPECT_EQ(pairs[1]["distance_m"], 62);
  EXPECT_EQ(pairs[1]["register"], 0x1164);
  EXPECT_EQ(pairs[3]["status"], "failed");
  EXPECT_EQ(pairs[3]["failures"], 0x5A);
  EXPECT_EQ(doc_["cable"]["restored"], true);
}

TEST_F(ResultsDocument, PingRuns) {
  bench_.SetPartner("autoneg 1000fd,100fd");
  bench_.SetLinkDelay(0);
  bench_.Update([](emu::AdapterState& s) {
    s.network.has_address = true;
    s.network.address = {192, 168, 1, 5};
    s.network.peers = {emu::Peer{.address = {192, 168, 1, 1}}};
  });
  EXPECT_EQ(RunJson({"-l", "100fd", "-p", "192.168.1.1"}), 0);
  EXPECT_EQ(doc_["operations"], json({"link_mode", "ping"}));
  EXPECT_EQ(
      doc_["link_mode"],
      json({{"requested", "100fd"}, {"result", "up"}, {"mode", "100 FD"}, {"link_state", 4}}));
  EXPECT_EQ(doc_["ping"], json::parse(R"({"destination":"192.168.1.1","source":"192.168.1.5",
                                          "runs":[{"passed":true},{"passed":true},
                                                  {"passed":true}]})"));
}

}  // namespace
