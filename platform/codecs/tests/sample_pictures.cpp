#include "platform/codecs/tests/sample_pictures.h"

#include <algorithm>
#include <map>

#include "platform/testing/bmp_writer.h"

namespace kp::codecs::testing {

namespace {

using kp::testing::MakePicture;
using kp::testing::Picture;
using kp::testing::PutDword;
using kp::testing::PutWord;

// Odd sizes, so that rows end mid-byte, GIF and PNG interlacing passes are
// partly filled and TIFF tiles of 16 hang over the edge.
constexpr int kWidth = 21;
constexpr int kHeight = 19;

constexpr std::uint32_t Argb(unsigned a, unsigned r, unsigned g, unsigned b) {
  return (a << 24) | ((r & 255) << 16) | ((g & 255) << 8) | (b & 255);
}

Picture Opaque() {
  return MakePicture(kWidth, kHeight, [](int x, int y) { return Argb(255, x * 12, y * 13, x * y * 7); });
}

// Transparent, half and fully opaque pixels, and levels between.
Picture Translucent() {
  static constexpr unsigned kAlpha[] = {0, 64, 128, 200, 255};
  return MakePicture(kWidth, kHeight,
                     [](int x, int y) { return Argb(kAlpha[(x + y) % 5], 250 - x * 11, y * 13, 40 + x * y); });
}

// Grey levels that `depth` bits hold exactly.
Picture Grey(int depth, bool alpha = false) {
  const unsigned levels = (1u << std::min(depth, 8)) - 1;
  return MakePicture(kWidth, kHeight, [=](int x, int y) {
    const unsigned v = (static_cast<unsigned>(x + 3 * y) % (levels + 1)) * 255 / levels;
    return Argb(alpha ? (x % 3) * 127 + (x % 3 == 2) : 255, v, v, v);
  });
}

enum class AlphaKind { kOpaque, kBinary, kGraded };

// `n` colours; with alpha, every third is transparent (and, graded, every
// third half so).
Picture FewColours(unsigned n, AlphaKind alpha) {
  return MakePicture(kWidth, kHeight, [=](int x, int y) {
    const unsigned i = static_cast<unsigned>(x * 3 + y * 7) % n;
    const unsigned a = alpha == AlphaKind::kOpaque       ? 255
                       : i % 3 == 0                      ? 0
                       : alpha == AlphaKind::kGraded && i % 3 == 1 ? 128
                                                                   : 255;
    return Argb(a, i * 53 + 10, i * 101, 255 - i * 37);
  });
}

// Gradients, for the lossy formats.
Picture Smooth(bool alpha = false) {
  return MakePicture(kWidth, kHeight, [=](int x, int y) {
    return Argb(alpha ? (x < 7 ? 255 : x < 14 ? 128 : 0) : 255, 40 + x * 8, 60 + y * 7, 128 + (x - y) * 3);
  });
}

Picture SmoothGrey() {
  return MakePicture(kWidth, kHeight, [](int x, int y) {
    const unsigned v = 30 + static_cast<unsigned>(x * 6 + y * 4);
    return Argb(255, v, v, v);
  });
}

Picture BlackAndWhite() {
  return MakePicture(kWidth, kHeight, [](int x, int y) { return (x * y + x) % 3 == 0 ? 0xFF000000u : 0xFFFFFFFFu; });
}

// Channels of five bits widened to eight; alpha all or nothing.
Picture FiveBits(bool alpha) {
  return MakePicture(kWidth, kHeight, [=](int x, int y) {
    const auto widen = [](unsigned five) { return (five << 3) | (five >> 2); };
    return Argb(alpha && (x + y) % 4 == 0 ? 0 : 255, widen(x % 32), widen((y * 3) % 32), widen((x + y) % 32));
  });
}

// Blocks of five pixels, the same on two rows, and the last block of a row
// the colour of the next row's first: runs that run-length packets repeat,
// also across rows. Alpha, where asked for, goes with the block.
Picture Blocky(bool alpha = false, bool grey = false) {
  return MakePicture(kWidth, kHeight, [=](int x, int y) {
    const unsigned block = static_cast<unsigned>((x + 2) / 5 % 4);
    const unsigned a = alpha ? block % 3 * 127 + (block % 3 == 2) : 255;
    return grey ? Argb(a, block * 85, block * 85, block * 85) : Argb(a, block * 60, (y / 2) * 30, 90);
  });
}

Picture WithAlpha(Picture picture, unsigned alpha) {
  for (std::uint32_t& p : picture.argb) p = (p & 0x00FFFFFF) | (alpha << 24);
  return picture;
}

BYTE Red(std::uint32_t p) { return static_cast<BYTE>(p >> 16); }
BYTE Green(std::uint32_t p) { return static_cast<BYTE>(p >> 8); }
BYTE Blue(std::uint32_t p) { return static_cast<BYTE>(p); }
BYTE Alpha(std::uint32_t p) { return static_cast<BYTE>(p >> 24); }

std::vector<std::uint32_t> DistinctColours(const Picture& picture) {
  std::vector<std::uint32_t> colours;
  for (const std::uint32_t p : picture.argb)
    if (std::find(colours.begin(), colours.end(), p) == colours.end()) colours.push_back(p);
  return colours;
}

void PutTgaColour(std::vector<BYTE>& out, std::uint32_t p, unsigned bits, bool premultiplied) {
  if (bits == 15 || bits == 16) {
    const unsigned v = (bits == 16 && Alpha(p) >= 128 ? 0x8000u : 0u) | ((Red(p) >> 3u) << 10) |
                       ((Green(p) >> 3u) << 5) | (Blue(p) >> 3u);
    PutWord(out, v);
    return;
  }
  const auto channel = [&](BYTE c) { return premultiplied ? static_cast<BYTE>((c * Alpha(p) + 127) / 255) : c; };
  out.insert(out.end(), {channel(Blue(p)), channel(Green(p)), channel(Red(p))});
  if (bits == 32) out.push_back(Alpha(p));
}

// Run-length packets of `values` (each `size` bytes): repeats as runs,
// everything else as literal packets, across rows.
std::vector<BYTE> RunLengthPackets(const std::vector<BYTE>& values, std::size_t size) {
  std::vector<BYTE> out;
  const std::size_t count = values.size() / size;
  const auto same = [&](std::size_t a, std::size_t b) {
    return std::equal(values.begin() + static_cast<std::ptrdiff_t>(a * size),
                      values.begin() + static_cast<std::ptrdiff_t>((a + 1) * size),
                      values.begin() + static_cast<std::ptrdiff_t>(b * size));
  };
  for (std::size_t i = 0; i < count;) {
    std::size_t n = 1;
    if (i + 1 < count && same(i, i + 1)) {
      while (i + n < count && n < 128 && same(i, i + n)) ++n;
      out.push_back(static_cast<BYTE>(0x80 | (n - 1)));
      out.insert(out.end(), values.begin() + static_cast<std::ptrdiff_t>(i * size),
                 values.begin() + static_cast<std::ptrdiff_t>((i + 1) * size));
    } else {
      while (i + n < count && n < 128 && !(i + n + 1 < count && same(i + n, i + n + 1))) ++n;
      out.push_back(static_cast<BYTE>(n - 1));
      out.insert(out.end(), values.begin() + static_cast<std::ptrdiff_t>(i * size),
                 values.begin() + static_cast<std::ptrdiff_t>((i + n) * size));
    }
    i += n;
  }
  return out;
}

std::string NetpbmHeader(const char* magic, unsigned maxValue) {
  std::string header = std::string(magic) + "\n# made by a test\n" + std::to_string(kWidth) + " " +
                       std::to_string(kHeight) + "\n";
  return maxValue ? header + std::to_string(maxValue) + "\n" : header;
}

std::vector<BYTE> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Plain PBM: digits, run together on even rows and spaced on odd ones.
std::vector<BYTE> PlainPbm(const Picture& picture) {
  std::string text = NetpbmHeader("P1", 0);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      text += Red(picture.argb[static_cast<std::size_t>(y * picture.width + x)]) ? '0' : '1';
      if (y % 2) text += ' ';
    }
    text += '\n';
  }
  return Bytes(text);
}

std::vector<BYTE> RawPbm(const Picture& picture) {
  std::vector<BYTE> out = Bytes(NetpbmHeader("P4", 0));
  for (int y = 0; y < picture.height; ++y) {
    std::vector<BYTE> row(static_cast<std::size_t>((picture.width + 7) / 8), 0);
    for (int x = 0; x < picture.width; ++x)
      if (!Red(picture.argb[static_cast<std::size_t>(y * picture.width + x)]))
        row[static_cast<std::size_t>(x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

// The samples of each pixel (`channels` of grey, grey and alpha, RGB, RGB
// and alpha), scaled from 0..255 to 0..maxValue; two bytes when it exceeds
// 255, where a sample is the channel times 257 less 100 (0 stays 0).
std::vector<unsigned> NetpbmSamples(const Picture& picture, unsigned channels, unsigned maxValue) {
  std::vector<unsigned> samples;
  for (const std::uint32_t p : picture.argb) {
    std::vector<unsigned> pixel = channels < 3 ? std::vector<unsigned>{Red(p)}
                                               : std::vector<unsigned>{Red(p), Green(p), Blue(p)};
    if (channels == 2 || channels == 4) pixel.push_back(Alpha(p));
    for (const unsigned c : pixel)
      samples.push_back(maxValue > 255 ? (c ? c * 257 - 100 : 0) : (c * maxValue + 127) / 255);
  }
  return samples;
}

std::vector<BYTE> PlainNetpbm(const char* magic, const Picture& picture, unsigned channels, unsigned maxValue) {
  std::string text = NetpbmHeader(magic, maxValue);
  std::size_t i = 0;
  for (const unsigned s : NetpbmSamples(picture, channels, maxValue))
    text += std::to_string(s) + (++i % 12 ? " " : "\n");
  return Bytes(text);
}

std::vector<BYTE> RawSamples(std::vector<BYTE> out, const Picture& picture, unsigned channels, unsigned maxValue) {
  for (const unsigned s : NetpbmSamples(picture, channels, maxValue)) {
    if (maxValue > 255) out.push_back(static_cast<BYTE>(s >> 8));
    out.push_back(static_cast<BYTE>(s));
  }
  return out;
}

std::vector<BYTE> RawNetpbm(const char* magic, const Picture& picture, unsigned channels, unsigned maxValue) {
  return RawSamples(Bytes(NetpbmHeader(magic, maxValue)), picture, channels, maxValue);
}

std::vector<BYTE> Pam(const Picture& picture, unsigned channels, unsigned maxValue, const char* tupleType) {
  const std::string header = "P7\nWIDTH " + std::to_string(picture.width) + "\nHEIGHT " +
                             std::to_string(picture.height) + "\nDEPTH " + std::to_string(channels) + "\nMAXVAL " +
                             std::to_string(maxValue) + "\n# a comment\nTUPLTYPE " + tupleType + "\nENDHDR\n";
  return RawSamples(Bytes(header), picture, channels, maxValue);
}

// An icon image as a packed DIB of 4 or 32 bits: the colour bitmap, then the
// mask, which makes transparent every pixel of alpha 0 (4-bit pictures
// take their colours from a 16-entry table of the picture's colours).
std::vector<BYTE> IconDib(const Picture& picture, WORD bitCount) {
  std::vector<BYTE> dib;
  PutDword(dib, 40);
  PutDword(dib, static_cast<std::uint32_t>(picture.width));
  PutDword(dib, static_cast<std::uint32_t>(picture.height * 2));
  PutWord(dib, 1);
  PutWord(dib, bitCount);
  for (int i = 0; i < 6; ++i) PutDword(dib, 0);
  std::vector<std::uint32_t> table;
  if (bitCount == 4) {
    table = DistinctColours(WithAlpha(picture, 0));
    table.resize(16);
    for (const std::uint32_t c : table) PutDword(dib, c);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    std::vector<BYTE> row;
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.argb[static_cast<std::size_t>(y * picture.width + x)];
      if (bitCount == 32) {
        PutDword(row, p);
      } else {
        const auto index = static_cast<BYTE>(std::find(table.begin(), table.end(), p & 0x00FFFFFF) - table.begin());
        if (x % 2 == 0) row.push_back(static_cast<BYTE>(index << 4));
        else row.back() |= index;
      }
    }
    while (row.size() % 4) row.push_back(0);
    dib.insert(dib.end(), row.begin(), row.end());
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    std::vector<BYTE> row(static_cast<std::size_t>((picture.width + 31) / 32 * 4), 0);
    for (int x = 0; x < picture.width; ++x)
      if (Alpha(picture.argb[static_cast<std::size_t>(y * picture.width + x)]) == 0)
        row[static_cast<std::size_t>(x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    dib.insert(dib.end(), row.begin(), row.end());
  }
  return dib;
}

// An icon (type 1) or cursor (type 2) file of the images, with the
// directory entry of each giving its size.
std::vector<BYTE> IconFile(WORD type, const std::vector<std::pair<const Picture*, std::vector<BYTE>>>& images) {
  std::vector<BYTE> file;
  PutWord(file, 0);
  PutWord(file, type);
  PutWord(file, static_cast<unsigned>(images.size()));
  std::size_t offset = 6 + 16 * images.size();
  for (const auto& [picture, data] : images) {
    file.push_back(static_cast<BYTE>(picture->width));
    file.push_back(static_cast<BYTE>(picture->height));
    file.insert(file.end(), {0, 0});
    PutWord(file, type == 1 ? 1 : 3);   // planes, or the hot spot
    PutWord(file, type == 1 ? 32 : 5);  // depth, or the hot spot
    PutDword(file, static_cast<std::uint32_t>(data.size()));
    PutDword(file, static_cast<std::uint32_t>(offset));
    offset += data.size();
  }
  for (const auto& image : images) file.insert(file.end(), image.second.begin(), image.second.end());
  return file;
}

void AddPngs(std::vector<Sample>& samples) {
  using kp::testing::PngColour;
  const struct {
    const char* name;
    PngColour colour;
    int depth;
    bool interlaced;
    Picture picture;
    int bits;
  } rows[] = {
      {"PNG grey 1", PngColour::kGrey, 1, false, BlackAndWhite(), 1},
      {"PNG grey 2 interlaced", PngColour::kGrey, 2, true, Grey(2), 8},
      {"PNG grey 4", PngColour::kGrey, 4, false, Grey(4), 8},
      {"PNG grey 8", PngColour::kGrey, 8, false, Grey(8), 8},
      {"PNG grey 16", PngColour::kGrey, 16, false, Grey(8), 8},
      {"PNG grey and alpha 8", PngColour::kGreyAlpha, 8, false, Grey(8, true), 32},
      {"PNG grey and alpha 16", PngColour::kGreyAlpha, 16, false, Grey(8, true), 32},
      {"PNG RGB 8", PngColour::kRgb, 8, false, Opaque(), 24},
      {"PNG RGB 16", PngColour::kRgb, 16, false, Opaque(), 24},
      {"PNG RGBA 8", PngColour::kRgbAlpha, 8, false, Translucent(), 32},
      {"PNG RGBA 8 interlaced", PngColour::kRgbAlpha, 8, true, Translucent(), 32},
      {"PNG RGBA 16", PngColour::kRgbAlpha, 16, false, Translucent(), 32},
      {"PNG palette 1", PngColour::kPalette, 1, false, FewColours(2, AlphaKind::kOpaque), 1},
      {"PNG palette 2", PngColour::kPalette, 2, false, FewColours(4, AlphaKind::kOpaque), 8},
      {"PNG palette 4 interlaced", PngColour::kPalette, 4, true, FewColours(13, AlphaKind::kOpaque), 8},
      {"PNG palette 8 with transparency", PngColour::kPalette, 8, false, FewColours(40, AlphaKind::kGraded), 8},
  };
  for (const auto& r : rows)
    samples.push_back({r.name, kp::testing::PngFile(r.picture, {r.colour, r.depth, r.interlaced}), r.picture, r.bits});
}

void AddJpegs(std::vector<Sample>& samples) {
  samples.push_back({"JPEG baseline", kp::testing::JpegFile(Smooth(), {}), Smooth(), 24, 12});
  samples.push_back({"JPEG progressive", kp::testing::JpegFile(Smooth(), {.progressive = true}), Smooth(), 24, 12});
  samples.push_back({"JPEG grey", kp::testing::JpegFile(SmoothGrey(), {.grey = true}), SmoothGrey(), 8, 4});
  samples.push_back({"JPEG CMYK", kp::testing::JpegFile(Smooth(), {.cmyk = true}), Smooth(), 24, 12});
}

void AddGifs(std::vector<Sample>& samples) {
  const Picture opaque = FewColours(50, AlphaKind::kOpaque), transparent = FewColours(7, AlphaKind::kBinary);
  samples.push_back({"GIF", kp::testing::GifFile(opaque, {}), opaque, 8});
  samples.push_back({"GIF interlaced", kp::testing::GifFile(opaque, {.interlaced = true}), opaque, 8});
  samples.push_back({"GIF transparent", kp::testing::GifFile(transparent, {}), transparent, 8});
}

void AddWebps(std::vector<Sample>& samples) {
  samples.push_back({"WebP lossless", kp::testing::WebpFile(Opaque(), {true, false}), Opaque(), 24});
  samples.push_back({"WebP lossless alpha", kp::testing::WebpFile(Translucent(), {true, true}), Translucent(), 32});
  samples.push_back({"WebP lossy", kp::testing::WebpFile(Smooth(), {false, false}), Smooth(), 24, 12});
  samples.push_back({"WebP lossy alpha", kp::testing::WebpFile(Smooth(true), {false, true}), Smooth(true), 32, 12});
  samples.push_back(
      {"WebP animated, its first frame", kp::testing::WebpFile(Translucent(), {true, true, true}), Translucent(), 32});
}

void AddTiffs(std::vector<Sample>& samples) {
  using kp::testing::TiffColour;
  using kp::testing::TiffCompression;
  const struct {
    const char* name;
    kp::testing::TiffForm form;
    Picture picture;
    int bits;
    int tolerance;
  } rows[] = {
      {"TIFF RGB strips", {TiffColour::kRgb, TiffCompression::kNone, false}, Opaque(), 24, 0},
      {"TIFF RGB LZW tiles", {TiffColour::kRgb, TiffCompression::kLzw, true}, Opaque(), 24, 0},
      {"TIFF RGB deflate", {TiffColour::kRgb, TiffCompression::kDeflate, false}, Opaque(), 24, 0},
      {"TIFF RGB PackBits tiles", {TiffColour::kRgb, TiffCompression::kPackBits, true}, Opaque(), 24, 0},
      {"TIFF RGB JPEG", {TiffColour::kRgb, TiffCompression::kJpeg, false}, Smooth(), 24, 12},
      {"TIFF RGB 16", {TiffColour::kRgb, TiffCompression::kLzw, false, 16}, Opaque(), 24, 0},
      {"TIFF RGBA", {TiffColour::kRgbAlpha, TiffCompression::kDeflate, false}, Translucent(), 32, 0},
      {"TIFF grey", {TiffColour::kGrey, TiffCompression::kNone, true}, Grey(8), 8, 0},
      // libtiff cuts 16-bit grey to 8 bits where it rounds 16-bit colour.
      {"TIFF grey 16", {TiffColour::kGrey, TiffCompression::kNone, false, 16}, Grey(8), 8, 1},
      {"TIFF grey and alpha", {TiffColour::kGreyAlpha, TiffCompression::kLzw, false}, Grey(8, true), 32, 0},
      {"TIFF palette", {TiffColour::kPalette, TiffCompression::kPackBits, false}, FewColours(40, AlphaKind::kOpaque),
       8, 0},
      {"TIFF bilevel", {TiffColour::kBilevel, TiffCompression::kNone, false}, BlackAndWhite(), 1, 0},
  };
  for (const auto& r : rows)
    samples.push_back({r.name, kp::testing::TiffFile(r.picture, r.form), r.picture, r.bits, r.tolerance});
}

void AddTgas(std::vector<Sample>& samples) {
  const Picture opaque = Opaque(), translucent = Translucent(), blocky = Blocky();
  const Picture colours = FewColours(40, AlphaKind::kOpaque), graded = FewColours(9, AlphaKind::kGraded);
  const struct {
    const char* name;
    TgaForm form;
    Picture written;   // what goes into the file
    Picture expected;  // what the decoder should make of it
    int bits;
  } rows[] = {
      {"TGA 24", {}, opaque, opaque, 24},
      {"TGA 24 run-length", {.type = 10}, blocky, blocky, 24},
      {"TGA 24 top-down", {.topDown = true}, opaque, opaque, 24},
      {"TGA 24 right to left, with an ID", {.rightToLeft = true, .id = "made by a test"}, opaque, opaque, 24},
      {"TGA 32 alpha", {.pixelBits = 32, .alphaBits = 8}, translucent, translucent, 32},
      {"TGA 32 alpha run-length top-down", {.type = 10, .pixelBits = 32, .alphaBits = 8, .topDown = true},
       Blocky(true), Blocky(true), 32},
      {"TGA 32 with no alpha bits", {.pixelBits = 32}, translucent, WithAlpha(translucent, 255), 24},
      {"TGA 32 alpha that is zero throughout", {.pixelBits = 32, .alphaBits = 8}, WithAlpha(opaque, 0), opaque, 24},
      {"TGA 32 alpha by the extension area", {.pixelBits = 32, .attributesType = 3}, translucent, translucent, 32},
      {"TGA 32 no alpha by the extension area",
       {.pixelBits = 32, .alphaBits = 8, .attributesType = 2},
       translucent,
       WithAlpha(translucent, 255),
       24},
      {"TGA 32 premultiplied alpha", {.pixelBits = 32, .alphaBits = 8, .attributesType = 4}, translucent,
       translucent, 32},
      {"TGA 16 alpha bit", {.pixelBits = 16, .alphaBits = 1}, FiveBits(true), FiveBits(true), 32},
      {"TGA 15", {.pixelBits = 15}, FiveBits(false), FiveBits(false), 24},
      {"TGA colour-mapped", {.type = 1, .pixelBits = 8}, colours, colours, 8},
      {"TGA colour-mapped run-length from entry 5", {.type = 9, .pixelBits = 8, .mapFirst = 5}, blocky, blocky, 8},
      {"TGA colour-mapped 32-bit map with alpha", {.type = 1, .pixelBits = 8, .alphaBits = 8, .mapBits = 32}, graded,
       graded, 8},
      {"TGA grey", {.type = 3, .pixelBits = 8}, Grey(8), Grey(8), 8},
      {"TGA grey run-length", {.type = 11, .pixelBits = 8}, Blocky(false, true), Blocky(false, true), 8},
      {"TGA grey and alpha", {.type = 3, .pixelBits = 16, .alphaBits = 8}, Grey(8, true), Grey(8, true), 32},
  };
  for (const auto& r : rows) samples.push_back({r.name, TgaFile(r.written, r.form), r.expected, r.bits});
}

void AddNetpbms(std::vector<Sample>& samples) {
  const Picture bw = BlackAndWhite(), grey = Grey(4), opaque = Opaque(), translucent = Translucent();
  samples.push_back({"PBM plain", PlainPbm(bw), bw, 1});
  samples.push_back({"PBM raw", RawPbm(bw), bw, 1});
  samples.push_back({"PGM plain, largest value 15", PlainNetpbm("P2", grey, 1, 15), grey, 8});
  samples.push_back({"PGM raw", RawNetpbm("P5", Grey(8), 1, 255), Grey(8), 8});
  samples.push_back({"PGM raw 16", RawNetpbm("P5", Grey(8), 1, 65535), Grey(8), 8});
  samples.push_back({"PPM plain", PlainNetpbm("P3", opaque, 3, 255), opaque, 24});
  samples.push_back({"PPM raw", RawNetpbm("P6", opaque, 3, 255), opaque, 24});
  samples.push_back({"PPM raw 16", RawNetpbm("P6", opaque, 3, 65535), opaque, 24});
  samples.push_back({"PAM RGB and alpha", Pam(translucent, 4, 255, "RGB_ALPHA"), translucent, 32});
  samples.push_back({"PAM grey", Pam(Grey(8), 1, 255, "GRAYSCALE"), Grey(8), 8});
  samples.push_back({"PAM black and white", Pam(bw, 1, 1, "BLACKANDWHITE"), bw, 1});
}

void AddIconFiles(std::vector<Sample>& samples) {
  const Picture small = MakePicture(8, 8, [](int x, int y) { return Argb(x * 32, 200, y * 30, 90); });
  const Picture large = Translucent();
  samples.push_back({"ICO, the larger PNG image of two",
                     IconFile(1, {{&small, IconDib(small, 32)}, {&large, kp::testing::PngFile(large, {kp::testing::PngColour::kRgbAlpha})}}),
                     large, 32});
  samples.push_back({"ICO, the larger DIB image of two",
                     IconFile(1, {{&small, IconDib(small, 32)}, {&large, IconDib(large, 32)}}), large, 32});
  const Picture cursor = MakePicture(16, 16, [](int x, int y) {
    return (x + y) % 5 == 0 ? 0u : Argb(255, (x % 4) * 80, (y % 3) * 120, 60);
  });
  samples.push_back({"CUR 4 bits with mask", IconFile(2, {{&cursor, IconDib(cursor, 4)}}), cursor, 32});
}

}  // namespace

std::vector<BYTE> TgaFile(const Picture& picture, const TgaForm& form) {
  const BYTE base = form.type & 3;
  const bool runLength = form.type & 8;
  const std::vector<std::uint32_t> map = base == 1 ? DistinctColours(picture) : std::vector<std::uint32_t>{};
  const bool premultiplied = form.attributesType == 4;
  std::vector<BYTE> file;
  file.push_back(static_cast<BYTE>(form.id.size()));
  file.push_back(base == 1 ? 1 : 0);
  file.push_back(form.type);
  PutWord(file, form.mapFirst);
  PutWord(file, static_cast<unsigned>(map.size()));
  file.push_back(static_cast<BYTE>(base == 1 ? form.mapBits : 0));
  PutWord(file, 0);  // x origin
  PutWord(file, 0);  // y origin
  PutWord(file, static_cast<unsigned>(picture.width));
  PutWord(file, static_cast<unsigned>(picture.height));
  file.push_back(static_cast<BYTE>(form.pixelBits));
  file.push_back(static_cast<BYTE>(form.alphaBits | (form.rightToLeft ? 0x10 : 0) | (form.topDown ? 0x20 : 0)));
  file.insert(file.end(), form.id.begin(), form.id.end());
  for (const std::uint32_t c : map) PutTgaColour(file, c, form.mapBits, false);

  std::vector<BYTE> values;
  for (int row = 0; row < picture.height; ++row) {
    const int y = form.topDown ? row : picture.height - 1 - row;
    for (int column = 0; column < picture.width; ++column) {
      const int x = form.rightToLeft ? picture.width - 1 - column : column;
      const std::uint32_t p = picture.argb[static_cast<std::size_t>(y * picture.width + x)];
      if (base == 1) {
        const unsigned index = static_cast<unsigned>(std::find(map.begin(), map.end(), p) - map.begin());
        values.push_back(static_cast<BYTE>(index + form.mapFirst));
      } else if (base == 3) {
        values.push_back(Red(p));
        if (form.pixelBits == 16) values.push_back(Alpha(p));
      } else {
        PutTgaColour(values, p, form.pixelBits, premultiplied);
      }
    }
  }
  const std::vector<BYTE> pixels = runLength ? RunLengthPackets(values, (form.pixelBits + 7) / 8) : values;
  file.insert(file.end(), pixels.begin(), pixels.end());

  if (form.attributesType) {
    const std::size_t extension = file.size();
    std::vector<BYTE> area(495, 0);
    area[0] = 495 & 0xFF;
    area[1] = 495 >> 8;
    area[494] = *form.attributesType;
    file.insert(file.end(), area.begin(), area.end());
    PutDword(file, static_cast<std::uint32_t>(extension));
    PutDword(file, 0);  // no developer directory
    const char signature[] = "TRUEVISION-XFILE.";
    file.insert(file.end(), signature, signature + sizeof signature);  // with its terminating zero
  }
  return file;
}

std::vector<std::uint32_t> OverWhite(const Picture& picture) {
  std::vector<std::uint32_t> pixels;
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.argb[static_cast<std::size_t>(y * picture.width + x)];
      const double a = Alpha(p) / 255.0;
      const auto over = [a](unsigned c) { return static_cast<std::uint32_t>(c * a + 255 * (1 - a) + 0.5); };
      pixels.push_back((over(Red(p)) << 16) | (over(Green(p)) << 8) | over(Blue(p)));
    }
  }
  return pixels;
}

std::vector<Sample> Samples() {
  std::vector<Sample> samples;
  AddPngs(samples);
  AddJpegs(samples);
  AddGifs(samples);
  AddWebps(samples);
  AddTiffs(samples);
  AddTgas(samples);
  AddNetpbms(samples);
  AddIconFiles(samples);
  return samples;
}

}  // namespace kp::codecs::testing
