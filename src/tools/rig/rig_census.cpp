// rig_census.cpp - the driver's adapters and their chips, asked once before a rig starts.
#include "tools/rig/rig_census.h"

#include "common/chip_table.h"
#include "driver/adapter_census.h"
#include "driver/driver.h"
#include "driver/driver_operations.h"

namespace {

// The driver layer prints its failures; the rig tells its own way.
class SilentConsole : public Console {
 public:
  void Write(const char* /*data*/, size_t /*length*/) override {}
  int ReadChar() override { return -1; }
  void WriteDiagnostic(const char* /*data*/, size_t /*length*/) override {}
};

}  // namespace

bool TakeRigCensus(Platform& platform, RigCensus* census, std::string* why) {
  uint32_t error = 0;
  if (!platform.device.Open(kControlDevicePath, &error)) {
    *why = std::string("the control device could not be opened (system error ") +
           std::to_string(error) + ")";
    const std::string hint = platform.device.OpenFailureHint(error);
    if (!hint.empty()) {
      why->push_back('\n');
      why->append(hint, 0, hint.size() - 1);
    }
    return false;
  }
  census->served = AdaptersServed(platform.device);
  census->chips.assign(kCensusAdapterLimit, "");
  SilentConsole silent;
  for (const uint32_t adapter : census->served) {
    Driver driver(platform.device, silent,
                  RequestWords{.signature = kSignatureIndexedAdapter, .adapter_index = adapter});
    uint32_t value = 0;
    if (!READ_REGISTER(driver, 0, &value)) continue;
    const ChipRow* chip = FindChip(value >> 16);
    if (chip != nullptr) census->chips[adapter] = chip->chip_name;
  }
  platform.device.Close();
  return true;
}
