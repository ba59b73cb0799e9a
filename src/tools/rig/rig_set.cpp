// rig_set.cpp - starting, following and telling one set of runs.
#include "tools/rig/rig_set.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>

#include "format/utc_time.h"
#include "tools/rig/rig_table.h"
#include "tools/rig/rig_verdict.h"

namespace {

// How often the rig looks at the logs while no run ends: a table an operator watches.
constexpr uint32_t kFollowIntervalMs = 100;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// What |path| gained past |*offset|; the offset moves on.
std::string NewText(const std::string& path, uint64_t* offset) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "";
  std::string text;
  if (std::fseek(file, static_cast<long>(*offset), SEEK_SET) == 0) {
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, count);
  }
  std::fclose(file);
  *offset += text.size();
  return text;
}

bool AsksForDocument(const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    if (word == "-a") return true;
  }
  return false;
}

std::string WholeFile(const std::string& path) {
  uint64_t offset = 0;
  return NewText(path, &offset);
}

// One set under way: the slots, their followers and how the table was last drawn.
class SetRun {
 public:
  SetRun(const RigPlan& plan, const std::string& folder, RigServices& services)
      : plan_(plan), services_(services) {
    result_.folder = folder;
    for (const uint32_t adapter : plan.adapters) {
      SlotState slot;
      slot.adapter = adapter;
      slot.chip = plan.census.chips.size() > adapter ? plan.census.chips[adapter] : "";
      result_.slots.push_back(slot);
    }
    result_.documents.assign(plan.adapters.size(), "");
    followers_.resize(plan.adapters.size());
    offsets_.assign(plan.adapters.size(), 0);
    starts_.assign(plan.adapters.size(), 0);
  }

  SetResult Run() {
    for (size_t index = 0; index < result_.slots.size(); ++index) Start(index);
    Draw(true);
    bool told_interrupt = false;
    while (services_.children.Running() > 0) {
      ChildEnd end;
      bool changed = false;
      if (services_.children.WaitAny(kFollowIntervalMs, &end)) changed = End(end);
      changed = Follow() || changed;
      if (services_.interrupt.Requested() && !told_interrupt) {
        told_interrupt = true;
        RigSay(plan_, services_,
               "Ctrl+C: no further run is started; the " +
                   std::to_string(services_.children.Running()) +
                   " running ones are left to end\n");
        drawn_lines_ = 0;
      }
      Draw(changed);
    }
    return result_;
  }

 private:
  std::string LogPath(size_t index) const {
    return result_.folder + "/adapter-" + std::to_string(result_.slots[index].adapter) + ".log";
  }
  std::string DocumentPath(size_t index) const {
    return result_.folder + "/adapter-" + std::to_string(result_.slots[index].adapter) + ".json";
  }

  void Start(size_t index) {
    SlotState& slot = result_.slots[index];
    if (!IsServed(slot.adapter)) {
      slot.stage = SlotStage::kRefused;
      slot.exit_code = kRigNoRun;
      slot.why = "the driver does not serve this adapter";
      RigSay(plan_, services_,
             std::string("Adapter ") + std::to_string(slot.adapter) +
                 ": the driver does not serve it; no run is started for it\n");
      return;
    }
    if (services_.interrupt.Requested()) {
      slot.stage = SlotStage::kRefused;
      slot.exit_code = kRigNoRun;
      slot.why = "not started: Ctrl+C";
      return;
    }
    // Each run writes its results document to a file of its own: -a goes first, as -G and -k
    // end the command line, unless the options ask for it themselves.
    std::vector<std::string> words;
    if (!AsksForDocument(plan_.run_words)) words.push_back("-a");
    words.push_back("-X");
    words.push_back(std::to_string(slot.adapter));
    words.insert(words.end(), plan_.run_words.begin(), plan_.run_words.end());
    ChildId child = 0;
    std::string error;
    if (!services_.children.Start(plan_.program, words, {LogPath(index), DocumentPath(index)},
                                  &child, &error)) {
      slot.stage = SlotStage::kRefused;
      slot.exit_code = kRigNoRun;
      slot.why = "not started";
      RigSay(plan_, services_,
             std::string("Adapter ") + std::to_string(slot.adapter) +
                 ": the run could not be started: " + error + "\n");
      return;
    }
    slot.started = true;
    slot.stage = SlotStage::kChecking;
    starts_[index] = NowMs();
    by_child_[child] = index;
  }

  bool IsServed(uint32_t adapter) const {
    for (const uint32_t served : plan_.census.served) {
      if (served == adapter) return true;
    }
    return false;
  }

  bool End(const ChildEnd& end) {
    const auto found = by_child_.find(end.child);
    if (found == by_child_.end()) return false;
    const size_t index = found->second;
    SlotState& slot = result_.slots[index];
    followers_[index].Feed(NewText(LogPath(index), &offsets_[index]), &slot);
    slot.duration_ms = NowMs() - starts_[index];
    result_.documents[index] = WholeFile(DocumentPath(index));
    SettleSlot(end.exit_code, end.signal, result_.documents[index], &slot);
    Changed(slot);
    return true;
  }

  bool Follow() {
    bool changed = false;
    const int64_t now = NowMs();
    for (size_t index = 0; index < result_.slots.size(); ++index) {
      SlotState& slot = result_.slots[index];
      if (!slot.started || slot.ended) continue;
      slot.duration_ms = now - starts_[index];
      if (followers_[index].Feed(NewText(LogPath(index), &offsets_[index]), &slot)) {
        Changed(slot);
        changed = true;
      }
    }
    return changed;
  }

  // Without a live table, each change of stage is a line of its own.
  void Changed(const SlotState& slot) {
    if (!plan_.live_table) RigSay(plan_, services_, ChangeLine(slot));
  }

  // The live table, drawn over itself; times move on at every look.
  void Draw(bool changed) {
    if (!plan_.live_table) {
      if (!started_told_) {
        started_told_ = true;
        for (const SlotState& slot : result_.slots) {
          if (slot.started) RigSay(plan_, services_, ChangeLine(slot));
        }
      }
      return;
    }
    (void)changed;
    if (drawn_lines_ > 0) services_.cursor.Up(drawn_lines_);
    const std::string table = LiveTable(result_.slots);
    RigSay(plan_, services_, table);
    drawn_lines_ = static_cast<int>(result_.slots.size()) + 1;
  }

  const RigPlan& plan_;
  RigServices& services_;
  SetResult result_;
  std::vector<LogFollower> followers_;
  std::vector<uint64_t> offsets_;
  std::vector<int64_t> starts_;
  std::map<ChildId, size_t> by_child_;
  int drawn_lines_ = 0;
  bool started_told_ = false;
};

std::string FolderStamp() {
  const int64_t seconds = std::chrono::duration_cast<std::chrono::seconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
  std::string text = UtcTimeText(seconds);  // YYYY-MM-DDTHH:MM:SSZ
  std::string stamp;
  for (const char c : text) {
    if (c >= '0' && c <= '9') stamp += c;
    if (c == 'T') stamp += '-';
  }
  return "rig-" + stamp;
}

}  // namespace

void RigSay(const RigPlan& plan, RigServices& services, const std::string& text) {
  if (plan.text_to_error) {
    services.console.WriteDiagnostic(text.data(), text.size());
  } else {
    services.console.Write(text.data(), text.size());
  }
}

bool MakeSetFolder(std::string* folder, std::string* why) {
  const std::string stamp = FolderStamp();
  for (int attempt = 1; attempt < 100; ++attempt) {
    const std::string name = attempt == 1 ? stamp : stamp + "-" + std::to_string(attempt);
    std::error_code error;
    if (std::filesystem::create_directory(name, error)) {
      *folder = name;
      return true;
    }
    if (error) {
      *why = name + ": " + error.message();
      return false;
    }
  }
  *why = stamp + ": every name is taken";
  return false;
}

SetResult RunRigSet(const RigPlan& plan, const std::string& folder, RigServices& services) {
  SetRun run(plan, folder, services);
  return run.Run();
}
