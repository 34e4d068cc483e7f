#include "editor/import/patch_description.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::span<const BYTE> Bytes(const std::string& text) {
  return {reinterpret_cast<const BYTE*>(text.data()), text.size()};
}

PatchDescription Example() {
  PatchDescription description;
  description.madeBy = "kestrow-cli 1.3.0";
  description.sourceLength = 10043844;
  for (std::size_t i = 0; i < description.sourceDigest.size(); ++i)
    description.sourceDigest[i] = static_cast<std::uint8_t>(i * 9);
  description.images = {{0, 4, 16361}, {3, 29, 1}, {5, 0, 138240}};
  return description;
}

TEST(PatchDescription, ReadsBackWhatItWrites) {
  const std::string text = FormatPatchDescription(Example());
  EXPECT_EQ(text.find('/'), std::string::npos) << "xdelta3 would take it for file names";
  const ParsedPatchDescription parsed = ParsePatchDescription(Bytes(text));
  ASSERT_TRUE(parsed.description) << parsed.error;
  EXPECT_EQ(*parsed.description, Example());
  EXPECT_NE(text.find("image 1 4 16361\n"), std::string::npos) << text;
}

TEST(PatchDescription, TellsOthersDataAndDamagedDescriptions) {
  const std::string start = "Kestrow patch 1\nsource-length 10\nsource-sha256 " + std::string(64, 'a') + "\n";
  const struct {
    const char* what;
    std::string text;
    const char* error;  // empty: not ours
  } rows[] = {
      {"xdelta3's file names", "mod.shp2//orig.shp2/", ""},
      {"nothing", "", ""},
      {"the first line alone, cut short", "Kestrow patch 1", ""},
      {"no source", "Kestrow patch 1\nmade-by x\n", "does not say which shapes file"},
      {"a length that is not a number", "Kestrow patch 1\nsource-length ten\n", "damaged line 'source-length ten'"},
      {"a short digest", "Kestrow patch 1\nsource-sha256 abc\n", "damaged line"},
      {"a digest in capitals", "Kestrow patch 1\nsource-sha256 " + std::string(64, 'A') + "\n", "damaged line"},
      {"set 9", start + "image 9 0 1\n", "damaged line"},
      {"set 0", start + "image 0 0 1\n", "damaged line"},
      {"texture 30", start + "image 1 30 1\n", "damaged line"},
      {"a second landscape image", start + "image 5 1 1\n", "damaged line"},
      {"no bytes changed", start + "image 1 0 0\n", "damaged line"},
      {"more bytes than the image has", start + "image 1 0 16385\n", "damaged line"},
      {"a fourth number", start + "image 1 0 1 1\n", "damaged line"},
      {"a last line without its end", start + "image 1 0 1", "middle of a line"},
      {"control characters shown as such", start + "image \x1b[2J\n", "damaged line 'image ?[2J'"},
  };
  for (const auto& row : rows) {
    const ParsedPatchDescription parsed = ParsePatchDescription(Bytes(row.text));
    EXPECT_FALSE(parsed.description) << row.what;
    EXPECT_NE(parsed.error.find(row.error), std::string::npos) << row.what << ": " << parsed.error;
    if (*row.error == '\0') {
      EXPECT_EQ(parsed.error, "") << row.what;
    }
  }
}

TEST(PatchDescription, SkipsLinesOfLaterVersions) {
  const std::string text =
      "Kestrow patch 1\nsource-length 10\nnew-key anything\nsource-sha256 " + std::string(64, '0') + "\n";
  const ParsedPatchDescription parsed = ParsePatchDescription(Bytes(text));
  ASSERT_TRUE(parsed.description) << parsed.error;
  EXPECT_EQ(parsed.description->sourceLength, 10u);
}

}  // namespace
