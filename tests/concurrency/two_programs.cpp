#include "tests/concurrency/two_programs.h"

#include <cstdio>
#include <filesystem>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "platform/testing/bmp_writer.h"

namespace concurrency {

void Outcomes::Print(const std::string& what, int rounds) const {
  std::string line = what + ", " + std::to_string(rounds) + " rounds:";
  const char* separator = " ";
  for (const auto& [outcome, count] : m_counts) {
    line += separator + outcome + " " + std::to_string(count);
    separator = ", ";
  }
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void WriteSlotPictures(const std::string& folder, int first, int last, DWORD tint, int width, int height) {
  std::filesystem::create_directories(folder);
  for (int slot = first; slot <= last; ++slot) {
    char name[32];
    std::snprintf(name, sizeof name, "slot-%02d.bmp", slot);
    sample_shapes::WriteBytes(
        folder + "/" + name, kp::testing::BitmapFile24(width, height, [=](int x, int y) {
          return (tint ^ static_cast<DWORD>((x * 3 + slot * 17) << 8 | (y * 5 + slot))) & 0xFFFFFF;
        }));
  }
}

}  // namespace concurrency
