// results_document_flow_test.cpp - whole runs with -a on emulated adapters: the document on
// standard output holds what the run did, the text goes unchanged to standard error, and a run
// that fails still gets its document with its exit code.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "emu/network_model.h"
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
