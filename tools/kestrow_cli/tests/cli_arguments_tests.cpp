#include "tools/kestrow_cli/cli_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/set_names.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

struct GoodLine {
  std::vector<std::string> arguments;
  const char* command;  // null: the tool itself
  int setIndex;
  bool noGamma;
  int header;
  int image;
  const char* target;  // the folder or output path
  const char* input = "";
  const char* newShapes = "";
  bool dither = false;
  bool json = false;
};

TEST(CliArguments, TakesEachCommandsOperandsByMeaning) {
  // clang-format off
  const GoodLine rows[] = {
      {{"info", "s.shp2"}, "info", -1, false, 0, 0, ""},
      {{"export", "s.shp2", "1", "out"}, "export", 0, false, 0, 0, "out"},
      {{"export", "s.shp2", "8", "out", "--no-gamma"}, "export", 7, true, 0, 0, "out"},
      {{"import", "--no-gamma", "s.shp2", "Texture Set # 4", "in"}, "import", 3, true, 0, 0, "in"},
      {{"import", "s.shp2", "Landscape # 1", "in"}, "import", 4, false, 0, 0, "in"},
      {{"palette", "s.shp2", "6", "p.bmp"}, "palette", 5, false, 0, 0, "p.bmp"},
      {{"probe", "s.shp2", "17", "500"}, "probe", -1, false, 17, 500, ""},
      {{"probe", "s.shp2", "-3", "-1", "i.bmp"}, "probe", -1, false, -3, -1, "i.bmp"},
      {{"export", "s.shp2", "2", "--", "--odd-folder"}, "export", 1, false, 0, 0, "--odd-folder"},
      {{"import", "s.shp2", "1", "in", "--output", "new.shp2", "--dither"},
       "import", 0, false, 0, 0, "in", "", "new.shp2", true},
      {{"import", "--output=--new.shp2", "s.shp2", "2", "in"}, "import", 1, false, 0, 0, "in", "", "--new.shp2"},
      {{"import", "s.shp2", "2", "in", "--output", "--dither"}, "import", 1, false, 0, 0, "in", "", "--dither"},
      {{"export-all", "s.shp2", "all", "--no-gamma"}, "export-all", -1, true, 0, 0, "all"},
      {{"import-all", "s.shp2", "all", "--dither", "--output=n.shp2", "--no-gamma"},
       "import-all", -1, true, 0, 0, "all", "", "n.shp2", true},
      {{"convert", "s.shp2", "5", "in.png", "out.bmp", "--dither"}, "convert", 4, false, 0, 0, "out.bmp", "in.png",
       "", true},
      {{"info", "--json", "s.shp2"}, "info", -1, false, 0, 0, "", "", "", false, true},
      {{"probe", "s.shp2", "17", "0", "i.bmp", "--json"}, "probe", -1, false, 17, 0, "i.bmp", "", "", false, true},
  };
  // clang-format on
  for (const GoodLine& row : rows) {
    SCOPED_TRACE(row.arguments[0] + " " + row.arguments[1]);
    const CliParseResult parsed = ParseCliArguments(row.arguments);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const CliRequest& r = parsed.request;
    ASSERT_NE(r.command, nullptr);
    EXPECT_STREQ(r.command->name, row.command);
    EXPECT_EQ(r.shapesPath, "s.shp2");
    EXPECT_EQ(r.setIndex, row.setIndex);
    EXPECT_EQ(r.noGammaCorrection, row.noGamma);
    EXPECT_EQ(r.headerNumber, row.header);
    EXPECT_EQ(r.imageNumber, row.image);
    EXPECT_EQ(r.folder.empty() ? r.outputPath : r.folder, row.target);
    EXPECT_EQ(r.inputPath, row.input);
    EXPECT_EQ(r.newShapesPath, row.newShapes);
    EXPECT_EQ(r.dither, row.dither);
    EXPECT_EQ(r.json, row.json);
    EXPECT_FALSE(r.help);
  }
}

TEST(CliArguments, TakesThePatchFileCommandsOperands) {
  const struct {
    std::vector<std::string> arguments;
    const char* shapes;
    const char* modified;
    const char* patch;
    const char* newShapes;
    bool json;
  } rows[] = {
      {{"diff", "a.shp2", "b.shp2", "p.vcdiff"}, "a.shp2", "b.shp2", "p.vcdiff", "", false},
      {{"apply", "s.shp2", "p.vcdiff", "--output", "n.shp2"}, "s.shp2", "", "p.vcdiff", "n.shp2", false},
      {{"apply", "--output=n.shp2", "s.shp2", "p.vcdiff"}, "s.shp2", "", "p.vcdiff", "n.shp2", false},
      {{"show", "p.vcdiff"}, "", "", "p.vcdiff", "", false},
      {{"show", "p.vcdiff", "s.shp2", "--json"}, "s.shp2", "", "p.vcdiff", "", true},
  };
  for (const auto& row : rows) {
    const CliParseResult parsed = ParseCliArguments(row.arguments);
    ASSERT_TRUE(parsed.ok) << row.arguments[0] << ": " << parsed.error;
    EXPECT_EQ(parsed.request.shapesPath, row.shapes) << row.arguments[0];
    EXPECT_EQ(parsed.request.modifiedPath, row.modified) << row.arguments[0];
    EXPECT_EQ(parsed.request.patchPath, row.patch) << row.arguments[0];
    EXPECT_EQ(parsed.request.newShapesPath, row.newShapes) << row.arguments[0];
    EXPECT_EQ(parsed.request.json, row.json) << row.arguments[0];
  }
}

TEST(CliArguments, HelpAndVersionNeedNoOperands) {
  const CliParseResult tool = ParseCliArguments(std::vector<std::string>{"--help"});
  ASSERT_TRUE(tool.ok);
  EXPECT_TRUE(tool.request.help);
  EXPECT_EQ(tool.request.command, nullptr);

  const CliParseResult version = ParseCliArguments(std::vector<std::string>{"--version"});
  ASSERT_TRUE(version.ok);
  EXPECT_TRUE(version.request.version);

  for (const CliCommand& command : CliCommands()) {
    const CliParseResult help = ParseCliArguments(std::vector<std::string>{command.name, "-h"});
    ASSERT_TRUE(help.ok) << command.name;
    EXPECT_TRUE(help.request.help);
    EXPECT_EQ(help.request.command, &command);
  }
}

TEST(CliArguments, RefusesWrongLinesWithTheReason) {
  struct BadLine {
    std::vector<std::string> arguments;
    const char* reason;
  };
  const BadLine rows[] = {
      {{}, "no command"},
      {{"patch", "s.shp2"}, "unknown command 'patch'"},
      {{"--verbose"}, "unknown option '--verbose'"},
      {{"--version", "info"}, "takes nothing"},
      {{"info"}, "needs more arguments"},
      {{"info", "a", "b"}, "takes no argument 'b'"},
      {{"export", "s.shp2", "1"}, "needs more arguments"},
      {{"export", "s.shp2", "0", "out"}, "SET must be 1 to 8"},
      {{"export", "s.shp2", "9", "out"}, "SET must be 1 to 8"},
      {{"export", "s.shp2", "texture set # 1", "out"}, "SET must be 1 to 8"},
      {{"export", "s.shp2", "01", "out"}, "SET must be 1 to 8"},
      {{"import", "s.shp2", "1", ""}, "DIR is empty"},
      {{"probe", "s.shp2", "17", "x"}, "IMAGE must be a decimal integer"},
      {{"probe", "s.shp2", "0x11", "0"}, "HEADER must be a decimal integer"},
      {{"probe", "s.shp2", "99999999999", "0"}, "HEADER must be a decimal integer"},
      {{"probe", "s.shp2", "17", "0", "--no-gamma"}, "probe has no option '--no-gamma'"},
      {{"info", "s.shp2", "--no-gamma"}, "info has no option '--no-gamma'"},
      {{"palette", "s.shp2", "1", "p.bmp", "-x"}, "palette has no option '-x'"},
      {{"import", "s.shp2", "1", "in", "--output"}, "--output needs NEW after it"},
      {{"import", "s.shp2", "1", "in", "--output="}, "NEW is empty"},
      {{"import", "s.shp2", "1", "in", "--dither=yes"}, "import has no option '--dither=yes'"},
      {{"import", "s.shp2", "1", "in", "--json"}, "import has no option '--json'"},
      {{"export", "s.shp2", "1", "out", "--dither"}, "export has no option '--dither'"},
      {{"export", "s.shp2", "1", "out", "--output", "n.shp2"}, "export has no option '--output'"},
      {{"palette", "s.shp2", "1", "p.bmp", "--json"}, "palette has no option '--json'"},
      {{"convert", "s.shp2", "1", "in.bmp"}, "convert needs more arguments"},
      {{"convert", "s.shp2", "1", "", "out.bmp"}, "IN is empty"},
      {{"convert", "s.shp2", "1", "in.bmp", "out.bmp", "--output", "n.shp2"}, "convert has no option '--output'"},
      {{"export-all", "s.shp2", "1", "all"}, "export-all takes no argument 'all'"},
      {{"import-all", "s.shp2"}, "import-all needs more arguments"},
      {{"export-all", "s.shp2", "all", "--dither"}, "export-all has no option '--dither'"},
      {{"diff", "a.shp2", "b.shp2"}, "diff needs more arguments"},
      {{"diff", "a.shp2", "b.shp2", ""}, "OUT.vcdiff is empty"},
      {{"diff", "a.shp2", "b.shp2", "p.vcdiff", "--output", "n.shp2"}, "diff has no option '--output'"},
      {{"apply", "s.shp2", "", "--output", "n.shp2"}, "PATCH is empty"},
      {{"apply", "s.shp2", "p.vcdiff", "--output", "n.shp2", "--json"}, "apply has no option '--json'"},
      {{"show"}, "show needs more arguments"},
      {{"show", "p.vcdiff", "s.shp2", "x"}, "show takes no argument 'x'"},
  };
  for (const BadLine& row : rows) {
    const CliParseResult parsed = ParseCliArguments(row.arguments);
    EXPECT_FALSE(parsed.ok) << row.reason;
    EXPECT_NE(parsed.error.find(row.reason), std::string::npos) << parsed.error;
  }
}

TEST(SetNames, ListPositionsAndListStringsNameTheSameSets) {
  for (int set = 0; set < kSetCount; ++set) {
    EXPECT_EQ(ParseSetArgument(std::to_string(set + 1)), set);
    EXPECT_EQ(ParseSetArgument(kSetListStrings[static_cast<std::size_t>(set)]), set);
  }
  EXPECT_STREQ(kSetListStrings[3], "Texture Set # 4");
  EXPECT_STREQ(kSetListStrings[4], "Landscape # 1");
  EXPECT_EQ(ParseSetArgument("Landscape # 5"), std::nullopt);
  EXPECT_EQ(ParseSetArgument(""), std::nullopt);
}

TEST(CliRun, UsageErrorsExitWithTwoAndTheCommandsUsage) {
  const cli_tests::CliResult result = cli_tests::RunTool({"export", "s.shp2"});
  EXPECT_EQ(result.status, kExitUsage);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("kestrow-cli: export needs more arguments\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("usage: kestrow-cli export SHAPES SET DIR [--no-gamma]"), std::string::npos);
}

TEST(CliRun, HelpDescribesEveryCommandAndItsOptions) {
  const cli_tests::CliResult tool = cli_tests::RunTool({"--help"});
  EXPECT_EQ(tool.status, kExitSuccess);
  for (const CliCommand& command : CliCommands()) {
    EXPECT_NE(tool.out.find(std::string("  ") + command.name), std::string::npos) << command.name;
    const cli_tests::CliResult help = cli_tests::RunTool({command.name, "--help"});
    EXPECT_EQ(help.status, kExitSuccess);
    EXPECT_EQ(help.out.rfind(std::string("usage: kestrow-cli ") + command.synopsis + "\n", 0), 0u) << help.out;
    for (const CliOptionRule& option : CliOptions()) {
      // An option is listed, and its details given, exactly when the command takes it.
      EXPECT_EQ(help.out.find(std::string("\n  ") + option.name) != std::string::npos, command.Takes(option.option))
          << command.name << " " << option.name;
      // Its details too, and the synopsis shows it in brackets.
      const bool optional = command.Takes(option.option);
      if (option.details != nullptr) {
        EXPECT_EQ(help.out.find(option.details) != std::string::npos, optional) << command.name << " " << option.name;
      }
      EXPECT_EQ(std::string(command.synopsis).find(std::string("[") + option.name) != std::string::npos, optional)
          << command.name << " " << option.name;
    }
    // Lines fit a terminal of 80 columns, and the manual page made from them.
    std::size_t start = 0;
    for (std::size_t end; (end = help.out.find('\n', start)) != std::string::npos; start = end + 1)
      EXPECT_LE(end - start, 80u) << command.name << ": " << help.out.substr(start, end - start);
  }
  const cli_tests::CliResult version = cli_tests::RunTool({"--version"});
  EXPECT_EQ(version.status, kExitSuccess);
  EXPECT_EQ(version.out.rfind("kestrow-cli ", 0), 0u);
}

}  // namespace
