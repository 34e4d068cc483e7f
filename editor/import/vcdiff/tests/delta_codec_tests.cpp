// The encoder, through the decoder: what it makes decodes to the target,
// with only what changed in the delta; and the checksum both use.

#include <gtest/gtest.h>

#include <string>

#include "editor/import/vcdiff/adler32.h"
#include "editor/import/vcdiff/delta_decoder.h"
#include "editor/import/vcdiff/delta_encoder.h"
#include "editor/import/vcdiff/tests/delta_builder.h"

namespace {

using namespace vcdiff_tests;

Bytes DecodeWhole(const Bytes& delta, const Bytes& source) {
  vcdiff::WholeTarget target;
  vcdiff::DecodeDelta(delta, source, {source.size()}, target);
  return target.Bytes();
}

struct ChangeRow {
  const char* what;
  std::vector<std::pair<std::size_t, std::size_t>> changed;  // offset, length: bytes replaced
  std::size_t runAt = SIZE_MAX;                              // a run of one byte written there
};

TEST(DeltaEncoder, EveryChangeDecodesToTheTarget) {
  constexpr std::size_t kLength = 5000;
  // clang-format off
  const ChangeRow rows[] = {
      {"nothing", {}},
      {"the first byte", {{0, 1}}},
      {"the last byte", {{kLength - 1, 1}}},
      {"across a window's end", {{1020, 8}}},
      {"changes as far apart as merging allows, and one more", {{100, 1}, {104, 1}, {109, 1}}},
      {"many short changes", {{10, 2}, {30, 5}, {50, 1}, {51, 1}, {60, 17}, {90, 18}, {200, 300}}},
      {"everything", {{0, kLength}}},
      {"a run of one byte", {}, 2000},
  };
  // clang-format on
  const Bytes source = Pattern(kLength, 1);
  for (const ChangeRow& row : rows) {
    Bytes target = source;
    for (const auto& [offset, length] : row.changed)
      for (std::size_t i = offset; i < offset + length; ++i) target[i] = static_cast<std::uint8_t>(~source[i]);
    if (row.runAt != SIZE_MAX) std::fill_n(target.begin() + static_cast<std::ptrdiff_t>(row.runAt), 100, 0x42);
    for (const bool compress : {true, false}) {
      vcdiff::EncodeOptions options;
      options.windowSize = 1024;
      options.compress = compress;
      const Bytes delta = vcdiff::EncodeSameLengthDelta(source, target, options);
      EXPECT_EQ(DecodeWhole(delta, source), target) << row.what << (compress ? "" : ", uncompressed");
    }
  }
}

// Unchanged bytes cost next to nothing: COPY instructions, not data.
TEST(DeltaEncoder, HoldsOnlyWhatChanged) {
  const Bytes source = Pattern(1 << 20, 2);
  Bytes target = source;
  const Bytes picture = Pattern(4096, 3);
  std::copy(picture.begin(), picture.end(), target.begin() + 300000);
  for (const bool compress : {true, false}) {
    vcdiff::EncodeOptions options;
    options.compress = compress;
    const Bytes same = vcdiff::EncodeSameLengthDelta(source, source, options);
    EXPECT_LT(same.size(), 32u);
    const Bytes changed = vcdiff::EncodeSameLengthDelta(source, target, options);
    EXPECT_GT(changed.size(), 4096u) << "random bytes do not compress";
    EXPECT_LT(changed.size(), 4096u + 128u);
  }
}

std::uint32_t ByteByByteAdler32(const Bytes& bytes) {
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const std::uint8_t byte : bytes) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

TEST(Adler32, MatchesTheDefinitionAtEveryLength) {
  EXPECT_EQ(vcdiff::Adler32(Text("Wikipedia")), 0x11E60398u);
  // Around the blocks of sixteen and the runs between two modulos, and the
  // largest bytes, whose sums come nearest to overflowing.
  for (const std::size_t length : {0u, 1u, 15u, 16u, 17u, 5551u, 5552u, 5553u, 5568u, 20000u}) {
    const Bytes random = Pattern(length, 6);
    EXPECT_EQ(vcdiff::Adler32(random), ByteByByteAdler32(random)) << length;
    const Bytes largest(length, 0xFF);
    EXPECT_EQ(vcdiff::Adler32(largest), ByteByByteAdler32(largest)) << length << " bytes of 0xFF";
  }
}

}  // namespace
