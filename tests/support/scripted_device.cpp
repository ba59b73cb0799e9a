// scripted_device.cpp - checking each request against the script, and the hex dumps of the
// blocks that differ.
#include "support/scripted_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

std::string CommandText(uint32_t command) {
  const char* name = emu::CommandName(command);
  return name != nullptr ? name : "command " + std::to_string(command);
}

// One 16-byte row of |bytes| from |row|; bytes at or past |end| show as "..".
std::string Row(const uint8_t* bytes, size_t row, size_t end) {
  std::string line;
  for (size_t i = row; i < row + 16; ++i) {
    char cell[4];
    if (i < end) {
      std::snprintf(cell, sizeof cell, " %02x", bytes[i]);
    } else {
      std::snprintf(cell, sizeof cell, " ..");
    }
    line += cell;
  }
  return line;
}

// The rows of the expected and the sent block that differ within the first |end| bytes.
std::string DifferingRows(const uint8_t* expected, const uint8_t* sent, size_t end) {
  std::string dump;
  for (size_t row = 0; row < end; row += 16) {
    const size_t row_end = std::min(end, row + 16);
    if (std::memcmp(expected + row, sent + row, row_end - row) == 0) continue;
    char offset[40];
    std::snprintf(offset, sizeof offset, "  %04zx expected", row);
    dump += offset + Row(expected, row, row_end) + "\n";
    std::snprintf(offset, sizeof offset, "  %04zx sent    ", row);
    dump += offset + Row(sent, row, row_end) + "\n";
  }
  return dump;
}

std::string Header(const uint8_t* block, size_t available) {
  return "  0000 block   " + Row(block, 0, std::min<size_t>(available, 16)) + "\n";
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

void ScriptedDevice::Expect(const ExpectedRequest& request, ScriptedAnswer answer) {
  script_.push_back({request, std::move(answer)});
}

void ScriptedDevice::ExpectScriptDone() {
  for (const Step& step : script_) {
    ADD_FAILURE() << "expected request never sent: "
                  << CommandText(emu::Load32(step.request.block() + emu::kFieldCommand)) << "\n"
                  << Header(step.request.block(), emu::kBlockSize);
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
    ADD_FAILURE() << "request " << requests_ << " (" << CommandText(command)
                  << ") is past the end of the script\n"
                  << Header(sent, available);
    *error = emu::kErrorInvalidFunction;
    return false;
  }
  const Step step = std::move(script_.front());
  script_.pop_front();

  const ExpectedRequest& expected = step.request;
  std::string differences;
  if (code != expected.code()) {
    differences += "  control code " + Hex(code) + ", expected " + Hex(expected.code()) + "\n";
  }
  if (in_length != expected.in_length()) {
    differences += "  input length " + std::to_string(in_length) + ", expected " +
                   std::to_string(expected.in_length()) + "\n";
  }
  // The header always counts; of the data, the bytes the expectation sets.
  const size_t compared =
      std::min(available, static_cast<size_t>(emu::kFieldData) + expected.data_set());
  if (compared < emu::kFieldData + expected.data_set()) {
    differences += "  the input ends before the expected bytes\n";
  }
  differences += DifferingRows(expected.block(), sent, compared);
  if (!differences.empty()) {
    ADD_FAILURE() << "request " << requests_ << " (" << CommandText(command)
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
