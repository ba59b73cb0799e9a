// control_device.cpp - the control device's opening and the selected adapter's presence.
#include "app/control_device.h"

#include <algorithm>
#include <string>

#include "driver/adapter_census.h"

bool OpenControlDevice(DeviceIo& device, Console& console) {
  uint32_t error = 0;
  if (device.Open(kControlDevicePath, &error)) return true;
  if (error == kErrorFileNotFound) {
    console.Error("CreateFile failed!  Device Not Found\n");
  } else if (error == kErrorAccessDenied) {
    console.Print(
        "Open File QNT5200_IOCTL Failed! You don't have enough access right, try to run this "
        "application as Administrator");
  } else {
    console.Printf("CreateFile failed!  errNum = %d\n", static_cast<int>(error));
  }
  const std::string hint = device.OpenFailureHint(error);
  if (!hint.empty()) console.Diagnostic("%s", hint.c_str());
  return false;
}

void HintMissingAdapter(DeviceIo& device, const RequestWords& words, Console& console) {
  const std::vector<uint32_t> served = AdaptersServed(device);
  const uint32_t selected = words.adapter_index;
  if (std::find(served.begin(), served.end(), selected) != served.end()) return;
  if (served.empty()) {
    console.Diagnostic("Adapter %u does not exist: the driver serves no adapter.\n", selected);
    return;
  }
  std::string indices;
  for (const uint32_t index : served) {
    indices += (indices.empty() ? "" : ", ") + std::to_string(index);
  }
  console.Diagnostic("Adapter %u does not exist: the driver serves %d (%s); -X selects one.\n",
                     selected, static_cast<int>(served.size()), indices.c_str());
}
