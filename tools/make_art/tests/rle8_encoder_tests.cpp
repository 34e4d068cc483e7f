#include "tools/make_art/rle8_encoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/dib_decoder.h"
#include "tools/make_art/packed_dib.h"

namespace make_art {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Row(std::initializer_list<int> values) {
  Bytes row;
  for (int v : values) row.push_back(static_cast<std::uint8_t>(v));
  return row;
}

Bytes Repeat(std::size_t count, std::uint8_t value) { return Bytes(count, value); }

Bytes EncodeRow(const Bytes& row) {
  Bytes out;
  EncodeRle8Row(row, out);
  return out;
}

struct RowCase {
  const char* what;
  Bytes row;
  Bytes expected;
};

// Each expectation is the shortest encoding, worked out by hand.
TEST(EncodeRle8Row, WritesTheShortestTokens) {
  // clang-format off
  const RowCase cases[] = {
      {"one pixel", Row({5}), Row({1, 5})},
      {"a run of two", Row({5, 5}), Row({2, 5})},
      {"two different pixels: absolute runs start at three", Row({1, 2}), Row({1, 1, 1, 2})},
      {"three different pixels: as long as three runs, in fewer tokens", Row({1, 2, 3}), Row({0, 3, 1, 2, 3, 0})},
      {"four different pixels", Row({1, 2, 3, 4}), Row({0, 4, 1, 2, 3, 4})},
      {"an odd absolute run is padded", Row({1, 2, 3, 4, 5}), Row({0, 5, 1, 2, 3, 4, 5, 0})},
      {"a run of three", Row({7, 7, 7}), Row({3, 7})},
      {"absolute run then encoded run", Row({1, 2, 3, 4, 9, 9, 9, 9, 9, 9}), Row({0, 4, 1, 2, 3, 4, 6, 9})},
      {"an absolute run takes a pixel of the next run rather than a pad byte", Row({1, 2, 3, 9, 9, 9, 9}),
       Row({0, 4, 1, 2, 3, 9, 3, 9})},
      {"an odd absolute run at the end of the row is padded", Row({9, 9, 9, 9, 1, 2, 3}),
       Row({4, 9, 0, 3, 1, 2, 3, 0})},
      {"a pair inside an absolute run stays in it", Row({1, 2, 3, 3, 4, 5, 6}),
       Row({0, 7, 1, 2, 3, 3, 4, 5, 6, 0})},
      {"a short run stays inside an absolute run", Row({1, 2, 3, 8, 8, 8, 8, 8, 8, 4, 5, 6}),
       Row({0, 12, 1, 2, 3, 8, 8, 8, 8, 8, 8, 4, 5, 6})},
      {"a long run splits an absolute run", Row({1, 2, 3, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 4, 5, 6}),
       Row({0, 4, 1, 2, 3, 8, 9, 8, 0, 3, 4, 5, 6, 0})},
      {"255 alike fit one run", Repeat(255, 9), Row({255, 9})},
      {"256 alike need two runs", Repeat(256, 9), Row({255, 9, 1, 9})},
      {"300 alike", Repeat(300, 4), Row({255, 4, 45, 4})},
      {"510 alike", Repeat(510, 0), Row({255, 0, 255, 0})},
  };
  // clang-format on
  for (const RowCase& c : cases) EXPECT_EQ(EncodeRow(c.row), c.expected) << c.what;
}

// Rows with no two neighbours alike: one absolute run can hold at most 255
// pixels, so 256 pixels take an absolute run of 255 and a run of one.
TEST(EncodeRle8Row, SplitsAbsoluteRunsLongerThan255) {
  Bytes ramp, alternating;
  for (int i = 0; i < 256; ++i) {
    ramp.push_back(static_cast<std::uint8_t>(i));
    alternating.push_back(i % 2 ? 200 : 17);
  }
  for (const Bytes& row : {ramp, alternating}) {
    const Bytes out = EncodeRow(row);
    ASSERT_EQ(out.size(), 260u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 255);
    EXPECT_EQ(out[257], 0) << "pad byte";
    EXPECT_EQ(out[258], 1);
    EXPECT_EQ(out[259], row[255]);
  }
}

// A picture made of indices with grey level = index, so decoded colours
// give the indices back.
std::optional<Bytes> DecodeThroughPlatform(const Bytes& pixels, int width, int height) {
  IndexedImage image(width, height);
  image.pixels = pixels;
  std::array<Rgb, 256> greys{};
  for (int i = 0; i < 256; ++i)
    greys[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)};
  const Bytes dib = MakeRle8Dib(image, greys);
  const std::optional<kp::gdi::DecodedImage> decoded = kp::gdi::DecodePackedDib(dib);
  if (!decoded || decoded->width != width || decoded->height != height) return std::nullopt;
  Bytes out(pixels.size());
  for (int y = 0; y < height; ++y)  // the decoder gives the bottom row first
    for (int x = 0; x < width; ++x)
      out[static_cast<std::size_t>(y) * width + x] =
          static_cast<std::uint8_t>(decoded->pixels[static_cast<std::size_t>(height - 1 - y) * width + x] & 0xFF);
  return out;
}

TEST(EncodeRle8, WritesRowsBottomUpWithEndOfLineAndEndOfBitmap) {
  const Bytes pixels = Row({1, 1,    // top row
                            2, 2});  // bottom row
  EXPECT_EQ(EncodeRle8(pixels, 2, 2), Row({2, 2, 0, 0, 2, 1, 0, 1}));
}

TEST(EncodeRle8, RowsOfOneColourAreRunsOnly) {
  const Bytes pixels(256 * 3, 42);
  EXPECT_EQ(EncodeRle8(pixels, 256, 3), Row({255, 42, 1, 42, 0, 0, 255, 42, 1, 42, 0, 0, 255, 42, 1, 42, 0, 1}));
  EXPECT_EQ(DecodeThroughPlatform(pixels, 256, 3), pixels);
}

TEST(EncodeRle8, AnEmptyPictureIsJustTheEndOfBitmap) { EXPECT_EQ(EncodeRle8({}, 4, 0), Row({0, 1})); }

// Pictures of every kind of row: flat, noisy, alternating, short and long
// runs, at widths around the 255-pixel limits. Each must come back exactly
// through the platform's own decoder, in whole 16-bit words, never longer
// than writing every row as plain runs.
TEST(EncodeRle8, RoundTripsThroughThePlatformDecoder) {
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 16;
  };
  for (const int width : {1, 2, 3, 4, 5, 7, 16, 31, 254, 255, 256, 257, 300, 511, 512}) {
    const int height = 9;
    Bytes pixels;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width;) {
        const std::uint8_t value = static_cast<std::uint8_t>(next());
        const int kind = static_cast<int>(next() % 4);
        const int length = kind == 0   ? 1
                           : kind == 1 ? 2 + static_cast<int>(next() % 3)
                           : kind == 2 ? static_cast<int>(next() % 400)
                                       : 1;
        for (int k = 0; k < length && x < width; ++k, ++x)
          pixels.push_back(kind == 3 ? static_cast<std::uint8_t>(next()) : (y == 4 ? 77 : value));
      }
    }
    const Bytes encoded = EncodeRle8(pixels, width, height);
    EXPECT_EQ(encoded.size() % 2, 0u) << width;
    std::size_t plainRuns = 2 * height;  // the escapes
    for (std::size_t i = 0, run = 0; i < pixels.size(); ++i) {
      const bool continues = i % width != 0 && pixels[i] == pixels[i - 1] && run < 255;
      run = continues ? run + 1 : 1;
      if (!continues) plainRuns += 2;
    }
    EXPECT_LE(encoded.size(), plainRuns) << width;
    EXPECT_EQ(DecodeThroughPlatform(pixels, width, height), pixels) << width;
  }
}

// No absolute run shorter than three (counts 1 and 2 would read as escapes)
// and no count of zero in an encoded run.
TEST(EncodeRle8, WritesOnlyValidTokens) {
  Bytes pixels;
  for (int i = 0; i < 256 * 8; ++i) pixels.push_back(static_cast<std::uint8_t>((i * 7 / 3) % 5 == 0 ? i : i / 4));
  const Bytes encoded = EncodeRle8(pixels, 256, 8);
  int rows = 0;
  for (std::size_t i = 0; i + 1 < encoded.size();) {
    const int count = encoded[i], value = encoded[i + 1];
    i += 2;
    if (count > 0) continue;
    if (value == 0 || value == 1) {
      ++rows;
      continue;
    }
    ASSERT_NE(value, 2) << "no delta escapes are written";
    ASSERT_GE(value, 3);
    i += value + (value & 1);
  }
  EXPECT_EQ(rows, 8);
}

}  // namespace
}  // namespace make_art
