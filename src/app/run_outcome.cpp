// run_outcome.cpp - choosing the message that says why a run failed.
#include "app/run_outcome.h"

#include <algorithm>
#include <cstdio>

#include "common/exit_codes.h"

namespace {

// The first pair that gave no result about the cable: its test did not finish, or it reported
// the Failed status. Open and shorted pairs are results.
std::optional<std::string> PairWithoutResult(const CableReport& report) {
  constexpr int kStatusFailed = 3;
  char text[96];
  for (const CablePairResult& pair : report.pairs) {
    if (!pair.complete) {
      std::snprintf(text, sizeof text,
                    "Pair %c test incomplete due to 100ms Timeout! Last CblDiagReg = 0x%04x",
                    pair.pair, unsigned{pair.register_value});
      return text;
    }
    if (pair.status == kStatusFailed) {
      std::snprintf(text, sizeof text, "Pair %c test failed: CblDiagReg = 0x%04x, Failures: 0x%02X",
                    pair.pair, unsigned{pair.register_value}, pair.register_value & 0xFFu);
      return text;
    }
  }
  return std::nullopt;
}

// The index of the message that names the failure, or the failure's text when no message does.
std::optional<size_t> ErrorMessage(const ConsoleMessages& messages) {
  for (size_t i = 0; i < messages.marked.size(); ++i) {
    const MarkedMessage& message = messages.marked[i];
    if (message.error && !message.asked && !message.text.empty()) return i;
  }
  return std::nullopt;
}

std::string UnmarkedFailure(const RunResults& results, const ConsoleMessages& messages,
                            int exit_code) {
  if (results.cable) {
    if (std::optional<std::string> pair = PairWithoutResult(*results.cable)) return *pair;
  }
  if (!messages.last_plain_line.empty()) return messages.last_plain_line;
  return ExitCodeMeaning(exit_code);
}

}  // namespace

RunOutcome OutcomeOf(const RunResults& results, const ConsoleMessages& messages, int exit_code) {
  RunOutcome outcome;
  std::optional<size_t> named;
  const FailureCause* cause = nullptr;
  if (exit_code != kExitSuccess && results.cause) {
    cause = &*results.cause;
    outcome.error = cause->error;
  } else if (exit_code != kExitSuccess) {
    named = ErrorMessage(messages);
    outcome.error =
        named ? messages.marked[*named].text : UnmarkedFailure(results, messages, exit_code);
  }
  for (size_t i = 0; i < messages.marked.size(); ++i) {
    const std::string& text = messages.marked[i].text;
    if (i == named || text.empty()) continue;
    if (cause != nullptr &&
        std::find(cause->told.begin(), cause->told.end(), text) != cause->told.end()) {
      continue;
    }
    outcome.warnings.push_back(text);
  }
  return outcome;
}
