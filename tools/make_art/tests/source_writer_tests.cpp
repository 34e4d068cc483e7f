#include "tools/make_art/source_writer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace make_art {
namespace {

TEST(WriteSource, WritesOneArrayAndSpanPerResource) {
  std::vector<std::uint8_t> seventeen(17);
  for (int i = 0; i < 17; ++i) seventeen[i] = static_cast<std::uint8_t>(i * 15);
  std::ostringstream out;
  WriteSource(out, "lib/data.h", "lib_data", {{"kSmall", {0x00, 0xAB}}, {"kRow", seventeen}});
  EXPECT_EQ(out.str(),
            "// Written by make-art when the program is built; the pictures are drawn in\n"
            "// tools/make_art. Do not edit.\n"
            "\n"
            "#include \"lib/data.h\"\n"
            "\n"
            "namespace lib_data {\n"
            "\n"
            "namespace {\n"
            "constexpr BYTE kSmallBytes[2] = {\n"
            "    0x00, 0xab,\n"
            "};\n"
            "}  // namespace\n"
            "constinit const std::span<const BYTE> kSmall{kSmallBytes};\n"
            "\n"
            "namespace {\n"
            "constexpr BYTE kRowBytes[17] = {\n"
            "    0x00, 0x0f, 0x1e, 0x2d, 0x3c, 0x4b, 0x5a, 0x69, 0x78, 0x87, 0x96, 0xa5, 0xb4, 0xc3, 0xd2, 0xe1,\n"
            "    0xf0,\n"
            "};\n"
            "}  // namespace\n"
            "constinit const std::span<const BYTE> kRow{kRowBytes};\n"
            "\n"
            "}  // namespace lib_data\n");
}

}  // namespace
}  // namespace make_art
