#pragma once
// Shared pieces of the command tests: the tool run in process with its
// output captured, shapes files built by code in a folder of the test's
// own, bitmap files by the tests' own writer, and the tool's bitmap files
// read byte by byte here, so that the checks do not depend on the writer
// and reader under test.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "editor/shapes/gamma.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "platform/base/win_types.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/temp_environment.h"
#include "tools/kestrow_cli/cli_output.h"
#include "tools/kestrow_cli/cli_run.h"

namespace cli_tests {

using Lines = std::vector<std::string>;

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline CliResult RunTool(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  CliResult result;
  result.status = RunCli(arguments, CliOutput{out, err});
  result.out = out.str();
  result.err = err.str();
  return result;
}

using kp::testing::TestFolder;
inline std::vector<BYTE> ReadBytes(const std::string& path) { return kp::testing::ReadFileBytes(path); }
inline void WriteFileBytes(const std::string& path, const std::vector<BYTE>& bytes) {
  kp::testing::WriteFileBytes(path, bytes);
}

// The sample shapes file, written as shapes.shp2 in a folder of the test's own.
struct SampleShapes {
  SampleShapes() { builder.WriteFile(shapes); }
  sample_shapes::ShapesFileBuilder builder;
  std::string folder = TestFolder();
  std::string shapes = folder + "/shapes.shp2";
};

// A shapes file in a folder of the test's own, with the folder the
// pictures come from beside it; `before` holds the bytes written.
struct ShapesBesidePictures {
  explicit ShapesBesidePictures(const std::string& picturesName, ULONGLONG length = kExpectedShapesFileSize)
      : pictures(folder + "/" + picturesName), before(builder.Build(length)) {
    sample_shapes::WriteBytes(shapes, before);
    std::filesystem::create_directory(pictures);
  }
  sample_shapes::ShapesFileBuilder builder;
  std::string folder = TestFolder();
  std::string shapes = folder + "/shapes.shp2";
  std::string pictures;
  std::vector<BYTE> before;
};

inline DWORD LittleEndianAt(const std::vector<BYTE>& bytes, std::size_t at, int count) {
  DWORD value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes.at(at + static_cast<std::size_t>(i));
  return value;
}

// A photo-like 24-bit bitmap file: smooth gradients, grain and hard edges,
// so that scaling, the nearest-colour search and dithering all have work.
inline std::vector<BYTE> PhotoBitmap24(int width, int height, int seed) {
  return kp::testing::BitmapFile24(width, height, [=](int x, int y) {
    std::uint32_t n = (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u) ^
                      static_cast<std::uint32_t>(seed);
    n = (n ^ (n >> 13)) * 1274126177u;
    const int grain = static_cast<int>(n >> 28) - 8;
    const int edge = (x * 3 + y * 2 + seed * 11) % 97 < 40 ? 50 : 0;
    const auto channel = [&](int v) { return static_cast<DWORD>(std::clamp(v + grain, 0, 255)); };
    return (channel(x * 255 / width - edge / 2 + 20) << 16) | (channel(y * 255 / height + edge) << 8) |
           channel((x + y) * 128 / (width + height) + 60 + seed);
  });
}

// What a 24-bit bitmap file written by the tool holds.
struct BitmapFile24 {
  int width = 0;
  int height = 0;
  std::vector<BYTE> bytes;

  explicit BitmapFile24(const std::string& path) : bytes(ReadBytes(path)) {
    if (bytes.size() < 54) return;
    width = static_cast<int>(LittleEndianAt(bytes, 18, 4));
    height = static_cast<int>(LittleEndianAt(bytes, 22, 4));
  }
  bool IsBitmap24() const {
    return bytes.size() >= 54 && bytes[0] == 'B' && bytes[1] == 'M' && LittleEndianAt(bytes, 28, 2) == 24 &&
           LittleEndianAt(bytes, 2, 4) == bytes.size();
  }
  // Pixel (x, y), y from the top, as 0x00RRGGBB.
  DWORD Pixel(int x, int y) const {
    const std::size_t stride = static_cast<std::size_t>((width * 3 + 3) & ~3);
    return LittleEndianAt(bytes,
                          54 + stride * static_cast<std::size_t>(height - 1 - y) + 3 * static_cast<std::size_t>(x), 3);
  }
};

// The colour the builder's colour table gives entry `index` without the
// gamma curve, as 0x00RRGGBB.
inline DWORD RawColour(const sample_shapes::BlockSpec& block, int index) {
  const sample_shapes::ColourEntry& entry = block.colours.at(static_cast<std::size_t>(index));
  return (static_cast<DWORD>(entry.red >> 8) << 16) | (static_cast<DWORD>(entry.green >> 8) << 8) |
         static_cast<DWORD>(entry.blue >> 8);
}

inline DWORD Corrected(DWORD raw) {
  return (static_cast<DWORD>(GammaCorrect(static_cast<BYTE>(raw >> 16))) << 16) |
         (static_cast<DWORD>(GammaCorrect(static_cast<BYTE>(raw >> 8))) << 8) | GammaCorrect(static_cast<BYTE>(raw));
}

// The colour Load Set shows for a stored index: indices above 230 show
// entry 230.
inline DWORD Shown(const sample_shapes::BlockSpec& block, int stored, bool gamma) {
  const DWORD raw = RawColour(block, std::min(stored, 230));
  return gamma ? Corrected(raw) : raw;
}

// The index a colour shown from entry `stored` is written back as: the
// lowest entry of the same colour.
inline BYTE WrittenBack(const sample_shapes::BlockSpec& block, int stored, bool gamma) {
  const DWORD colour = Shown(block, stored, gamma);
  for (int i = 0; i < block.colourCount; ++i)
    if ((gamma ? Corrected(RawColour(block, i)) : RawColour(block, i)) == colour) return static_cast<BYTE>(i);
  return 0;
}

// The names in a folder, sorted: what a command left behind, temporary
// files included.
inline std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace cli_tests
