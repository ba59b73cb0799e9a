// write_gate.h - the last word before an image is written: whatever the image carries that must
// be set aside for this board (its MAC address and serial number) is set aside here, durably,
// right before the first request that carries it goes out, and not before: a write that fails
// earlier (the memory not opened, the OTP's signature not written) has used up nothing.
#pragma once

#include <cstdint>

#include "driver/driver_operations.h"

class WriteGate {
 public:
  virtual ~WriteGate() = default;
  // Called once when the write of an image begins, before its first request (which may carry
  // none of the identity, such as the OTP's signature byte).
  virtual void Starting() = 0;
  // Called at most once, with the memory open for writing, right before the first request that
  // carries |image| beyond its OTP signature byte (|length| bytes in all). False stops the write
  // before that request is sent, after the gate's own message.
  virtual bool Pass(const uint8_t* image, int32_t length) = 0;
  // Called once after the write requests of a passed image, before the read-back: |accepted|
  // when the driver took every one of them.
  virtual void Written(bool accepted) = 0;
};

enum class GatedWrite { kAccepted, kFailed, kRefused };

// Runs |write|, a driver write taking a BeforeDataRequest, with |gate| (when given) passed right
// before its data request and told the outcome. kRefused: the gate stopped it, nothing was sent.
template <typename Write>
GatedWrite WriteThroughGate(WriteGate* gate, const uint8_t* image, int32_t length, Write write) {
  if (gate == nullptr) return write(nullptr) ? GatedWrite::kAccepted : GatedWrite::kFailed;
  bool refused = false;
  const bool accepted = write(BeforeDataRequest([&] {
    refused = !gate->Pass(image, length);
    return !refused;
  }));
  if (refused) return GatedWrite::kRefused;
  gate->Written(accepted);
  return accepted ? GatedWrite::kAccepted : GatedWrite::kFailed;
}
