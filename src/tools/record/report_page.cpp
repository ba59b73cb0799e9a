// report_page.cpp - the HTML of the line report page. All its parts are here, in the order the
// page shows them; the plots come from svg_plot.
#include "tools/record/report_page.h"

#include <initializer_list>
#include <vector>

#include "common/exit_codes.h"
#include "tools/record/html_text.h"

namespace {

constexpr size_t kMaxTableRows = 200;

// No script may run and nothing may be fetched, whatever a record's text holds.
constexpr char kHead[] =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" "
    "content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";

constexpr char kStyle[] =
    "<style>\n"
    "body{font-family:sans-serif;color:#222;max-width:60em;margin:1.5em auto;padding:0 1em}\n"
    "h2{margin-top:2em;border-bottom:1px solid #ccc}\n"
    ".figures{display:flex;flex-wrap:wrap;gap:.8em;margin:0}\n"
    ".figures div{border:1px solid #ccc;border-radius:6px;padding:.4em .9em;min-width:8em}\n"
    ".figures dt{font-size:.85em;color:#555}\n"
    ".figures dd{margin:0;font-size:1.8em;font-weight:bold}\n"
    ".rate,.note{color:#555}\n"
    ".warning{color:#a00;font-weight:bold}\n"
    "svg.plot{display:block;width:100%;height:auto;font:12px sans-serif;margin:.5em 0}\n"
    ".bar{fill:#3b6ea8}.grid{stroke:#ddd}.axis,.label{fill:#555}.value{fill:#222}\n"
    ".share0{fill:#b35c00}.share1{fill:#2f7d32}\n"
    ".enough{color:#2f7d32}.nearly-used-up{color:#b35c00;font-weight:bold}\n"
    ".used-up{color:#fff;background:#a00;font-weight:bold;padding:.2em .4em}\n"
    "table{border-collapse:collapse;font-size:.9em}\n"
    "th,td{border:1px solid #ccc;padding:.2em .5em;text-align:left;vertical-align:top}\n"
    "</style>\n</head>\n<body>\n";

std::string Element(const char* name, const std::string& text) {
  return std::string("<") + name + ">" + HtmlText(text) + "</" + name + ">\n";
}

std::string Note(const std::string& text) {
  return "<p class=\"note\">" + HtmlText(text) + "</p>\n";
}

std::string Figure(const char* name, const std::string& value) {
  return "<div><dt>" + HtmlText(name) + "</dt><dd>" + HtmlText(value) + "</dd></div>";
}

std::string Row(std::initializer_list<std::string> cells, const char* cell = "td") {
  std::string row = "<tr>";
  for (const std::string& text : cells) {
    row += std::string("<") + cell + ">" + HtmlText(text) + "</" + cell + ">";
  }
  return row + "</tr>\n";
}

std::string RowsLeftOver(size_t rows, const char* what) {
  if (rows <= kMaxTableRows) return "";
  return Note("and " + std::to_string(rows - kMaxTableRows) + " more " + what);
}

std::string Figures(const ReportPageData& data) {
  const RecordSummary& s = data.summary;
  return "<dl class=\"figures\">" + Figure("Boards programmed", std::to_string(s.programmed)) +
         Figure("Failed runs", std::to_string(data.failed_runs)) +
         Figure("Refused runs", std::to_string(data.refused_runs)) +
         Figure("Runs of unknown outcome", std::to_string(s.unfinished)) +
         Figure("Identities used up on no board", std::to_string(data.used_up.size())) +
         Figure("MAC addresses used", std::to_string(s.macs_used_count)) + "</dl>\n";
}

std::string Rates(const ReportPageData& data) {
  std::string html = "<h2 id=\"rates\">Boards per hour</h2>\n";
  const int minutes = data.bucket_minutes;
  const std::string bucket = minutes == 60  ? std::string("that hour")
                             : minutes == 1 ? std::string("that minute")
                             : minutes < 60 ? "those " + std::to_string(minutes) + " minutes"
                                            : "those " + std::to_string(minutes / 60) + " hours";
  html += Note("A column: the boards per hour whose run ended in " + bucket +
               " (UTC). The rate over a station's whole span runs from the start of its first "
               "run to its last line.");
  for (const RatePlot& plot : data.rates) {
    html += Element("h3", plot.station);
    html += "<p class=\"rate\">" + HtmlText(plot.rate) + "</p>\n";
    if (plot.untimed_boards > 0) {
      html += Note(std::to_string(plot.untimed_boards) +
                   " of the boards have no readable time and are in no column.");
    }
    html += plot.per_hour.bars.empty() ? Note("No line has a readable time.")
                                       : ColumnsSvg(plot.per_hour) + "\n";
  }
  return html;
}

std::string Runs(const char* heading, int total, const char* what, const BarPlot& plot) {
  std::string html = Element("h3", std::string(heading) + ": " + std::to_string(total));
  html += Note(what);
  if (!plot.bars.empty()) html += RowsSvg(plot) + "\n";
  return html;
}

const char* LevelClass(RangeLevel level) {
  switch (level) {
    case RangeLevel::kNearlyUsedUp:
      return "nearly-used-up";
    case RangeLevel::kUsedUp:
      return "used-up";
    case RangeLevel::kEnough:
      break;
  }
  return "enough";
}

std::string RangeLine(const RangeUse& use) {
  return std::string("<p class=\"") + LevelClass(use.level) + "\">" + HtmlText(use.text) + "</p>\n";
}

// Each INI file's range: its share of the addresses, what is left of it and how soon it ends.
std::string Ranges(const ReportPageData& data) {
  if (data.ranges.empty()) {
    return Note(
        "Name each INI file of the line with --ini to see the addresses left in its range.");
  }
  const int day = data.boards_last_day;
  std::string html = Note(
      "A MAC address of the record counts to the range with the lowest MaximumMacAddress at or "
      "above it. A range is nearly used up when fewer are left than the line made in the 24 hours "
      "up to the record's last line (" +
      std::to_string(day) + (day == 1 ? " board" : " boards") + "), or under a tenth of it.");
  for (const IniRangeUse& range : data.ranges) {
    const IniRanges& ini = range.ini;
    html += Element("h3", ini.file);
    if (!range.mac_share.bars.empty()) html += ShareSvg(range.mac_share) + "\n";
    html += RangeLine(range.mac);
    if (ini.left.mac.present && MacUsed(data.summary, ini.left.mac.current)) {
      html += "<p class=\"warning\">" +
              HtmlText(ini.file + ": its CurrentMacAddress " + ini.left.mac.current +
                       " is used in the record already") +
              "</p>\n";
    }
    html += RangeLine(range.serial);
  }
  return html;
}

std::string MacAddresses(const ReportPageData& data) {
  const RecordSummary& s = data.summary;
  std::string html = "<h2 id=\"mac-addresses\">MAC addresses</h2>\n";
  html += "<p>MAC addresses used in the record (reserved or written): " +
          std::to_string(s.macs_used_count) + "</p>\n";
  html += Ranges(data);
  if (s.macs_used.empty()) return html;
  html += "<table>\n" + Row({"First", "Last", "Addresses"}, "th");
  for (size_t i = 0; i < s.macs_used.size() && i < kMaxTableRows; ++i) {
    const MacRange& range = s.macs_used[i];
    html += Row({range.first, range.last, std::to_string(range.count)});
  }
  return html + "</table>\n" + RowsLeftOver(s.macs_used.size(), "ranges");
}

std::string Outcome(const UsedUpIdentity& identity) {
  if (identity.outcome_unknown) return "unknown: the run died, or is still running";
  const int code = identity.fields.result;
  return "exit code " + std::to_string(code) + ": " + ExitCodeMeaning(code);
}

std::string UsedUp(const ReportPageData& data) {
  std::string html = "<h2 id=\"used-up\">Identities used up on no board</h2>\n";
  html += Note(
      "Taken by a run that left no programmed board: never given to another board. A board that "
      "failed can be run again with the record file, and keeps its identity.");
  if (data.used_up.empty()) return html + Element("p", "None.");
  html +=
      "<table>\n" +
      Row({"Line", "MAC address", "Serial number", "Station", "Time", "Outcome", "Error"}, "th");
  for (size_t i = 0; i < data.used_up.size() && i < kMaxTableRows; ++i) {
    const UsedUpIdentity& identity = data.used_up[i];
    const BoardRecordLine& line = identity.fields;
    html += Row({std::to_string(identity.line), line.mac_address, line.serial_number,
                 PrintedStation(line.station), line.time, Outcome(identity), line.error});
  }
  return html + "</table>\n" + RowsLeftOver(data.used_up.size(), "identities");
}

std::string Unreadable(const std::vector<int>& lines) {
  if (lines.empty()) return "";
  std::string list;
  for (size_t i = 0; i < lines.size() && i < kMaxTableRows; ++i) {
    list += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
  }
  return "<h2 id=\"unreadable\">Unreadable lines</h2>\n" +
         Element("p", "Passed over, as the utility passes them over: lines " + list) +
         RowsLeftOver(lines.size(), "lines");
}

}  // namespace

std::string ReportPageHtml(const ReportPageData& data) {
  const RecordSummary& s = data.summary;
  std::string html = kHead;
  html += Element("title", "Line report: " + data.record_name);
  html += kStyle;
  html += Element("h1", "Line report: " + data.record_name);
  std::string read = std::to_string(s.lines) + " lines read, " +
                     std::to_string(s.malformed_lines.size()) + " unreadable.";
  if (!data.made_at.empty()) read += " Made " + data.made_at + ".";
  html += Note(read);
  html += Figures(data);
  html += Rates(data);
  html += "<h2 id=\"runs\">Failed and refused runs</h2>\n";
  html += Runs("Failed runs", data.failed_runs,
               "Runs that got past the checks and then failed, by exit code and the error the "
               "record gives.",
               data.failures);
  html += Runs("Refused runs", data.refused_runs,
               "Runs refused before the board was touched, by exit code and the error the "
               "record gives.",
               data.refusals);
  html += MacAddresses(data);
  html += UsedUp(data);
  html += Unreadable(s.malformed_lines);
  return html + "</body>\n</html>\n";
}
