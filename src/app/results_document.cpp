// results_document.cpp - the JSON document of a run's results, its keys in a fixed order.
#include "app/results_document.h"

#include <cctype>
#include <string_view>

#include <nlohmann/json.hpp>

#include "app/run_outcome.h"
#include "common/exit_codes.h"
#include "common/little_endian.h"
#include "driver/statistics_print.h"
#include "format/otp_form.h"
#include "platform/exit_status.h"

namespace {

using Json = nlohmann::ordered_json;

const char* SpaceName(DirectAccessTarget target) {
  switch (target) {
    case DirectAccessTarget::kRegister:
      return "register";
    case DirectAccessTarget::kPhy:
      return "phy";
    case DirectAccessTarget::kPciConfig:
      return "pci_config";
    case DirectAccessTarget::kPciePhy:
      return "pcie_phy";
  }
  return "register";
}

// A write, then the read that follows it (a read alone for a read).
void AddRegisters(const std::vector<RegisterAccessRecord>& records, Json& doc) {
  Json list = Json::array();
  for (const RegisterAccessRecord& record : records) {
    const char* space = SpaceName(record.target);
    if (record.write) {
      list.push_back({{"space", space},
                      {"access", "write"},
                      {"offset", record.offset},
                      {"value", record.value},
                      {"ok", record.result.written}});
    }
    Json read = {{"space", space}, {"access", "read"}, {"offset", record.offset}};
    read["value"] = record.result.read ? Json(record.result.value) : Json(nullptr);
    read["ok"] = record.result.read;
    list.push_back(read);
  }
  doc["registers"] = list;
}

// Text, or null when there is none.
Json TextOrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

// A counter's name as a key: "RxGood65To127ByteFrames" is "rx_good_65_to_127_byte_frames". The
// names are ASCII letters and digits, each word starting upper-case.
std::string SnakeCase(std::string_view name) {
  std::string key;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const bool starts_number =
        i > 0 && std::isdigit(c) && !std::isdigit(static_cast<unsigned char>(name[i - 1]));
    if (i > 0 && (std::isupper(c) || starts_number)) key += '_';
    key += static_cast<char>(std::tolower(c));
  }
  return key;
}

Json StatisticsOf(const std::array<uint8_t, kTxRxStatsSize>& record) {
  Json statistics = Json::object();
  for (const StatisticsCounter& counter : kStatisticsCounters) {
    if (counter.printed) {
      statistics[SnakeCase(counter.name)] = GetLe32(record.data(), counter.offset);
    }
  }
  return statistics;
}

void AddInformation(const AdapterInformation& info, Json& doc) {
  if (const auto& v = info.driver_version) {
    doc["driver_version"] = {
        {"major", (*v)[0]}, {"minor", (*v)[1]}, {"build", (*v)[2]}, {"qfe", (*v)[3]}};
  }
  if (info.adapter_bits) doc["adapter_bits"] = *info.adapter_bits;
  if (info.text) doc["adapter_text"] = *info.text;
  if (info.port) doc["adapter_port"] = *info.port;
  if (info.statistics) doc["statistics"] = StatisticsOf(*info.statistics);
}

const char* LinkModeOption(int32_t code) {
  for (const LinkModeEntry& mode : kLinkModes) {
    if (mode.code == code) return mode.option;
  }
  return "";
}

Json LinkModeOf(const LinkModeRecord& record) {
  Json link = {
      {"requested", LinkModeOption(record.requested)}, {"result", nullptr}, {"mode", nullptr}};
  switch (record.result) {
    case LinkModeResult::kLinkUp:
      link["result"] = "up";
      link["mode"] = LinkModeName(record.link_state);
      break;
    case LinkModeResult::kNoLink:
      link["result"] = "no_link";
      break;
    case LinkModeResult::kRequestFailed:
      link["result"] = "refused";
      break;
  }
  link["link_state"] = record.link_state;
  return link;
}

Json CableOf(const CableReport& report) {
  static constexpr const char* kStatus[] = {"normal", "open", "shorted", "failed"};
  Json pairs = Json::array();
  for (const CablePairResult& pair : report.pairs) {
    Json entry = {{"pair", std::string(1, pair.pair)},
                  {"complete", pair.complete},
                  {"register", pair.register_value},
                  {"status", nullptr},
                  {"distance_m", nullptr},
                  {"failures", nullptr}};
    if (pair.complete) {
      entry["status"] = kStatus[pair.status & 3];
      if (pair.status == 1 || pair.status == 2) entry["distance_m"] = pair.distance_m;
      if (pair.status == 3) entry["failures"] = pair.register_value & 0xFF;
    }
    pairs.push_back(entry);
  }
  return {{"pairs", pairs}, {"aborted", report.aborted}, {"restored", report.restored}};
}

Json NetworkTestOf(const NetworkTestRecord& record, bool ping) {
  Json test = Json::object();
  if (ping) {
    test["destination"] = record.destination;
  } else {
    test["link_mode"] = LinkModeOption(record.link_mode);
  }
  test["source"] = TextOrNull(record.source);
  Json runs = Json::array();
  for (const bool passed : record.runs) runs.push_back({{"passed", passed}});
  test["runs"] = runs;
  return test;
}

Json MemoryOf(const MemoryRecord& record) {
  if (record.switch_off) return {{"action", "switch_off"}, {"switched_off", record.done}};
  if (record.operation == kOpRead) {
    return {
        {"action", "read"}, {"file", record.file}, {"bytes", record.bytes}, {"saved", record.done}};
  }
  const std::optional<ImageSummary>& image = record.image;
  Json memory = {{"action", "write"}, {"file", TextOrNull(record.file)}};
  if (record.otp) {
    const bool upper = image && image->signature == kOtpSignatureUpper;
    memory["form"] = image ? Json(upper ? "upper" : "lower") : Json(nullptr);
  }
  memory["image_length"] = image ? Json(image->length) : Json(nullptr);
  memory["crc32"] = image ? Json(image->crc32) : Json(nullptr);
  memory["mac_address"] = TextOrNull(record.mac_address);
  memory["serial_number"] = TextOrNull(record.serial_number);
  memory["written"] = record.written;
  memory["verified"] = record.done;
  return memory;
}

void AddStages(const RunResults& results, Json& doc) {
  if (!results.registers.empty()) AddRegisters(results.registers, doc);
  if (results.information) AddInformation(*results.information, doc);
  if (results.driver_link_up) doc["driver_link_state"] = *results.driver_link_up ? "up" : "down";
  if (results.cable) doc["cable"] = CableOf(*results.cable);
  if (const auto& firmware = results.firmware) {
    doc["firmware"] = {{"mode", firmware->mode},
                       {"file", firmware->file},
                       {"bytes", firmware->bytes ? Json(*firmware->bytes) : Json(nullptr)}};
  }
  if (const auto& image = results.image_file) {
    doc["image_file"] = {{"memory", image->otp ? "otp" : "eeprom"},
                         {"file", image->file},
                         {"written", image->written}};
  }
  if (const auto& memory = results.memory) doc[memory->otp ? "otp" : "eeprom"] = MemoryOf(*memory);
  if (results.link_mode) doc["link_mode"] = LinkModeOf(*results.link_mode);
  if (results.ping) doc["ping"] = NetworkTestOf(*results.ping, true);
  if (results.loopback) doc["loopback"] = NetworkTestOf(*results.loopback, false);
}

}  // namespace

std::string ResultsDocument(const RunResults& results, int exit_code,
                            const ConsoleMessages& messages) {
  Json doc = {{"schema_version", kResultsSchemaVersion}, {"operations", results.operations}};
  doc["adapter"] = results.adapter;
  if (const auto& chip = results.chip) {
    doc["chip"] = {{"name", TextOrNull(chip->name)}, {"id_register", chip->id_register}};
  } else {
    doc["chip"] = nullptr;
  }
  doc["exit_code"] = ExitStatusSeenByCaller(exit_code);
  doc["exit_meaning"] = ExitCodeMeaning(exit_code);
  const RunOutcome outcome = OutcomeOf(results, messages, exit_code);
  doc["error"] = outcome.error ? Json(*outcome.error) : Json(nullptr);
  doc["warnings"] = outcome.warnings;
  AddStages(results, doc);
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
