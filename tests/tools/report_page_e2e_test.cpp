// report_page_e2e_test.cpp - qnt5200-record report run as a program, and its page rendered by a
// real headless browser: the document the browser builds holds the plots with the record's
// numbers, worked out by hand, and the record's hostile texts as text. Skipped where no browser
// is installed. Also the command lines that must not write a page.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/headless_browser.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tools/line_report_record.h"

namespace {

// The elements |tag| of |html| in order, each from its start tag to its end tag; none of those
// looked for nest in themselves.
std::vector<std::string> Elements(const std::string& html, const std::string& tag) {
  std::vector<std::string> found;
  const std::string open = "<" + tag;
  const std::string close = "</" + tag + ">";
  for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1)) {
    const char next = html[at + open.size()];
    if (next != ' ' && next != '>') continue;  // another tag that starts alike
    const size_t end = html.find(close, at);
    if (end == std::string::npos) break;
    found.push_back(html.substr(at, end + close.size() - at));
  }
  return found;
}

std::string Attribute(const std::string& element, const std::string& name) {
  const std::string key = " " + name + "=\"";
  const size_t start = element.find(key);
  if (start == std::string::npos || start > element.find('>')) return "";
  const size_t value = start + key.size();
  return element.substr(value, element.find('"', value) - value);
}

// The text a reader sees: tags dropped, character references undone.
std::string Text(const std::string& element) {
  std::string text;
  bool in_tag = false;
  for (const char c : element) {
    if (c == '<' || c == '>') {
      in_tag = c == '<';
    } else if (!in_tag) {
      text += c;
    }
  }
  for (const auto& [reference, character] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}}) {
    for (size_t at = text.find(reference); at != std::string::npos;
         at = text.find(reference, at + 1)) {
      text.replace(at, std::string(reference).size(), character);
    }
  }
  return text;
}

std::vector<std::string> Texts(const std::string& html, const std::string& tag,
                               const std::string& css_class = "") {
  std::vector<std::string> texts;
  for (const std::string& element : Elements(html, tag)) {
    if (css_class.empty() || Attribute(element, "class") == css_class) {
      texts.push_back(Text(element));
    }
  }
  return texts;
}

// The bars' lengths: heights of columns, widths of rows and shares.
std::vector<double> Lengths(const std::string& svg, const char* dimension, const char* css_class) {
  std::vector<double> lengths;
  for (const std::string& rect : Elements(svg, "rect")) {
    if (Attribute(rect, "class") == css_class) {
      lengths.push_back(std::stod(Attribute(rect, dimension)));
    }
  }
  return lengths;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class ReportPage : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileText(work_.File("boards.csv"), line_report::Record());
    WriteIni("board.ini", "00:11:22:33:44:17", "00:11:22:33:44:FF");  // 233 left
    WriteIni("low.ini", "00:11:22:33:45:0E", "00:11:22:33:45:10");    // 3 left
    WriteIni("out.ini", "00:11:22:33:45:20", "00:11:22:33:45:1F");    // none left
  }
  void WriteIni(const std::string& name, const std::string& current, const std::string& maximum) {
    std::string ini = ReadFileText(QNT_SOURCE_DIR "/examples/board.ini");
    ini = Replaced(ini, "CurrentMacAddress = 00:11:22:33:44:55", "CurrentMacAddress = " + current);
    ini = Replaced(ini, "MaximumMacAddress = 00:11:22:33:FF:FF", "MaximumMacAddress = " + maximum);
    WriteFileText(work_.File(name), ini);
  }
  ProgramRun Record(const std::string& arguments) {
    return RunRecordTool(arguments, work_.path().string());
  }
  TempDir work_;
};

TEST_F(ReportPage, RenderedPlotsHoldTheRecordsNumbersAndItsTextsStayText) {
  const std::string browser = FindHeadlessBrowser();
  if (browser.empty()) {
    GTEST_SKIP() << "no headless browser (chromium) is installed: the page is not rendered";
  }
  ASSERT_EQ(Record("report boards.csv --ini board.ini --ini low.ini --ini out.ini -o report.html")
                .exit_code,
            0);
  const std::optional<std::string> dom = RenderedDocument(browser, work_.File("report.html"));
  ASSERT_TRUE(dom) << "the browser failed, or ran out of time";

  // The station named by a script is text, in its heading and its plot's name, and never ran.
  EXPECT_EQ(Texts(*dom, "title")[0], "Line report: boards.csv");
  EXPECT_EQ(dom->find("<script"), std::string::npos);
  EXPECT_EQ(Texts(*dom, "h3"),
            (std::vector<std::string>{"all stations", line_report::kScriptStation, "st1",
                                      "Failed runs: 1", "Refused runs: 2", "board.ini", "low.ini",
                                      "out.ini"}));
  // Boards programmed, failed runs, refused runs, unknown outcomes, used up, MAC addresses used.
  EXPECT_EQ(Texts(*dom, "dd"), (std::vector<std::string>{"5", "1", "2", "1", "2", "7"}));
  // When the page was made, in UTC.
  const std::string read = Texts(*dom, "p", "note")[0];
  const size_t made = read.find(" Made 20");
  ASSERT_NE(made, std::string::npos) << read;
  EXPECT_EQ(read.size(), made + std::string(" Made 2026-03-01T08:00:00Z.").size()) << read;

  const std::vector<std::string> svgs = Elements(*dom, "svg");
  ASSERT_EQ(svgs.size(), 8u);
  // Boards by hour, 08 to 10: all stations 2, 2, 1; the script station 1, 0, 1; st1 1, 2, 0.
  EXPECT_EQ(Texts(svgs[0], "rect", "bar"),
            (std::vector<std::string>{"2026-03-01 08:00 to 09:00 UTC: 2 boards",
                                      "2026-03-01 09:00 to 10:00 UTC: 2 boards",
                                      "2026-03-01 10:00 to 11:00 UTC: 1 board"}));
  EXPECT_EQ(Texts(svgs[0], "text", "value"), (std::vector<std::string>{"2", "2", "1"}));
  const std::vector<double> all = Lengths(svgs[0], "height", "bar");
  ASSERT_EQ(all.size(), 3u);
  EXPECT_GT(all[2], 0);
  EXPECT_NEAR(all[0], 2 * all[2], 0.2);
  EXPECT_NEAR(all[1], 2 * all[2], 0.2);
  EXPECT_EQ(Texts(svgs[1], "title")[0], "Boards per hour, " + line_report::kScriptStation);
  const std::vector<double> script = Lengths(svgs[1], "height", "bar");
  EXPECT_EQ(script, (std::vector<double>{script[0], 0, script[0]}));
  const std::vector<double> st1 = Lengths(svgs[2], "height", "bar");
  ASSERT_EQ(st1.size(), 3u);
  EXPECT_NEAR(st1[1], 2 * st1[0], 0.2);
  EXPECT_EQ(st1[2], 0);

  // Failed and refused runs by the error the record gives.
  EXPECT_EQ(Texts(svgs[3], "text", "label"),
            std::vector<std::string>{"exit code 9: " + line_report::kVerifyError});
  EXPECT_EQ(Texts(svgs[3], "text", "value"), std::vector<std::string>{"1"});
  EXPECT_EQ(Texts(svgs[4], "text", "label"),
            (std::vector<std::string>{"exit code 10: " + line_report::kAboveError,
                                      "exit code 10: programmed already"}));
  EXPECT_EQ(Texts(svgs[4], "text", "value"), (std::vector<std::string>{"1", "1"}));
  // 7 MAC addresses used, 233 left: 720 units shared 21 to 699.
  EXPECT_EQ(Texts(svgs[5], "text", "share0"), std::vector<std::string>{"used in the record: 7"});
  EXPECT_EQ(Texts(svgs[5], "text", "share1"), std::vector<std::string>{"left in board.ini: 233"});
  EXPECT_EQ(Lengths(svgs[5], "width", "share0"), std::vector<double>{21});
  EXPECT_EQ(Lengths(svgs[5], "width", "share1"), std::vector<double>{699});
  // The other two ranges hand out addresses above 44:FF: none of the record's.
  EXPECT_EQ(Texts(svgs[6], "text", "share0"), std::vector<std::string>{"used in the record: 0"});
  EXPECT_EQ(Texts(svgs[6], "text", "share1"), std::vector<std::string>{"left in low.ini: 3"});
  // Each range in words and colour: enough, nearly used up (3 left, 5 boards in the last day),
  // used up.
  EXPECT_EQ(Texts(*dom, "p", "nearly-used-up"),
            std::vector<std::string>{
                "low.ini: 3 MAC addresses left, from 00:11:22:33:45:0E up to 00:11:22:33:45:10, "
                "step 1. Nearly used up: fewer left than the 5 boards the line made in its last "
                "day"});
  EXPECT_EQ(Texts(*dom, "p", "used-up"),
            std::vector<std::string>{
                "out.ini: 0 MAC addresses left, from 00:11:22:33:45:20 up to 00:11:22:33:45:1F, "
                "step 1. Used up: no MAC address is left, and the next run from out.ini is "
                "refused"});
  EXPECT_EQ(Texts(*dom, "p", "enough").size(), 4u);  // board.ini's addresses, each serial number
  EXPECT_NE(dom->find(".nearly-used-up{color:#b35c00"), std::string::npos);
  EXPECT_NE(dom->find(".used-up{color:#fff;background:#a00"), std::string::npos);

  // The identities used up on no board, the error message as text.
  const std::vector<std::string> rows = Elements(*dom, "tr");
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(Texts(rows[rows.size() - 2], "td"),
            (std::vector<std::string>{
                "5", "00:11:22:33:44:11", "0011", "st1", "2026-03-01T08:40:30Z",
                "exit code 9: EEPROM programming failed", line_report::kVerifyError}));
  EXPECT_EQ(Texts(rows.back(), "td"),
            (std::vector<std::string>{"13", "00:11:22:33:44:15", "0015",
                                      line_report::kScriptStation, "2026-03-01T10:50:00Z",
                                      "unknown: the run died, or is still running", ""}));
  EXPECT_EQ(dom->find("<b>"), std::string::npos);
}

TEST_F(ReportPage, NoPageWithoutAPlaceOfItsOwn) {
  const std::string record = ReadFileText(work_.File("boards.csv"));
  for (const char* refused : {
           "report boards.csv",  // no -o
           "report boards.csv -o boards.csv",
           "report boards.csv --ini board.ini -o ./board.ini",
           "report boards.csv -o .",
           "report boards.csv -o missing/report.html",
           "report boards.csv --json -o report.html",
           "summary boards.csv -o report.html",
       }) {
    EXPECT_EQ(Record(refused).exit_code, 2) << refused;
  }
  EXPECT_EQ(ReadFileText(work_.File("boards.csv")), record);
  EXPECT_FALSE(std::filesystem::exists(work_.File("report.html")));
}

}  // namespace
