// --json of info and probe: one object on standard output that the JSON
// library parses, with the values of the text output.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;
using nlohmann::json;

// One JSON value and nothing after it but the closing line break.
json ParseOne(const std::string& text) {
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_TRUE(json::accept(text)) << text;
  return json::parse(text, nullptr, false);
}

// Names a shell, a C string and a JSON string all treat specially.
// clang-format off
const char* const kAwkwardNames[] = {
    "quote\"d.shp2",       "back\\slash.shp2", "new\nline.shp2",
    "tab\tand space.shp2", "caf\xc3\xa9.shp2", "bell\x07.shp2",
};
// clang-format on

TEST(JsonOutput, InfoGivesTheTextsValuesWhateverThePath) {
  sample_shapes::ShapesFileBuilder builder;
  builder.SetColourCount(6, 100);
  const std::string folder = TestFolder();
  for (const char* name : kAwkwardNames) {
    SCOPED_TRACE(name);
    const std::string path = folder + "/" + name;
    builder.WriteFile(path, kExpectedShapesFileSize + 3);

    const CliResult result = RunTool({"info", path, "--json"});
    ASSERT_EQ(result.status, kExitSuccess) << result.err;
    EXPECT_EQ(result.err, "kestrow-cli: warning: Selected shapes file is not the expected size!\n");
    const json info = ParseOne(result.out);
    ASSERT_TRUE(info.is_object());
    EXPECT_EQ(info.at("path"), path);
    EXPECT_EQ(info.at("length"), kExpectedShapesFileSize + 3);
    EXPECT_EQ(info.at("expected_length"), false);
    ASSERT_EQ(info.at("sets").size(), static_cast<std::size_t>(kSetCount));
    for (int set = 0; set < kSetCount; ++set) {
      const json& entry = info.at("sets").at(static_cast<std::size_t>(set));
      EXPECT_EQ(entry.at("name"), kSetListStrings[static_cast<std::size_t>(set)]);
      EXPECT_EQ(entry.at("header"), SetHeaderNumbers[static_cast<std::size_t>(set)]);
      EXPECT_EQ(entry.at("base_offset"), builder.SetLayout(set).base);
      EXPECT_EQ(entry.at("colours"), builder.Set(set).colourCount);
      EXPECT_EQ(entry.at("images"), builder.Set(set).imageCount);
    }
    EXPECT_EQ(info.at("sets").at(6).at("colours"), 100);
  }
}

TEST(JsonOutput, InfoNamesADamagedSetsFailureAndBytesThatAreNotUtf8) {
  sample_shapes::ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  sample_shapes::PutBigEndian32(bytes, 32 * 19 + 4, 0x7FFFFFF0);  // "Texture Set # 3" past the end
  const std::string folder = TestFolder();
  const std::string path = folder + "/latin1-\xe9.shp2";
  sample_shapes::WriteBytes(path, bytes);

  const CliResult result = RunTool({"info", "--json", path});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  const json info = ParseOne(result.out);
  EXPECT_EQ(info.at("path"), folder + "/latin1-\xef\xbf\xbd.shp2") << "the stray byte becomes U+FFFD";
  const json& damaged = info.at("sets").at(2);
  EXPECT_EQ(damaged.at("name"), "Texture Set # 3");
  EXPECT_EQ(damaged.at("header"), 19);
  EXPECT_FALSE(damaged.contains("base_offset"));
  const std::string failure = "Texture Set # 3 (header 19): An attempt was made to access ";
  EXPECT_EQ(damaged.at("error").get<std::string>().rfind(failure, 0), 0u) << damaged.at("error");
  EXPECT_EQ(result.err.rfind("kestrow-cli: " + failure, 0), 0u) << result.err;
  EXPECT_EQ(info.at("sets").at(3).at("base_offset"), builder.SetLayout(3).base);
}

// The text output's "label: value" lines.
std::map<std::string, std::string> TextValues(const std::string& text) {
  std::map<std::string, std::string> values;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos) values[line.substr(0, colon)] = line.substr(colon + 2);
  }
  return values;
}

TEST(JsonOutput, ProbeGivesTheTextsValuesAndWhatItWrote) {
  SampleShapes s;
  const std::pair<const char*, const char*> keys[] = {
      {"Header #", "header"},
      {"image count", "image_count"},
      {"image number", "image_number"},
      {"Base Offset", "base_offset"},
      {"res header offset from base", "res_header_offset"},
      {"image header offset from base", "image_header_offset"},
      {"image offset from base", "image_offset"},
      {"X Size", "x_size"},
      {"Y Size", "y_size"},
  };
  for (const auto& [header, image] : {std::pair{"17", "500"}, std::pair{"27", "0"}, std::pair{"5", "1"}}) {
    SCOPED_TRACE(std::string(header) + " " + image);
    const CliResult text = RunTool({"probe", s.shapes, header, image});
    ASSERT_EQ(text.status, kExitSuccess) << text.err;
    const json probe = ParseOne(RunTool({"probe", s.shapes, header, image, "--json"}).out);
    const std::map<std::string, std::string> values = TextValues(text.out);
    ASSERT_EQ(values.size(), std::size(keys));
    ASSERT_EQ(probe.size(), std::size(keys));
    for (const auto& [label, key] : keys) EXPECT_EQ(probe.at(key).dump(), values.at(label)) << key;
  }

  for (const char* name : kAwkwardNames) {
    SCOPED_TRACE(name);
    const std::string out = s.folder + "/" + name;
    const CliResult saved = RunTool({"probe", s.shapes, "5", "1", out, "--json"});
    ASSERT_EQ(saved.status, kExitSuccess) << saved.err;
    const json probe = ParseOne(saved.out);
    EXPECT_EQ(probe.at("wrote"), (json{{"path", out}, {"width", 16}, {"height", 16}}));
    EXPECT_EQ(BitmapFile24(out).width, 16);
  }
}

TEST(JsonOutput, ProbeThatCannotSaveStillGivesTheValues) {
  sample_shapes::ShapesFileBuilder builder;
  builder.Block(5).images[1].field0 = -1;
  builder.Block(5).images[1].field1 = -1;
  const std::string folder = TestFolder();
  builder.WriteFile(folder + "/shapes.shp2");

  const CliResult result = RunTool({"probe", folder + "/shapes.shp2", "5", "1", folder + "/out.bmp", "--json"});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_EQ(result.err, "kestrow-cli: Image size -1 x -1 does not fit in the selected shapes file\n");
  const json probe = ParseOne(result.out);
  EXPECT_EQ(probe.at("x_size"), -1);
  EXPECT_FALSE(probe.contains("wrote"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/out.bmp"));
}

}  // namespace
