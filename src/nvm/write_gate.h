// write_gate.h - the last word before an image is written: whatever the image carries that must
// be set aside for this board (its MAC address and serial number) is set aside here, durably,
// before the first request that writes it goes out.
#pragma once

#include <cstdint>

class WriteGate {
 public:
  virtual ~WriteGate() = default;
  // Called once, right before the first write request of |image| (|length| bytes). False stops
  // the write before anything is sent, after the gate's own message.
  virtual bool Pass(const uint8_t* image, int32_t length) = 0;
};
