// driver.h - the transport to the controller driver: one request block, the two words the command
// line chose for it, and the common send-and-check sequence every driver operation uses.
#pragma once

#include <cstdint>

#include "driver/request_block.h"
#include "platform/console.h"
#include "platform/device_io.h"

constexpr char kControlDevicePath[] = "\\\\.\\QNT5200_IOCTL";

// The signature and adapter-index words every request carries, decided by the command line.
struct RequestWords {
  uint32_t signature = kSignatureDefaultAdapter;
  uint32_t adapter_index = 0;
};

// Which text a nonzero status other than 1 is reported with.
enum class StatusText { kAdapterBusy, kOtherError };

// How one driver command is sent and reported.
struct RequestKind {
  uint32_t command;
  const char* failure_format;  // one %s: the status text
  StatusText status_text;
};

class Driver {
 public:
  Driver(DeviceIo& device, Console& console, RequestWords words)
      : device_(device), console_(console), words_(words) {}

  DriverRequest& block() { return block_; }
  // The block for a new request, its data area cleared: what a request takes from the answer
  // was put there by this request's driver answer or is zero, never left over from another.
  DriverRequest& Begin();
  Console& console() { return console_; }
  const RequestWords& words() const { return words_; }
  // The system error with which the last exchange failed, 0 when it did not: it tells a missing
  // adapter from a failing one.
  uint32_t last_exchange_error() const { return last_exchange_error_; }

  // The common sequence: header words, the exchange, the status check. The caller has placed the
  // parameter and data fields. Prints the failure and returns false on any failure; on success
  // |*returned| (when given) holds the driver's returned-bytes count.
  bool Send(const RequestKind& kind, uint32_t input_length, uint32_t* returned = nullptr);
  // As Send, with the signature word forced to |signature|.
  bool SendWithSignature(const RequestKind& kind, uint32_t input_length, uint32_t signature,
                         uint32_t* returned = nullptr);
  // As Send, for a request whose answer carries |data_bytes| at offset 16: an answer shorter than
  // that fails as a failed status does, with the request's status text.
  bool SendForData(const RequestKind& kind, uint32_t input_length, uint32_t data_bytes,
                   uint32_t* returned = nullptr);
  bool SendForDataWithSignature(const RequestKind& kind, uint32_t input_length, uint32_t data_bytes,
                                uint32_t signature);

 private:
  // False after the failure line when |count| returned bytes do not hold |data_bytes| of data.
  bool AnswerHolds(const RequestKind& kind, uint32_t count, uint32_t data_bytes);

  DeviceIo& device_;
  Console& console_;
  RequestWords words_;
  DriverRequest block_;
  uint32_t last_exchange_error_ = 0;
};
