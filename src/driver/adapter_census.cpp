// adapter_census.cpp - asking the driver, index by index, which adapters it serves.
#include "driver/adapter_census.h"

#include "driver/request_block.h"

namespace {

// A register-0 read of adapter |index|; false only when the exchange itself fails because the
// driver has no adapter there (the system's "file not found").
bool Serves(DeviceIo& device, uint32_t index) {
  DriverRequest block;
  block.Put32(kOffsetSignature, kSignatureIndexedAdapter);
  block.Put32(kOffsetAdapterStatus, index);
  block.Put32(kOffsetCommand, kCmdReadRegister);
  uint32_t returned = 0;
  uint32_t error = 0;
  return device.Control(kIoctlQnt5200MpAccess, block.bytes, kRequestBlockSize, block.bytes,
                        kRequestBlockSize, &returned, &error) ||
         error != kErrorFileNotFound;
}

}  // namespace

std::vector<uint32_t> AdaptersServed(DeviceIo& device) {
  std::vector<uint32_t> served;
  for (uint32_t index = 0; index < kCensusAdapterLimit; ++index) {
    if (Serves(device, index)) served.push_back(index);
  }
  return served;
}
