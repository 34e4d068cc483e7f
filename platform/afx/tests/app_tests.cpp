#include <gtest/gtest.h>

#include "platform/afx/win_app.h"

namespace {

struct CommandLineApp : CWinApp {
  explicit CommandLineApp(const char* line) { SetCommandLine(line); }
};

// An option is a whole argument; any other argument is a path, and a path
// that holds an option's name is never read as that option nor cut short.
TEST(WinApp, AutomationAndEmbeddingAreWholeArgumentsAndOnlyTheyAreRemoved) {
  struct Row {
    const char* line;
    BOOL automated;
    BOOL embedded;
    const char* rest;
  } rows[] = {
      {"-Automation", TRUE, FALSE, ""},
      {"/Automation", TRUE, FALSE, ""},
      {"file.shp2 -Embedding", FALSE, TRUE, "file.shp2"},
      {"/Embedding \"my file.shp2\"", FALSE, TRUE, "\"my file.shp2\""},
      {"-AutomationX", FALSE, FALSE, "-AutomationX"},
      {"-automation", FALSE, FALSE, "-automation"},
      {"Automation", FALSE, FALSE, "Automation"},
      {"x Automation -Automation", TRUE, FALSE, "x Automation"},
      {"/home/u/Embedding/shapes.shp2", FALSE, FALSE, "/home/u/Embedding/shapes.shp2"},
      {"/home/u/x-Automation/s.shp2", FALSE, FALSE, "/home/u/x-Automation/s.shp2"},
      {"/tmp/-Automation", FALSE, FALSE, "/tmp/-Automation"},
      {"\"-Automation\"", TRUE, FALSE, ""},
      {"", FALSE, FALSE, ""},
  };
  for (const Row& row : rows) {
    CommandLineApp app(row.line);
    EXPECT_EQ(app.RunAutomated(), row.automated) << row.line;
    EXPECT_EQ(app.RunEmbedded(), row.embedded) << row.line;
    EXPECT_STREQ(app.m_lpCmdLine, row.rest) << row.line;
  }
}

TEST(WinApp, TheApplicationIsTheOneConstructedAndNamedAfterTheProgram) {
  CommandLineApp app("");
  EXPECT_EQ(AfxGetApp(), &app);
  EXPECT_STREQ(app.m_pszAppName, "platform_afx_window_tests");
  EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST(WinApp, CommandLinesJoinArgumentsAsAWindowsProgramGetsThem) {
  char a0[] = "kestrow", a1[] = "-Automation", a2[] = "my file.shp2";
  char* argv[] = {a0, a1, a2};
  EXPECT_EQ(kp::afx::JoinCommandLine(3, argv), "-Automation \"my file.shp2\"");
  EXPECT_EQ(kp::afx::JoinCommandLine(1, argv), "");
}

TEST(WinApp, CommandLinesSplitBackIntoTheArgumentsJoined) {
  using Words = std::vector<std::string>;
  const struct {
    const char* line;
    Words words;
  } rows[] = {
      {"", {}},
      {"  ", {}},
      {"shapes.shp2", {"shapes.shp2"}},
      {"-Automation \"my file.shp2\"", {"-Automation", "my file.shp2"}},
      {"\"a  b\"\tc", {"a  b", "c"}},
      {"\"unclosed quote", {"unclosed quote"}},
      {"\"\"", {""}},
      {"a\"b c\"d e", {"ab cd", "e"}},
      {"C:\\dir\\ \\\\\"x\"", {"C:\\dir\\", "\\x"}},
      {"\\\"quoted\\\"", {"\"quoted\""}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
  };
  for (const auto& row : rows) EXPECT_EQ(kp::afx::SplitCommandLine(row.line), row.words) << row.line;
}

// Whatever names the user's shell passes, the editor must see the same
// ones: an empty argument, quotes and backslashes in a name included.
TEST(WinApp, AnyArgumentsJoinedAndSplitAreTheSameArguments) {
  using Words = std::vector<std::string>;
  const Words rows[] = {
      {""},
      {"", ""},
      {"\"quoted\".shp2"},
      {"\"quoted\" name.shp2"},
      {"back\\slash\\", "\\\"both\\\\\"\\"},
      {"trailing\\ ", "end\\\\"},
      {"-Automation", "my file.shp2", "tab\there"},
  };
  for (const Words& row : rows) {
    std::vector<std::string> copies{"kestrow"};
    copies.insert(copies.end(), row.begin(), row.end());
    std::vector<char*> argv;
    for (std::string& copy : copies) argv.push_back(copy.data());
    const std::string line = kp::afx::JoinCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(kp::afx::SplitCommandLine(line), row) << line;
  }
}

}  // namespace
