// record_report.cpp - the summary and the check as lines of text.
#include "tools/record/record_report.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "common/exit_codes.h"

namespace {

// printf onto the end of |text|.
void Append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& text, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    text.append(buffer.data(), static_cast<size_t>(length));
  }
  va_end(again);
}

int Total(const std::map<int, int>& runs) {
  int total = 0;
  for (const auto& [code, count] : runs) total += count;
  return total;
}

void AppendRuns(std::string& text, const char* what, const std::map<int, int>& runs) {
  Append(text, "%s: %d\n", what, Total(runs));
  for (const auto& [code, count] : runs) {
    Append(text, "  exit code %d, %s: %d\n", code, ExitCodeMeaning(code), count);
  }
}

}  // namespace

const char* PrintedStation(const std::string& station) {
  return station.empty() ? "(no station named)" : station.c_str();
}

namespace {

const char* Dashed(const std::string& text) { return text.empty() ? "-" : text.c_str(); }

void AppendUsedUp(std::string& text, const std::vector<RecordedOwner>& used_up) {
  Append(text, "Identities used up with no programmed board: %d\n",
         static_cast<int>(used_up.size()));
  for (const RecordedOwner& owner : used_up) {
    Append(text, "  line %d: MAC address %s, serial number %s: ", owner.line,
           Dashed(owner.mac_address), Dashed(owner.serial_number));
    if (owner.use == IdentityUse::kUnfinished) {
      Append(text, "outcome unknown\n");
    } else {
      Append(text, "exit code %d, %s\n", owner.result, ExitCodeMeaning(owner.result));
    }
  }
}

}  // namespace

std::string RateText(const StationRate& rate) {
  std::string text;
  Append(text, "%d board%s", rate.boards, rate.boards == 1 ? "" : "s");
  if (!rate.timed) {
    Append(text, ", no readable time");
    return text;
  }
  const auto seconds = static_cast<int64_t>(std::llround(rate.span_seconds));
  Append(text, " in %" PRId64 ":%02d:%02d", seconds / 3600, static_cast<int>(seconds / 60 % 60),
         static_cast<int>(seconds % 60));
  if (const auto per_hour = rate.BoardsPerHour()) {
    Append(text, ", %.1f per hour", *per_hour);
  } else {
    Append(text, ", too short a span to measure");
  }
  return text;
}

std::string RangeText(const std::string& file, const char* what, const char* plural,
                      const IdentityRange& range) {
  std::string text;
  if (!range.present) {
    Append(text, "%s: no %s", file.c_str(), what);
  } else if (range.increment <= 0) {
    Append(text, "%s: %s %s on every board (it does not step)", file.c_str(), what,
           range.current.c_str());
  } else if (!range.left) {
    Append(text, "%s: the %s left cannot be counted from %s to %s", file.c_str(), plural,
           range.current.c_str(), range.maximum.c_str());
  } else {
    Append(text, "%s: %" PRIu64 " %s left, from %s%s%s, step %d", file.c_str(), *range.left, plural,
           range.current.c_str(), range.maximum.empty() ? "" : " up to ", range.maximum.c_str(),
           range.increment);
  }
  return text;
}

bool MacUsed(const RecordSummary& summary, const std::string& mac) {
  // Canonical addresses compare as their numbers do.
  return std::any_of(
      summary.macs_used.begin(), summary.macs_used.end(),
      [&](const MacRange& range) { return range.first <= mac && mac <= range.last; });
}

std::string SummaryText(const std::string& record_name, const RecordSummary& summary,
                        const std::vector<IniRanges>& inis) {
  std::string text;
  Append(text, "Record %s: %d lines, %d unreadable\n", record_name.c_str(), summary.lines,
         static_cast<int>(summary.malformed_lines.size()));
  Append(text, "Boards programmed: %d\n", summary.programmed);
  AppendRuns(text, "Failed runs", summary.failures);
  AppendRuns(text, "Refused runs", summary.refusals);
  Append(text, "Runs of unknown outcome: %d\n", summary.unfinished);
  Append(text, "Boards per hour, from the start of the first run to the last line:\n");
  for (const StationRate& station : summary.stations) {
    Append(text, "  %s: %s\n", PrintedStation(station.station), RateText(station).c_str());
  }
  Append(text, "  all stations: %s\n", RateText(summary.overall).c_str());
  Append(text, "MAC addresses used: %" PRIu64 "\n", summary.macs_used_count);
  for (const MacRange& range : summary.macs_used) {
    if (range.count == 1) {
      Append(text, "  %s\n", range.first.c_str());
    } else {
      Append(text, "  %s to %s (%" PRIu64 ")\n", range.first.c_str(), range.last.c_str(),
             range.count);
    }
  }
  AppendUsedUp(text, summary.used_up_on_no_board);
  for (const IniRanges& ini : inis) {
    Append(text, "%s\n", RangeText(ini.file, "MAC address", "MAC addresses", ini.left.mac).c_str());
    if (ini.left.mac.present && MacUsed(summary, ini.left.mac.current)) {
      Append(text, "%s: its CurrentMacAddress %s is used in the record already\n", ini.file.c_str(),
             ini.left.mac.current.c_str());
    }
    Append(text, "%s\n",
           RangeText(ini.file, "serial number", "serial numbers", ini.left.serial).c_str());
  }
  return text;
}

std::string CheckText(const std::string& record_name, const RecordCheck& check) {
  std::string text;
  for (const IdentityClash& clash : check.clashes) {
    Append(text, "%s %s is on two boards: programmed by line %d, written again by line %d\n",
           clash.mac ? "MAC address" : "Serial number", clash.value.c_str(), clash.programmed_line,
           clash.line);
  }
  for (const UnknownOutcome& unknown : check.unknown) {
    Append(text,
           "Line %d: outcome unknown: MAC address %s, serial number %s reserved on %s at %s, and "
           "no later line says what became of it\n",
           unknown.line, Dashed(unknown.fields.mac_address), Dashed(unknown.fields.serial_number),
           PrintedStation(unknown.fields.station), unknown.fields.time.c_str());
  }
  for (const auto& [line, names] : check.damaged) {
    std::string macs;
    for (const std::string& mac : names.mac_addresses) macs += (macs.empty() ? "" : " ") + mac;
    Append(text,
           "Line %d cannot be read and names MAC address %s, serial number %s: no board is given "
           "them until the line is corrected\n",
           line, Dashed(macs), Dashed(names.serial_number));
  }
  Append(text, "Record %s: %d identit%s on two boards, %d run%s of unknown outcome",
         record_name.c_str(), static_cast<int>(check.clashes.size()),
         check.clashes.size() == 1 ? "y" : "ies", static_cast<int>(check.unknown.size()),
         check.unknown.size() == 1 ? "" : "s");
  if (!check.damaged.empty()) {
    Append(text, ", %d unreadable line%s naming an identity",
           static_cast<int>(check.damaged.size()), check.damaged.size() == 1 ? "" : "s");
  }
  Append(text, "\n");
  return text;
}
