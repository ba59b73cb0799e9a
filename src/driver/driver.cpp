// driver.cpp - the common send-and-check sequence of every driver request.
#include "driver/driver.h"

#include <cstring>

namespace {

const char* StatusName(uint32_t status, StatusText text) {
  if (status == kStatusAccessFailed) return "Access failed";
  return text == StatusText::kAdapterBusy ? "Adapter Busy" : "Other Error";
}

}  // namespace

DriverRequest& Driver::Begin() {
  std::memset(block_.data(), 0, kRequestDataSize);
  return block_;
}

bool Driver::Send(const RequestKind& kind, uint32_t input_length, uint32_t* returned) {
  return SendWithSignature(kind, input_length, words_.signature, returned);
}

bool Driver::SendWithSignature(const RequestKind& kind, uint32_t input_length, uint32_t signature,
                               uint32_t* returned) {
  block_.Put32(kOffsetSignature, signature);
  block_.Put32(kOffsetAdapterStatus, words_.adapter_index);
  block_.Put32(kOffsetCommand, kind.command);

  uint32_t count = 0;
  uint32_t error = 0;
  const bool exchanged = device_.Control(kIoctlQnt5200MpAccess, block_.bytes, input_length,
                                         block_.bytes, kRequestBlockSize, &count, &error);
  last_exchange_error_ = exchanged ? 0 : error;
  if (!exchanged) {
    console_.Error("Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : %d\n",
                   static_cast<int>(error));
    return false;
  }
  const uint32_t status = block_.Get32(kOffsetAdapterStatus);
  if (status != kStatusSuccess) {
    console_.Error(kind.failure_format, StatusName(status, kind.status_text));
    return false;
  }
  if (returned != nullptr) *returned = count;
  return true;
}

bool Driver::AnswerHolds(const RequestKind& kind, uint32_t count, uint32_t data_bytes) {
  if (count >= kRequestHeaderSize + data_bytes) return true;
  // A short answer fails as a status other than 1 does, with the request's status text.
  console_.Error(kind.failure_format, StatusName(kStatusAccessFailed + 1, kind.status_text));
  return false;
}

bool Driver::SendForData(const RequestKind& kind, uint32_t input_length, uint32_t data_bytes,
                         uint32_t* returned) {
  uint32_t count = 0;
  if (!Send(kind, input_length, &count) || !AnswerHolds(kind, count, data_bytes)) return false;
  if (returned != nullptr) *returned = count;
  return true;
}

bool Driver::SendForDataWithSignature(const RequestKind& kind, uint32_t input_length,
                                      uint32_t data_bytes, uint32_t signature) {
  uint32_t count = 0;
  return SendWithSignature(kind, input_length, signature, &count) &&
         AnswerHolds(kind, count, data_bytes);
}
