#include "tools/make_art/zlib_stream.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace make_art {
namespace {

// zlib itself, through Qt, undoes the stream: qUncompress takes the
// expected length first, as four big-endian bytes.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& stream, std::size_t expected) {
  QByteArray input;
  for (int shift = 24; shift >= 0; shift -= 8) input.append(static_cast<char>(expected >> shift));
  input.append(reinterpret_cast<const char*>(stream.data()), static_cast<qsizetype>(stream.size()));
  const QByteArray output = qUncompress(input);
  return std::vector<std::uint8_t>(output.begin(), output.end());
}

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t (*at)(std::size_t)) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = at(i);
  return bytes;
}

TEST(ZlibCompress, ZlibInflatesEveryKindOfInputBackExactly) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> noise(70000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  const struct {
    const char* what;
    std::vector<std::uint8_t> data;
  } rows[] = {
      {"one byte", {0x42}},
      {"every byte value once", Bytes(256, [](std::size_t i) { return static_cast<std::uint8_t>(i); })},
      {"a run longer than the longest match", std::vector<std::uint8_t>(1000, 0)},
      {"a pattern that repeats from far back",
       Bytes(20000, [](std::size_t i) { return static_cast<std::uint8_t>((i % 4099) * 7); })},
      {"noise past the window, with nothing to match", noise},
  };
  for (const auto& row : rows) {
    const std::vector<std::uint8_t> stream = ZlibCompress(row.data);
    EXPECT_EQ(Inflate(stream, row.data.size()), row.data) << row.what;
  }
}

TEST(ZlibCompress, RepetitionShrinks) {
  const std::vector<std::uint8_t> zeros(65536, 0);
  EXPECT_LT(ZlibCompress(zeros).size(), 700u);
}

TEST(ZlibCompress, EndsWithTheAdlerChecksumOfTheInput) {
  const std::string text = "Wikipedia";
  const std::vector<std::uint8_t> data(text.begin(), text.end());
  EXPECT_EQ(Adler32(data), 0x11E60398u);  // the worked example of RFC 1950's checksum
  const std::vector<std::uint8_t> stream = ZlibCompress(data);
  ASSERT_GE(stream.size(), 6u);
  EXPECT_EQ(std::vector<std::uint8_t>(stream.end() - 4, stream.end()),
            (std::vector<std::uint8_t>{0x11, 0xE6, 0x03, 0x98}));
}

}  // namespace
}  // namespace make_art
