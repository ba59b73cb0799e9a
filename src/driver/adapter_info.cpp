// adapter_info.cpp - the -G information queries, one driver request each with its fixed lines, and
// the -k driver link-state switch.
#include "driver/adapter_info.h"

#include "driver/adapter_info_text.h"
#include "driver/driver_operations.h"
#include "driver/statistics_print.h"

namespace {

// The result area every query but -G e answers into.
constexpr size_t kResultAreaSize = 256;

using TextRequest = bool (*)(Driver&, uint8_t*, size_t, size_t*);

bool PrintText(Driver& driver, TextRequest request, const char* label, AdapterInformation& info) {
  uint8_t area[kResultAreaSize] = {};
  size_t length = 0;
  if (!request(driver, area, sizeof area, &length)) return false;
  info.text = WideTextToConsole(area, length);
  driver.console().Printf("%s%s\n", label, info.text->c_str());
  return true;
}

bool QueryDriverVersion(Driver& driver, AdapterInformation& info) {
  uint32_t version[4] = {};
  if (!GET_DRIVER_VERSION(driver, version)) return false;
  info.driver_version = {version[0], version[1], version[2], version[3]};
  Console& console = driver.console();
  console.Printf("Driver Major Version %d\n", static_cast<int>(version[0]));
  console.Printf("Driver Minor Version %d\n", static_cast<int>(version[1]));
  console.Printf("Driver Build Version %d\n", static_cast<int>(version[2]));
  console.Printf("Driver QFE Version %d\n", static_cast<int>(version[3]));
  return true;
}

bool QueryAdapterBits(Driver& driver, AdapterInformation& info) {
  uint32_t bits[3] = {};
  if (!GET_ADAPTER_BITS(driver, bits)) return false;
  info.adapter_bits = {bits[0], bits[1], bits[2]};
  Console& console = driver.console();
  console.Printf("Adapter Bits 00 to 31 %X\n", static_cast<unsigned>(bits[0]));
  console.Printf("Adapter Bits 32 to 63 %X\n", static_cast<unsigned>(bits[1]));
  console.Printf("Adapter Bits 64 to 95 %X\n", static_cast<unsigned>(bits[2]));
  return true;
}

bool QueryLocation(Driver& driver, AdapterInformation& info) {
  return PrintText(driver, GET_ADAPTER_LOCATION, "Adapter location: ", info);
}

bool QueryRegistryKey(Driver& driver, AdapterInformation& info) {
  return PrintText(driver, GET_ADAPTER_REGISTRY_KEY, "Adapter registry key: ", info);
}

bool QueryPdoName(Driver& driver, AdapterInformation& info) {
  return PrintText(driver, GET_ADAPTER_PDO_NAME, "Adapter PDO: ", info);
}

bool QueryPort(Driver& driver, AdapterInformation& info) {
  uint32_t port = 0;
  if (!GET_ADAPTER_PORT(driver, &port)) return false;
  info.port = port;
  driver.console().Printf("Adapter port: %d\n", static_cast<int>(port));
  return true;
}

bool QueryStatistics(Driver& driver, AdapterInformation& info) {
  std::array<uint8_t, kTxRxStatsSize> record = {};
  if (!READ_TXRX_STATS(driver, record.data())) return false;
  PrintTxRxStatistics(driver.console(), record.data());
  info.statistics = record;
  return true;
}

// -G u is accepted on the command line but has no query behind it.
bool QueryNothing(Driver&, AdapterInformation&) { return true; }

struct InfoQuery {
  char selector;
  bool (*run)(Driver&, AdapterInformation&);
};

constexpr InfoQuery kInfoQueries[] = {
    {.selector = 'v', .run = QueryDriverVersion}, {.selector = 'b', .run = QueryAdapterBits},
    {.selector = 'l', .run = QueryLocation},      {.selector = 'k', .run = QueryRegistryKey},
    {.selector = 'o', .run = QueryPdoName},       {.selector = 'p', .run = QueryPort},
    {.selector = 'e', .run = QueryStatistics},    {.selector = 'u', .run = QueryNothing},
};

}  // namespace

bool GetAdapterInformation(Driver& driver, int32_t selector, AdapterInformation* information) {
  AdapterInformation kept;
  AdapterInformation& info = information != nullptr ? *information : kept;
  for (const InfoQuery& query : kInfoQueries) {
    if (selector == query.selector) return query.run(driver, info);
  }
  return false;
}

bool SetDriverLinkState(Driver& driver, bool up) {
  if (!SET_LINK_STATE(driver, up ? 1 : 0)) return false;
  driver.console().Printf("Driver Link State set to %s successfully\n", up ? "UP" : "DOWN");
  return true;
}
