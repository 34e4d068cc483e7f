// The encoder, through the decoder: what it makes decodes to the target,
// with only what changed in the delta; and the pieces both share.

#include <gtest/gtest.h>

#include <string>

#include "editor/import/vcdiff/adler32.h"
#include "editor/import/vcdiff/code_table.h"
#include "editor/import/vcdiff/delta_decoder.h"
#include "editor/import/vcdiff/delta_encoder.h"
#include "editor/import/vcdiff/tests/delta_builder.h"

namespace {

using namespace vcdiff_tests;

Bytes Pattern(std::size_t length, std::uint32_t seed) {
  Bytes bytes(length);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  return bytes;
}

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

TEST(DeltaEncoder, WritesTheApplicationDataAndRefusesOtherLengths) {
  const Bytes source = Pattern(100, 4);
  vcdiff::EncodeOptions options;
  options.applicationData = [] { return Text("Kestrow"); };
  const vcdiff::DeltaHeader header =
      vcdiff::ReadDeltaHeader(vcdiff::EncodeSameLengthDelta(source, source, options), 100);
  ASSERT_TRUE(header.applicationData);
  EXPECT_EQ(*header.applicationData, Text("Kestrow"));
  EXPECT_THROW(vcdiff::EncodeSameLengthDelta(source, Pattern(99, 4), options), std::invalid_argument);
}

TEST(FirstDifference, FindsTheFirstDifferingByteAtOrAfterAPosition) {
  const Bytes a = Pattern(40, 5);
  const struct {
    std::size_t differsAt;  // SIZE_MAX: nowhere
    std::size_t from;
    std::size_t expected;
  } rows[] = {{SIZE_MAX, 0, 40}, {0, 0, 0}, {7, 0, 7}, {8, 0, 8}, {39, 0, 39}, {20, 21, 40}, {20, 20, 20}, {9, 3, 9}};
  for (const auto& row : rows) {
    Bytes b = a;
    if (row.differsAt != SIZE_MAX) b[row.differsAt] ^= 1;
    EXPECT_EQ(vcdiff::FirstDifference(a, b, row.from), row.expected) << row.differsAt << " from " << row.from;
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

// The opcodes the encoder picks stand for the instructions it means.
TEST(CodeTable, OpcodesStandForTheirInstructions) {
  using vcdiff::InstructionType;
  const auto& table = vcdiff::DefaultCodeTable();
  for (std::uint32_t size = 1; size < 40; ++size) {
    const vcdiff::HalfInstruction add = table[vcdiff::AddOpcode(size)].first;
    EXPECT_EQ(add.type, InstructionType::Add);
    EXPECT_EQ(add.size, vcdiff::AddOpcodeHasSize(size) ? size : 0u);
    for (std::uint8_t mode = 0; mode < vcdiff::kAddressModes; ++mode) {
      const vcdiff::HalfInstruction copy = table[vcdiff::CopyOpcode(size, mode)].first;
      EXPECT_EQ(copy.type, InstructionType::Copy);
      EXPECT_EQ(copy.size, vcdiff::CopyOpcodeHasSize(size) ? size : 0u);
      EXPECT_EQ(copy.mode, mode);
      for (std::uint32_t other = 1; other < 8; ++other) {
        if (const std::optional<std::uint8_t> pair = vcdiff::AddCopyOpcode(other, size, mode)) {
          const vcdiff::CodeEntry& entry = table[*pair];
          EXPECT_EQ(entry.first.type, InstructionType::Add);
          EXPECT_EQ(entry.first.size, other);
          EXPECT_EQ(entry.second.type, InstructionType::Copy);
          EXPECT_EQ(entry.second.size, size);
          EXPECT_EQ(entry.second.mode, mode);
        }
        if (const std::optional<std::uint8_t> pair = vcdiff::CopyAddOpcode(size, mode, other)) {
          const vcdiff::CodeEntry& entry = table[*pair];
          EXPECT_EQ(entry.first.type, InstructionType::Copy);
          EXPECT_EQ(entry.first.size, size);
          EXPECT_EQ(entry.first.mode, mode);
          EXPECT_EQ(entry.second.type, InstructionType::Add);
          EXPECT_EQ(entry.second.size, other);
        }
      }
    }
  }
  // Every pair the table has is found: 72 + 12 ADD then COPY, 9 COPY then ADD.
  int pairs = 0;
  for (std::uint32_t add = 1; add <= 4; ++add)
    for (std::uint32_t copy = 4; copy <= 6; ++copy)
      for (std::uint8_t mode = 0; mode < vcdiff::kAddressModes; ++mode)
        pairs += vcdiff::AddCopyOpcode(add, copy, mode).has_value();
  EXPECT_EQ(pairs, 84);
}

}  // namespace
