// scripted_driver.h - a driver stand-in for the PHY unit tests: answers PHY register reads from a
// table the test fills (by index, changing as time goes on if the test likes) and logs every
// request. Where the order of requests matters less than the registers' values this replaces an
// exact script; it still fails the test on a request with a wrong header or one it does not
// serve (a command with no table, answer or failure set up), with the header in hex.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/request_block.h"
#include "emu/wire_format.h"
#include "platform/device_io.h"
#include "support/request_dump.h"

// Kept apart from the other test doubles of the suites that include it.
namespace phy_fake {

struct LoggedRequest {
  uint32_t command;
  uint32_t signature;
  uint32_t parameter;
  uint32_t data_word;
  uint32_t input_length;
};

class TableDevice : public DeviceIo {
 public:
  // PHY register values; a register missing from the table reads 0.
  std::map<uint32_t, uint16_t> phy;
  // Called before every READ_PHY answer, to let a test change the registers as time goes on.
  std::function<void(uint32_t index)> before_phy_read;
  // PHY registers whose READ_PHY answers with status 2.
  std::set<uint32_t> failing_phy;
  // Ordinals (1 = first) of the READ_PHY requests that answer with status 2.
  std::set<int> failing_phy_reads;
  // Commands answered with this status (1 access failed, 2 other).
  std::map<uint32_t, uint32_t> failing_status;
  // Commands whose DeviceIoControl call fails with this system error.
  std::map<uint32_t, uint32_t> failing_call;
  // Data answers (from offset 16) and returned-bytes counts by command.
  std::map<uint32_t, std::vector<uint8_t>> answers;
  std::map<uint32_t, uint32_t> returned_counts;
  uint32_t phy_returned = 18;
  uint8_t link_mode_reply = 0;

  std::vector<LoggedRequest> log;

  bool Open(const char*, uint32_t*) override { return true; }
  void Close() override {}

  bool Control(uint32_t code, const void* in, uint32_t in_length, void* out, uint32_t,
               uint32_t* returned, uint32_t* error) override {
    DriverRequest request;
    std::memcpy(request.bytes, in, kRequestBlockSize);
    const uint32_t command = request.Get32(kOffsetCommand);
    log.push_back({command, request.Get32(kOffsetSignature), request.Get32(kOffsetParameter),
                   request.Get32(kOffsetData), in_length});
    CheckRequest(code, request.bytes, in_length, command);
    if (auto it = failing_call.find(command); it != failing_call.end()) {
      *error = it->second;
      return false;
    }
    uint32_t status = 0;
    uint32_t count = kRequestBlockSize;
    if (auto it = failing_status.find(command); it != failing_status.end()) status = it->second;
    if (command == kCmdReadPhy) {
      const uint32_t index = request.Get32(kOffsetParameter);
      if (before_phy_read) before_phy_read(index);
      ++phy_read_count_;
      if (failing_phy.count(index) != 0 || failing_phy_reads.count(phy_read_count_) != 0) {
        status = 2;
      }
      // The upper half is noise a 16-bit answer must not pass on.
      request.Put32(kOffsetData, 0xABCD0000u | phy[index]);
      count = phy_returned;
    } else if (command == kCmdSetLinkMode) {
      request.bytes[kOffsetData] = link_mode_reply;
      count = 17;
    } else if (auto it = answers.find(command); it != answers.end()) {
      std::memcpy(request.data(), it->second.data(),
                  std::min<size_t>(it->second.size(), kRequestDataSize));
      count = static_cast<uint32_t>(it->second.size()) + kRequestHeaderSize;
    }
    if (auto it = returned_counts.find(command); it != returned_counts.end()) count = it->second;
    request.Put32(kOffsetAdapterStatus, status);
    std::memcpy(out, request.bytes, kRequestBlockSize);
    *returned = count;
    return true;
  }

  // Only the control code, adapter 0's header and the commands set up here are expected.
  void CheckRequest(uint32_t code, const uint8_t* bytes, uint32_t in_length, uint32_t command) {
    const bool served = command == emu::kReadPhy || command == emu::kWritePhy ||
                        command == emu::kSetLinkMode || answers.count(command) != 0 ||
                        failing_status.count(command) != 0 || failing_call.count(command) != 0;
    const bool header_ok =
        code == emu::kControlCode &&
        emu::Load32(bytes + emu::kFieldSignature) == emu::kSignatureAdapterZero &&
        emu::Load32(bytes + emu::kFieldAdapterStatus) == 0 && in_length > emu::kFieldData &&
        in_length <= emu::kBlockSize;
    if (served && header_ok) return;
    ADD_FAILURE() << "request " << log.size() << " (" << RequestCommandText(command) << ") "
                  << (served ? "has a wrong header" : "is not served by this device")
                  << ", control code " << HexText(code) << ", input length " << in_length << "\n"
                  << RequestHeaderDump(bytes, in_length);
  }

  // The PHY register indices read, in order.
  std::vector<uint32_t> PhyReads() const {
    std::vector<uint32_t> reads;
    for (const LoggedRequest& entry : log) {
      if (entry.command == kCmdReadPhy) reads.push_back(entry.parameter);
    }
    return reads;
  }

 private:
  int phy_read_count_ = 0;
};

}  // namespace phy_fake
