#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/line_reader.h"

namespace {
using kp::base::LineReader;

TEST(LineReader, SplitsAtLineFeedsAndKnowsAFileCutShort) {
  const struct {
    std::string text;
    std::vector<std::string> lines;
    bool cutShort;
  } rows[] = {
      {"a\r\n\nb\n", {"a", "", "b"}, false},
      {"a\nb", {"a", "b"}, true},
      {"a\r", {"a"}, true},
      {"a\rb\n", {"a\rb"}, false},
  };
  for (const auto& row : rows) {
    LineReader reader(row.text, nullptr);
    std::vector<std::string> lines;
    for (std::string_view line; reader.NextLine(line);) lines.emplace_back(line);
    EXPECT_EQ(lines, row.lines) << row.text;
    EXPECT_EQ(reader.LastLineCutShort(), row.cutShort) << row.text;
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST(LineReader, ReadsQuotedStringsOrSaysWhatIsWrongOnWhichLine) {
  const struct {
    std::string line;
    std::string value;  // what it reads, or the fault
    std::string rest;
  } rows[] = {
      {R"("a\\b\"c\n\r\t\x41\x7e" tail)", "a\\b\"c\n\r\tA~", " tail"},
      {"\"caf\xC3\xA9\"", "caf\xC3\xA9", ""},
      {R"("abc)", "line 2: a quoted string is not closed", ""},
      {R"("\x4)", R"(line 2: a \x escape is cut short)", ""},
      {R"("\xG1")", R"(line 2: a \x escape is not two hex digits)", ""},
  };
  for (const auto& row : rows) {
    const std::string text = "first\n" + row.line + "\n";
    std::string error;
    LineReader reader(text, &error);
    std::string_view line;
    ASSERT_TRUE(reader.NextLine(line) && reader.NextLine(line));
    std::string value;
    if (reader.ReadQuoted(line, value)) {
      EXPECT_EQ(value, row.value) << row.line;
      EXPECT_EQ(line, row.rest) << row.line;
    } else {
      EXPECT_EQ(error, row.value) << row.line;
    }
  }
}

}  // namespace
