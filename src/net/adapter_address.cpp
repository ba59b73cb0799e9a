// adapter_address.cpp - the adapter lookup of the network tests and the destination check.
#include "net/adapter_address.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "format/mac_text.h"
#include "net/adapter_choice.h"

namespace {

constexpr size_t kHostTextSize = 1025;

// Says why the adapter could not be chosen; false when it is simply not there (yet).
bool Refused(Console& console, AdapterChoice choice, ControllerMac& mac) {
  switch (choice) {
    case AdapterChoice::kChosen:
    case AdapterChoice::kNoController:
      return false;
    case AdapterChoice::kMacUnknown:
      console.Error(
          "Several QNT52 network adapters are listed and this controller's MAC address is "
          "unknown\n");
      // The host adapter is found by the board's MAC address, and a blank board has none.
      console.Diagnostic(
          "The board holds no MAC address to find its host adapter by: program the board first "
          "(-w, or -O -w), or leave its host adapter the only QNT52 adapter enabled.\n");
      return true;
    case AdapterChoice::kNoMatch:
      console.Error("No QNT52 network adapter has this controller's MAC address %s\n",
                    MacAddressText(*mac.Get(), '-').c_str());
      return true;
    case AdapterChoice::kSeveralMatch:
      console.Error("Several QNT52 network adapters have this controller's MAC address %s\n",
                    MacAddressText(*mac.Get(), '-').c_str());
      return true;
  }
  return false;
}

}  // namespace

AdapterLookup FindAdapterAddress(const NetRun& run, ControllerMac& mac, AdapterAddress* found) {
  std::vector<HostAdapter> adapters;
  const uint32_t result = run.services.ip_helper.GetAdaptersAddresses(&adapters);
  if (result == kAdapterBufferNotAllocated) {
    run.console.Error("Memory allocation failed for IP_ADAPTER_ADDRESSES struct\n");
    return AdapterLookup::kNotFound;
  }
  if (result != 0) {
    run.console.Error("Call to GetAdaptersAddresses failed with error: %d\n",
                      static_cast<int>(result));
    return AdapterLookup::kNotFound;
  }
  const HostAdapter* controller = nullptr;
  const AdapterChoice choice = ChooseControllerAdapter(
      adapters, [&mac] { return mac.Get(); }, &controller);
  if (Refused(run.console, choice, mac)) return AdapterLookup::kRefused;
  if (choice != AdapterChoice::kChosen) return AdapterLookup::kNotFound;

  char text[kHostTextSize] = {};
  for (const Ip4Address& address : controller->unicast) {
    if (!run.services.names.NumericHost(address, text, sizeof text)) {
      run.console.Error("can't convert network format to presentation format");
      text[0] = '\0';
      continue;
    }
    std::strncpy(found->text, text, sizeof found->text - 1);
    found->text[sizeof found->text - 1] = '\0';
    found->interface_index = static_cast<int32_t>(controller->interface_index);
  }
  return text[0] != '\0' ? AdapterLookup::kFound : AdapterLookup::kNotFound;
}

bool IsValidIpAddress(const char* text) {
  const size_t length = std::strlen(text);
  if (length > 15 || std::strspn(text, "1234567890.") != length) return false;
  int dots = 0;
  for (const char* c = text; *c != '\0'; ++c) dots += *c == '.';
  if (dots != 3) return false;

  int parts = 0;
  int values[4] = {};
  for (const char* c = text; *c != '\0';) {
    if (*c == '.') {
      ++c;
      continue;
    }
    const size_t digits = std::strspn(c, "1234567890");
    if (digits > 3 || parts == 4) return false;
    values[parts++] = std::atoi(c);
    if (values[parts - 1] > 255) return false;
    c += digits;
  }
  return parts == 4 && values[0] >= 1 && values[1] + values[2] + values[3] != 0;
}
