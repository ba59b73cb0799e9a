// scripted_device.cpp - checking each request against the script, and the hex dumps of the
// blocks that differ.
#include "support/scripted_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "support/request_dump.h"

namespace {

// How a request differs from its expectation, or "" when it matches. The header always counts;
// of the data, the bytes the expectation sets.
std::string Differences(const ExpectedRequest& expected, uint32_t code, const uint8_t* sent,
                        uint32_t in_length) {
  if (expected.any()) return "";
  std::string differences;
  if (code != expected.code()) {
    differences +=
        "  control code " + HexText(code) + ", expected " + HexText(expected.code()) + "\n";
  }
  if (in_length != expected.in_length()) {
    differences += "  input length " + std::to_string(in_length) + ", expected " +
                   std::to_string(expected.in_length()) + "\n";
  }
  const size_t wanted = emu::kFieldData + expected.data_set();
  const size_t compared =
      std::min({static_cast<size_t>(in_length), wanted, static_cast<size_t>(emu::kBlockSize)});
  if (compared < wanted) differences += "  the input ends before the expected bytes\n";
  return differences + DifferingRequestRows(expected.block(), sent, compared);
}

}  // namespace

ScriptedDevice::~ScriptedDevice() { ExpectScriptDone(); }

bool ScriptedDevice::Open(const char*, uint32_t* error) {
  if (open_error_ != 0) {
    *error = open_error_;
    return false;
  }
  return true;
}

void ScriptedDevice::Expect(const ExpectedRequest& request, ScriptedAnswer answer,
                            std::source_location where) {
  script_.push_back({request, std::move(answer), where});
}

void ScriptedDevice::ExpectScriptDone() {
  for (const Step& step : script_) {
    ADD_FAILURE_AT(step.where.file_name(), static_cast<int>(step.where.line()))
        << "expected request never sent: "
        << RequestCommandText(emu::Load32(step.request.block() + emu::kFieldCommand)) << "\n"
        << RequestHeaderDump(step.request.block(), emu::kBlockSize);
  }
  script_.clear();
}

bool ScriptedDevice::Control(uint32_t code, const void* in, uint32_t in_length, void* out,
                             uint32_t out_length, uint32_t* returned, uint32_t* error) {
  ++requests_;
  const auto* sent = static_cast<const uint8_t*>(in);
  const size_t available = std::min<size_t>(in_length, emu::kBlockSize);
  const uint32_t command =
      available >= emu::kFieldCommand + 4 ? emu::Load32(sent + emu::kFieldCommand) : 0;
  if (script_.empty()) {
    ADD_FAILURE() << "request " << requests_ << " (" << RequestCommandText(command)
                  << ") is past the end of the script\n"
                  << RequestHeaderDump(sent, available);
    *error = emu::kErrorInvalidFunction;
    return false;
  }
  const Step step = std::move(script_.front());
  script_.pop_front();

  const std::string differences = Differences(step.request, code, sent, in_length);
  if (!differences.empty()) {
    ADD_FAILURE_AT(step.where.file_name(), static_cast<int>(step.where.line()))
        << "request " << requests_ << " (" << RequestCommandText(command)
        << ") differs from its expectation:\n"
        << differences;
  }

  const ScriptedAnswer& answer = step.answer;
  if (answer.error != 0) {
    *error = answer.error;
    return false;
  }
  // The driver answers in the same block: the request comes back with status and data.
  auto* block = static_cast<uint8_t*>(out);
  if (out != in) std::memcpy(block, sent, std::min<size_t>(available, out_length));
  emu::Store32(block + emu::kFieldAdapterStatus, answer.status);
  if (!answer.data.empty()) {
    std::memcpy(block + emu::kFieldData, answer.data.data(),
                std::min<size_t>(answer.data.size(), out_length - emu::kFieldData));
  }
  *returned = answer.returned;
  return true;
}
