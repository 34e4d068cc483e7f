#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/codecs/picture_decoders.h"
#include "platform/codecs/tests/sample_pictures.h"
#include "platform/gdi/gdi.h"
#include "platform/testing/bitmap_pixels.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/temp_environment.h"

namespace kp::codecs::testing {
namespace {

using Decoder = std::optional<gdi::DecodedImage> (*)(std::span<const BYTE>, const DecodeLimits&);

// The decoder of a sample's format, by the start of its name.
Decoder DecoderOf(const std::string& name) {
  const struct {
    const char* prefix;
    Decoder decoder;
  } formats[] = {
      {"PNG", DecodePng},    {"JPEG", DecodeJpeg},  {"GIF", DecodeGif},      {"WebP", DecodeWebp},
      {"TIFF", DecodeTiff},  {"TGA", DecodeTga},    {"PBM", DecodeNetpbm},   {"PGM", DecodeNetpbm},
      {"PPM", DecodeNetpbm}, {"PAM", DecodeNetpbm}, {"ICO", DecodeIconFile}, {"CUR", DecodeIconFile},
  };
  for (const auto& f : formats)
    if (name.rfind(f.prefix, 0) == 0) return f.decoder;
  ADD_FAILURE() << "no decoder for " << name;
  return nullptr;
}

const std::vector<Sample>& AllSamples() {
  static const std::vector<Sample> samples = Samples();
  return samples;
}

const Sample& SampleNamed(const std::string& name) {
  for (const Sample& s : AllSamples())
    if (s.name == name) return s;
  throw std::runtime_error("no sample " + name);
}

// Fails with the first pixel that differs by more than the tolerance.
void ExpectPixels(const std::vector<std::uint32_t>& actual, const Sample& sample) {
  const std::vector<std::uint32_t> expected = OverWhite(sample.picture);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int a = static_cast<int>((actual[i] >> shift) & 255), e = static_cast<int>((expected[i] >> shift) & 255);
      if (std::abs(a - e) > sample.tolerance) {
        ADD_FAILURE() << "pixel " << i % sample.picture.width << " of row " << i / sample.picture.width
                      << " from the bottom: " << std::hex << actual[i] << " for " << expected[i];
        return;
      }
    }
  }
  EXPECT_EQ(actual[0] >> 24, 0u) << "no alpha byte in the bitmap layout";
}

// What the code run while it lives writes to the standard error descriptor,
// where C libraries print.
class StandardErrorCapture {
 public:
  StandardErrorCapture() : m_file(std::tmpfile()) {
    std::fflush(stderr);
    m_saved = dup(STDERR_FILENO);
    dup2(fileno(m_file), STDERR_FILENO);
  }
  ~StandardErrorCapture() { std::fclose(m_file); }
  std::string Stop() {
    std::fflush(stderr);
    dup2(m_saved, STDERR_FILENO);
    close(m_saved);
    std::string text;
    std::rewind(m_file);
    for (int c; (c = std::fgetc(m_file)) != EOF;) text += static_cast<char>(c);
    return text;
  }

 private:
  std::FILE* m_file;
  int m_saved = -1;
};

TEST(PictureFiles, DecodeEveryFormatAndVariantByContent) {
  for (const Sample& sample : AllSamples()) {
    SCOPED_TRACE(sample.name);
    const std::optional<gdi::DecodedImage> picture = DecodePictureFile(sample.file);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, sample.picture.width);
    EXPECT_EQ(picture->height, sample.picture.height);
    EXPECT_EQ(picture->bitsPerPixel, sample.bitsPerPixel);
    ExpectPixels(picture->pixels, sample);
  }
}

// No decoder takes another format's file for its own; above all TGA, which
// has no signature to go by.
TEST(PictureFiles, EachDecoderTakesOnlyItsOwnFormat) {
  const Decoder decoders[] = {DecodePng,  DecodeJpeg, DecodeGif,    DecodeWebp,
                              DecodeTiff, DecodeTga,  DecodeNetpbm, DecodeIconFile};
  for (const Sample& sample : AllSamples()) {
    const Decoder own = DecoderOf(sample.name);
    for (const Decoder decoder : decoders)
      EXPECT_EQ(decoder(sample.file, {}).has_value(), decoder == own) << sample.name;
  }
  const std::string text = "This is not a picture.\n";
  EXPECT_FALSE(DecodePictureFile(std::vector<BYTE>(text.begin(), text.end())));
  EXPECT_FALSE(DecodePictureFile({}));
}

TEST(PictureFiles, RefuseTruncatedFilesWithoutAWord) {
  StandardErrorCapture capture;
  for (const Sample& sample : AllSamples()) {
    // An icon file that loses its last image still has its first (see below).
    const bool icon = sample.name.rfind("ICO", 0) == 0;
    for (const std::size_t cut : {std::size_t{15}, sample.file.size() / 2, sample.file.size() * 3 / 4}) {
      if (icon && cut > 15) continue;
      EXPECT_FALSE(DecodePictureFile(std::span(sample.file).first(cut))) << sample.name << " cut at " << cut;
    }
  }
  EXPECT_EQ(capture.Stop(), "");
}

TEST(PictureFiles, IconFilesFallBackToAnImageThatIsWhole) {
  const Sample& icon = SampleNamed("ICO, the larger DIB image of two");
  const std::optional<gdi::DecodedImage> picture = DecodePictureFile(std::span(icon.file).first(icon.file.size() - 1));
  ASSERT_TRUE(picture) << "the small image is still whole";
  EXPECT_EQ(picture->width, 8);
}

// Damage in the places each format checks, one field at a time.
TEST(PictureFiles, RefuseDamagedFilesWithoutAWord) {
  const auto at = [](std::size_t offset, BYTE value) {
    return [=](std::vector<BYTE>& file) { file.at(offset) = value; };
  };
  const auto find = [](std::vector<BYTE>& file, const std::string& text) {
    const auto same = [](BYTE b, char c) { return b == static_cast<BYTE>(c); };
    return static_cast<std::size_t>(std::search(file.begin(), file.end(), text.begin(), text.end(), same) -
                                    file.begin());
  };
  const struct {
    const char* what;
    const char* sample;
    std::function<void(std::vector<BYTE>&)> damage;
  } rows[] = {
      {"PNG header's checksum", "PNG RGB 8", at(29, 0)},
      {"PNG data's checksum", "PNG RGB 8", [&](auto& f) { f.at(find(f, "IEND") - 5) ^= 1; }},
      {"JPEG of no width", "JPEG baseline",
       [&](auto& f) { f.at(find(f, "\xFF\xC0") + 7) = 0, f.at(find(f, "\xFF\xC0") + 8) = 0; }},
      {"JPEG progressive scan of a table never defined", "JPEG progressive",
       [&](auto& f) { f.at(find(f, "\xFF\xDA") + 6) = 0x77; }},
      {"GIF code size beyond 12 bits", "GIF", at(13 + 3 * 64 + 10, 13)},  // after the screen and its 64 colours
      {"WebP chunk longer than the file", "WebP lossless", at(18, 0x7F)},
      {"TIFF directory beyond the end", "TIFF RGB strips", at(7, 0x7F)},
      {"TGA image type 4", "TGA 24", at(2, 4)},
      {"TGA interleaved rows", "TGA 24", at(17, 0x40)},
      {"TGA colour index beyond the map", "TGA colour-mapped", [](auto& f) { f.back() = 200; }},
      {"TGA run-length packet past the end", "TGA 24 run-length", [](auto& f) { f.pop_back(); }},
      {"PGM sample above the largest value", "PGM plain, largest value 15",
       [](auto& f) { f.insert(f.end() - 2, '9'); }},
      {"PAM of an unknown key", "PAM grey", [&](auto& f) { f.at(find(f, "TUPLTYPE")) = 'X'; }},
      {"PBM of no height", "PBM raw",
       [&](auto& f) { f.at(find(f, "21 19") + 3) = '0', f.at(find(f, "21 0") + 4) = ' '; }},
      {"ICO entry beyond the end", "CUR", at(21, 0x7F)},
  };
  StandardErrorCapture capture;
  for (const auto& row : rows) {
    std::vector<BYTE> file = SampleNamed(row.sample).file;
    row.damage(file);
    EXPECT_FALSE(DecodePictureFile(file)) << row.what;
  }
  EXPECT_EQ(capture.Stop(), "");
}

// Every decoder checks the size before it takes pixel memory: at the limit
// the picture decodes, one pixel below it nothing larger does.
TEST(PictureFiles, DecodeNothingLargerThanTheLimits) {
  for (const Sample& sample : AllSamples()) {
    const std::uint64_t pixels = static_cast<std::uint64_t>(sample.picture.width) * sample.picture.height;
    EXPECT_TRUE(DecodePictureFile(sample.file, {pixels})) << sample.name;
    const std::optional<gdi::DecodedImage> below = DecodePictureFile(sample.file, {pixels - 1});
    EXPECT_TRUE(!below || below->pixels.size() < pixels) << sample.name;
  }
}

// A 150 x 90 picture, as a 24-bit TGA file, loads through LoadImage in both
// forms; its sky is one colour, so that run-length packets reach their
// longest.
TEST(PictureFiles, LoadImageReadsTgaFiles) {
  const kp::testing::Picture picture = kp::testing::MakePicture(150, 90, [](int x, int y) {
    return y < 40 ? 0xFF87CEEBu : 0xFF000000u | (static_cast<std::uint32_t>(x * 255 / 149) << 16) | (y * 2u << 8) | 40u;
  });
  for (const BYTE type : {BYTE{2}, BYTE{10}}) {
    SCOPED_TRACE(type == 2 ? "uncompressed" : "run-length");
    const std::string path = kp::testing::TemporaryRoot() + "/g.tga";
    ASSERT_TRUE(kp::testing::WriteFileBytes(path, TgaFile(picture, {.type = type})));
    gdi::ScopedBitmap bitmap(
        static_cast<HBITMAP>(LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    ASSERT_TRUE(bitmap);
    BITMAP bm{};
    ASSERT_EQ(GetObject(bitmap.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 150);
    EXPECT_EQ(bm.bmHeight, 90);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    ExpectPixels(kp::testing::BitmapPixels(bitmap.get(), 150, 90), Sample{"", {}, picture, 24});
  }
}

}  // namespace
}  // namespace kp::codecs::testing
