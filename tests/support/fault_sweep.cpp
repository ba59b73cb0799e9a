// fault_sweep.cpp - the fault sweep: one clean run to learn the requests, then each request
// faulted alone.
#include "support/fault_sweep.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "support/request_faults.h"
#include "support/run_program.h"

namespace {

constexpr uint32_t kSweepError = 31;  // the error PlanRequestFault fails a control call with

// Name, kind of entry, permissions and contents of every entry of the directory.
using Snapshot = std::map<std::string, std::string>;

Snapshot FilesOf(const std::string& directory) {
  namespace fs = std::filesystem;
  Snapshot files;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    const fs::file_status status = fs::symlink_status(entry.path());
    std::string description = std::to_string(static_cast<int>(status.type())) + " " +
                              std::to_string(static_cast<int>(status.permissions())) + " ";
    if (fs::is_symlink(status)) {
      description += fs::read_symlink(entry.path()).string();
    } else if (fs::is_regular_file(status)) {
      description += ReadFileText(entry.path().string());
    }
    files[entry.path().filename().string()] = description;
  }
  return files;
}

struct Outcome {
  int exit_code;
  std::string output;
  std::vector<uint8_t> board;
  Snapshot files;
};

Outcome RunOnce(EmuBench& bench, const SweepFlow& flow) {
  bench.TakeOutput();
  Outcome outcome;
  outcome.exit_code = bench.Run(flow.arguments);
  outcome.output = bench.TakeOutput();
  outcome.board = bench.Eeprom();
  outcome.files = FilesOf(flow.work_dir);
  return outcome;
}

std::string ExpectedMessage(uint32_t command, RequestFault kind) {
  switch (kind) {
    case RequestFault::kStatus:
      return "ERROR: " + RequestFailureLine(command, "Access failed");
    case RequestFault::kError:
      return "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : " +
             std::to_string(kSweepError) + "\n";
    case RequestFault::kNoEffect:
    case RequestFault::kDeadFromHere:
      return "ERROR: ";
  }
  return "";
}

}  // namespace

std::string RequestFailureLine(uint32_t command, const std::string& status_text) {
  static const std::map<uint32_t, std::string> kLines = {
      {1, "E2P_READ_BYTE failed!    status:"},       {2, "E2P_WRITE_BYTE failed!    status:"},
      {3, "E2P_READ_BLOCK failed!    status:"},      {4, "E2P_WRITE_BLOCK failed!    status:"},
      {5, "E2P_COMMAND failed!    status:"},         {7, "GET_DRIVER_VERSION failed!    status:"},
      {8, "READ_REGISTER failed !    status:"},      {9, "WRITE_REGISTER failed !    status:"},
      {10, "READ_PHY failed !    status:"},          {11, "WRITE_PHY failed !    status:"},
      {12, "READ_TXRX_STATS failed !    status:"},   {15, "SET_LINK_MODE failed !    status:"},
      {16, "GET_DRIVER_VERSION failed!    status:"}, {17, "GET_DRIVER_VERSION failed!    status:"},
      {18, "GET_DRIVER_VERSION failed!    status:"}, {19, "GET_DRIVER_VERSION failed!    status:"},
      {20, "GET_DRIVER_VERSION failed!    status:"}, {23, "OTP_READ_BLOCK failed! status:"},
      {24, "OTP_WRITE_BLOCK failed! status:"},       {25, "OTP_CONFIGURE failed! status:"},
      {26, "SET_LINK_STATE failed !    status:"},    {28, "READ_PCICFG failed !    status:"},
      {29, "WRITE_PCICFG failed !    status:"},      {30, "READ_PCIEPHY failed !    status:"},
      {31, "WRITE_PCIEPHY failed !    status:"},
  };
  const auto line = kLines.find(command);
  return line == kLines.end() ? "" : line->second + status_text + "\n";
}

int SweepRequestFaults(EmuBench& bench, const SweepFlow& flow) {
  flow.prepare();
  const std::vector<uint8_t> board_before = bench.Eeprom();
  const Snapshot files_before = FilesOf(flow.work_dir);
  bench.ClearLog();
  const Outcome clean = RunOnce(bench, flow);
  EXPECT_EQ(clean.exit_code, 0) << clean.output;
  const std::vector<uint32_t> requests = LoggedCommands(bench);
  EXPECT_FALSE(requests.empty());

  int runs = 0;
  for (size_t position = 0; position < requests.size(); ++position) {
    const uint32_t command = requests[position];
    for (const RequestFault kind : kRequestFaults) {
      SCOPED_TRACE("request " + std::to_string(position) + " (command " + std::to_string(command) +
                   "), " + RequestFaultName(kind));
      flow.prepare();
      bench.Update([](emu::AdapterState& state) { state.faults.clear(); });
      PlanRequestFault(bench, requests, position, kind);
      const Outcome run = RunOnce(bench, flow);
      ++runs;
      if (run.exit_code == 0) {
        // A fault the flow may live with: then nothing may differ from the clean run.
        EXPECT_NE(kind, RequestFault::kStatus) << run.output;
        EXPECT_NE(kind, RequestFault::kError) << run.output;
        EXPECT_EQ(run.output, clean.output);
        EXPECT_EQ(run.board, clean.board);
        EXPECT_EQ(run.files, clean.files);
        continue;
      }
      EXPECT_NE(run.output.find(ExpectedMessage(command, kind)), std::string::npos) << run.output;
      EXPECT_EQ(run.exit_code, flow.exit_codes.at(command));
      EXPECT_TRUE(run.board == board_before || run.board == clean.board);
      // An identity that may have reached the board is used up: the files say so as the clean
      // run's do. One that cannot have reached it may be given back.
      if (run.board != board_before) {
        EXPECT_EQ(run.files, clean.files);
      } else {
        EXPECT_TRUE(run.files == files_before || run.files == clean.files);
      }
    }
  }
  return runs;
}
