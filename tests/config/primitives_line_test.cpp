// Tests of the INI line reader and key lookup.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/user/ini_line.h"

namespace {

struct ReadLine {
  std::string text;
  size_t length;
  int64_t position;
  IniLineEnd end;
};

// Every line of |content| as ReadIniLine yields it, up to and including the end-of-file line.
std::vector<ReadLine> ReadAll(const std::string& content, size_t capacity = kIniLineCapacity) {
  std::FILE* file = std::tmpfile();
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  IniSource source{.file = file, .offset = 0};
  std::vector<ReadLine> lines;
  std::vector<char> buffer(capacity);
  for (;;) {
    IniLine line;
    const IniLineEnd end = ReadIniLine(source, buffer.data(), capacity, line);
    lines.push_back({std::string(buffer.data(), line.length), line.length, line.position, end});
    if (end != IniLineEnd::kComplete) break;
  }
  std::fclose(file);
  return lines;
}

TEST(ReadIniLine, SkipsCommentLinesAndReportsLinePositions) {
  const auto lines = ReadAll("#c1\n#c2\nab\n  #x\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "ab");
  EXPECT_EQ(lines[0].position, 8);
  EXPECT_EQ(lines[1].text, "  #x");  // "#" after blanks is ordinary text
  EXPECT_EQ(lines[1].position, 11);
  EXPECT_EQ(lines[2].length, 0u);
  EXPECT_EQ(lines[2].end, IniLineEnd::kEndOfFile);
}

TEST(ReadIniLine, CrLfEndsALineButALoneCrIsText) {
  const auto lines = ReadAll("a=1\r\nb\rc\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "a=1");
  EXPECT_EQ(lines[1].text, "b\rc");
  EXPECT_EQ(lines[1].position, 5);
}

TEST(ReadIniLine, LastLineWithoutLineEndComesWithEndOfFile) {
  const auto lines = ReadAll("x\nkey=1");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].text, "key=1");
  EXPECT_EQ(lines[1].end, IniLineEnd::kEndOfFile);
}

TEST(ReadIniLine, CommentAtTheEndOfTheFileWithoutLineEnd) {
  const auto lines = ReadAll("#only a comment");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].length, 0u);
  EXPECT_EQ(lines[0].end, IniLineEnd::kEndOfFile);
}

TEST(ReadIniLine, KeepsTheFirst256CharactersAndDropsTheRest) {
  const std::string long_line(300, 'x');
  const auto lines = ReadAll(long_line + "\nnext\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].length, 256u);
  EXPECT_EQ(lines[1].text, "next");
  EXPECT_EQ(lines[1].position, 301);
}

TEST(ReadIniLine, NeverWritesBeyondASmallBuffer) {
  const auto lines = ReadAll("abcdef\n", 4);
  EXPECT_EQ(lines[0].text, "abc");
}

TEST(ReadIniLine, ReportsAReadFailure) {
  // A directory opens on Linux but cannot be read.
  std::FILE* file = std::fopen("/", "rb");
  ASSERT_NE(file, nullptr);
  IniSource source{.file = file, .offset = 0};
  char buffer[kIniLineCapacity];
  IniLine line;
  EXPECT_EQ(ReadIniLine(source, buffer, sizeof buffer, line), IniLineEnd::kReadError);
  std::fclose(file);
}

TEST(FindKeyValue, FindsTheValueAfterBlanksAndEquals) {
  struct Case {
    const char* line;
    size_t position;
    ptrdiff_t expected;
  };
  const Case cases[] = {
      {"Key=1", 0, 4},        {"  Key \t=\t 1 2 ", 2, 10},
      {"Key =", 0, -1},        // empty value: absent
      {"Key =   ", 0, -1},     // blanks only: absent
      {"KeyName = 1", 0, -1},  // a longer word is another key
      {"key = 1", 0, -1},      // case-sensitive
      {"Ke", 0, -1},          {"", 0, -1},
      {"Key 1", 0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindKeyValue(c.line, "Key", c.position), c.expected) << c.line;
  }
}

TEST(IniPrimitives, SkipBlanksAndCutAtBlank) {
  EXPECT_EQ(SkipBlanks(" \t x", 0), 3u);
  EXPECT_EQ(SkipBlanks("  ", 0), 2u);
  char text[] = "ab\tc d";
  CutAtBlank(text);
  EXPECT_STREQ(text, "ab");
}

TEST(IsIniHeader, NeedsABracketFirstAndLast) {
  size_t first = 0;
  EXPECT_TRUE(IsIniHeader("  [ID]", 6, &first));
  EXPECT_EQ(first, 2u);
  EXPECT_FALSE(IsIniHeader("[ID] ", 5, &first));
  EXPECT_FALSE(IsIniHeader("x[ID]", 5, &first));
  EXPECT_FALSE(IsIniHeader("", 0, &first));
  EXPECT_FALSE(IsIniHeader("   ", 3, &first));
}

}  // namespace
