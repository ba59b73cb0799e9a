// kill_sweep_e2e_test.cpp - a station killed at every system call of a programming run with -s and
// -t: whatever point it dies at, the next station's board gets an identity of its own, the INI file
// still holds a consistent next pair, and the killed board, programmed again, ends with its own
// identity or a new one. One identity never reaches two boards. Kills that leave the same files
// as an earlier one are followed up once: the runs after them cannot tell them apart.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "emu/adapter_state.h"
#include "emu/state_file.h"
#include "support/run_program.h"
#include "support/syscall_kill.h"
#include "support/temp_dir.h"

namespace {

constexpr char kExampleIni[] = QNT_SOURCE_DIR "/examples/board.ini";
// The example board's serial-number descriptor (its string table points at word 0x8A): length
// byte, type byte, then 12 UTF-16LE characters.
constexpr size_t kSerialDescriptor = 2 * 0x8A;
constexpr size_t kSerialCharacters = 12;
constexpr int kMaxSteps = 4;

struct Flow {
  const char* name;
  std::vector<std::string> arguments;  // without -X
  bool otp;
};

const Flow kEepromFlow{"EEPROM", {"-w", "-i", "board.ini", "-s", "-t", "rec.csv"}, false};
const Flow kOtpFlow{
    "OTP", {"-O", "-w", "-i", "board.ini", "-s", "-t", "rec.csv", "-C", "YES"}, true};

std::string StepMac(int step) {
  char text[18];
  std::snprintf(text, sizeof text, "00:11:22:33:44:%02X", 0x55 + step);
  return text;
}

std::string StepSerial(int step) {
  char text[13];
  std::snprintf(text, sizeof text, "%012d", step + 1);
  return text;
}

// The example file after |step| boards: only the two current values differ.
std::string IniAtStep(int step) {
  std::string text = ReadFileText(kExampleIni);
  text.replace(text.find("00:11:22:33:44:55"), 17, StepMac(step));
  text.replace(text.find("000000000001"), 12, StepSerial(step));
  return text;
}

// The step whose pair the file holds, or -1 when it is cut, mixed or otherwise changed.
int IniStep(const std::string& text) {
  for (int step = 0; step <= kMaxSteps; ++step) {
    if (text == IniAtStep(step)) return step;
  }
  return -1;
}

// What a board's memory holds where the example image keeps its identity; a field is empty
// where the memory is still blank.
struct HeldIdentity {
  std::string mac;
  std::string serial;
  bool Blank() const { return mac.empty() && serial.empty(); }
  bool operator==(const HeldIdentity&) const = default;
};

std::ostream& operator<<(std::ostream& out, const HeldIdentity& held) {
  return out << "MAC [" << held.mac << "] serial [" << held.serial << "]";
}

bool AllBlank(const uint8_t* bytes, size_t count, uint8_t blank) {
  for (size_t i = 0; i < count; ++i) {
    if (bytes[i] != blank) return false;
  }
  return true;
}

HeldIdentity IdentityOn(const std::string& emu_dir, uint32_t adapter, bool otp) {
  emu::AdapterState state;
  std::string error;
  if (emu::LoadAdapter(emu_dir, adapter, &state, &error) != 0) return {"?" + error, "?"};
  const uint8_t* memory = otp ? state.otp.data() : state.eeprom.data();
  const uint8_t blank = otp ? 0x00 : 0xFF;
  HeldIdentity held;
  if (!AllBlank(memory + 1, 6, blank)) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", memory[1], memory[2],
                  memory[3], memory[4], memory[5], memory[6]);
    held.mac = text;
  }
  const uint8_t* descriptor = memory + kSerialDescriptor;
  if (!AllBlank(descriptor, 2 + 2 * kSerialCharacters, blank)) {
    held.serial = descriptor[0] == 2 + 2 * kSerialCharacters && descriptor[1] == 3 ? "" : "!";
    for (size_t i = 0; i < kSerialCharacters; ++i) {
      const uint8_t* unit = descriptor + 2 + 2 * i;
      held.serial += unit[1] == 0 ? static_cast<char>(unit[0]) : '?';
    }
  }
  return held;
}

struct RecordLine {
  std::string adapter;
  std::string mac;
  std::string result;
  bool written = false;
};

// The record's lines after its header. Only the first columns are read (they never need quotes
// here); a whole line ends in the record's form, 3, and its verified column, which a line cut
// short lacks.
std::vector<RecordLine> RecordLines(const std::string& record) {
  std::vector<RecordLine> lines;
  std::istringstream text(record);
  std::string line;
  std::getline(text, line);
  while (std::getline(text, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    if (fields.size() != 16 || fields[14] != "3" || (fields[15] != "yes" && fields[15] != "no")) {
      lines.push_back({.result = "malformed: " + line});
      continue;
    }
    lines.push_back({fields[1], fields[4], fields[9], fields[10] == "yes"});
  }
  return lines;
}

// MAC addresses that reservation lines and lines of written boards give to two adapters.
std::vector<std::string> MacsOnTwoBoards(const std::vector<RecordLine>& lines) {
  std::map<std::string, std::set<std::string>> adapters;
  for (const RecordLine& line : lines) {
    if (line.result == "reserved" || line.written) adapters[line.mac].insert(line.adapter);
  }
  std::vector<std::string> shared;
  for (const auto& [mac, boards] : adapters) {
    if (boards.size() > 1) shared.push_back(mac);
  }
  return shared;
}

// Whether a run that wrote |mac| to its board ended with 0.
bool FinishedOn(const std::vector<RecordLine>& lines, const std::string& mac) {
  for (const RecordLine& line : lines) {
    if (line.mac == mac && line.result == "0" && line.written) return true;
  }
  return false;
}

// One kill: two blank boards, the example INI file and no record, in a directory of their own.
class Trial {
 public:
  explicit Trial(const Flow& flow) : flow_(flow) {
    std::filesystem::create_directories(emu_dir_);
    std::filesystem::create_directories(work_dir_);
    for (uint32_t adapter : {0u, 1u}) emu::SaveAdapter(emu_dir_, emu::MakeAdapter(adapter, {}));
    WriteFileText(work_dir_ + "/board.ini", ReadFileText(kExampleIni));
  }

  SyscallKillCommand Command() const {
    SyscallKillCommand command;
    command.argv = {QNT_TOOL_PATH, "-X", "0"};
    command.argv.insert(command.argv.end(), flow_.arguments.begin(), flow_.arguments.end());
    command.environment = {"QNT5200_EMU_DIR=" + emu_dir_};
    command.work_dir = work_dir_;
    command.watch_dir = root_.path().string();
    return command;
  }

  ProgramRun Program(uint32_t adapter) const {
    std::string arguments = "-X " + std::to_string(adapter);
    for (const std::string& word : flow_.arguments) arguments += " " + word;
    return RunUtility(emu_dir_, arguments, work_dir_);
  }

  HeldIdentity Board(uint32_t adapter) const { return IdentityOn(emu_dir_, adapter, flow_.otp); }
  // Everything a later run reads: both boards, the INI file and the record, its times left out.
  // Runs after two kills that left the same files go the same way.
  std::string Files() const {
    std::string files;
    for (const std::string& path :
         {emu_dir_ + "/adapter0.state", emu_dir_ + "/adapter1.state", work_dir_ + "/board.ini"}) {
      files += (std::filesystem::exists(path) ? "+" : "-") + ReadFileText(path) + '\0';
    }
    files += std::filesystem::exists(work_dir_ + "/rec.csv") ? "+" : "-";
    std::istringstream record(Record());
    for (std::string line; std::getline(record, line);) {
      const size_t time_end = line.find(',');
      files += (time_end == std::string::npos ? line : line.substr(time_end)) + '\n';
    }
    return files;
  }
  bool otp() const { return flow_.otp; }
  std::string Ini() const { return ReadFileText(work_dir_ + "/board.ini"); }
  std::string Record() const { return ReadFileText(work_dir_ + "/rec.csv"); }

 private:
  const Flow& flow_;
  TempDir root_;
  const std::string emu_dir_ = root_.File("emu");
  const std::string work_dir_ = root_.File("work");
};

// The rules after a kill, the next station's run and the killed board's rework; each broken
// rule is one line.
std::vector<std::string> CheckAfterKill(const Trial& trial) {
  std::vector<std::string> broken;
  auto check = [&broken](bool kept, const std::string& rule) {
    if (!kept) broken.push_back(rule);
  };
  const ProgramRun next = trial.Program(1);
  check(next.exit_code == 0,
        "board 1 ended with " + std::to_string(next.exit_code) + ":\n" + next.output);
  check(IniStep(trial.Ini()) >= 0, "after board 1 the INI file is cut or inconsistent");
  const HeldIdentity killed = trial.Board(0);
  const HeldIdentity other = trial.Board(1);
  std::ostringstream boards;
  boards << "board 0 " << killed << ", board 1 " << other;
  check(killed.mac.empty() || killed.mac != other.mac, "the same MAC address: " + boards.str());
  check(killed.serial.empty() || killed.serial != other.serial,
        "the same serial number: " + boards.str());

  // An OTP that holds a finished board's image takes no other: its rework is refused, and
  // must leave the board and the INI file as they were.
  const bool full =
      trial.otp() && !killed.mac.empty() && FinishedOn(RecordLines(trial.Record()), killed.mac);
  const std::string ini = trial.Ini();
  const ProgramRun rework = trial.Program(0);
  check(full ? rework.exit_code != 0 && trial.Ini() == ini : rework.exit_code == 0,
        "the rework of board 0 ended with " + std::to_string(rework.exit_code) + ":\n" +
            rework.output);
  const HeldIdentity reworked = trial.Board(0);
  const bool kept = !killed.Blank() && reworked == killed;
  const bool third = reworked.mac != other.mac && reworked.serial != other.serial &&
                     reworked.mac != killed.mac && reworked.serial != killed.serial;
  std::ostringstream after;
  after << "board 0 held " << killed << ", then " << reworked << "; board 1 " << other;
  check(!reworked.Blank() && (kept || third), "the rework: " + after.str());
  check(IniStep(trial.Ini()) >= 0, "after the rework the INI file is cut or inconsistent");
  const std::vector<RecordLine> lines = RecordLines(trial.Record());
  for (const RecordLine& line : lines) {
    check(line.result.rfind("malformed", 0) != 0, "the record holds a cut line: " + line.result);
  }
  for (const std::string& mac : MacsOnTwoBoards(lines)) {
    broken.push_back("the record gives " + mac + " to two boards:\n" + trial.Record());
  }
  return broken;
}

// Kills the flow's run on board 0 at every counted system call in turn.
void Sweep(const Flow& flow) {
  const SyscallKillRun whole = RunKilledAtSyscall(Trial(flow).Command(), 0);
  if (!whole.traced) GTEST_SKIP() << "the run cannot be traced: " << whole.why;
  ASSERT_EQ(whole.exit_code, 0) << "an untouched run fails";
  ASSERT_GT(whole.syscalls, 0);
  std::set<std::string> checked;  // the files kills left, each checked once
  for (long n = 1; n <= whole.syscalls; ++n) {
    const Trial trial(flow);
    SyscallKillCommand command = trial.Command();
    command.max_syscalls = 4 * whole.syscalls;
    const SyscallKillRun killed = RunKilledAtSyscall(command, n);
    ASSERT_TRUE(killed.traced) << killed.why;
    // A run that made fewer calls this time ends on its own, and must succeed.
    if (killed.runaway || (!killed.killed && killed.exit_code != 0)) {
      ADD_FAILURE() << flow.name << ": the run to be killed at system call " << n
                    << (killed.runaway ? " ran away" : " ended with ") << killed.exit_code;
    }
    if (!checked.insert(trial.Files()).second) continue;
    for (const std::string& rule : CheckAfterKill(trial)) {
      ADD_FAILURE() << flow.name << ": killed at system call " << n << " (nr "
                    << killed.last_syscall << "): " << rule;
    }
  }
  std::printf("%s: %ld system calls swept, %zu different sets of files left\n", flow.name,
              whole.syscalls, checked.size());
}

TEST(KillSweep, EepromRunKilledAtAnySystemCallLeavesEveryIdentityOnOneBoard) { Sweep(kEepromFlow); }

TEST(KillSweep, OtpRunKilledAtAnySystemCallLeavesEveryIdentityOnOneBoard) { Sweep(kOtpFlow); }

}  // namespace
