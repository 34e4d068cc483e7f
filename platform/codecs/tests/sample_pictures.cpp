#include "platform/codecs/tests/sample_pictures.h"

#include <algorithm>

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

BYTE Red(std::uint32_t p) { return static_cast<BYTE>(p >> 16); }
BYTE Green(std::uint32_t p) { return static_cast<BYTE>(p >> 8); }
BYTE Blue(std::uint32_t p) { return static_cast<BYTE>(p); }
BYTE Alpha(std::uint32_t p) { return static_cast<BYTE>(p >> 24); }

Picture Pattern(const std::function<std::uint32_t(int x, int y)>& argb) { return MakePicture(kWidth, kHeight, argb); }

Picture Opaque() {
  return Pattern([](int x, int y) { return Argb(255, x * 12, y * 13, x * y * 7); });
}

// Transparent, half and fully opaque pixels, and levels between.
Picture Translucent() {
  static constexpr unsigned kAlpha[] = {0, 64, 128, 200, 255};
  return Pattern([](int x, int y) { return Argb(kAlpha[(x + y) % 5], 250 - x * 11, y * 13, 40 + x * y); });
}

// Grey levels that `depth` bits hold exactly; alpha 0, 127 and 255 in turn.
Picture Grey(int depth, bool alpha = false) {
  const unsigned levels = (1u << depth) - 1;
  return Pattern([=](int x, int y) {
    const unsigned v = (static_cast<unsigned>(x + 3 * y) % (levels + 1)) * 255 / levels;
    return Argb(alpha ? (x % 3) * 127 + (x % 3 == 2) : 255, v, v, v);
  });
}

// `n` colours; with alpha, every third is transparent and, graded, every
// third after it half so.
Picture FewColours(unsigned n, bool alpha = false, bool graded = false) {
  return Pattern([=](int x, int y) {
    const unsigned i = static_cast<unsigned>(x * 3 + y * 7) % n;
    const unsigned a = !alpha ? 255 : i % 3 == 0 ? 0 : graded && i % 3 == 1 ? 128 : 255;
    return Argb(a, i * 53 + 10, i * 101, 255 - i * 37);
  });
}

// Gradients, for the lossy formats.
Picture Smooth(bool alpha = false, bool grey = false) {
  return Pattern([=](int x, int y) {
    const unsigned a = alpha ? (x < 7 ? 255 : x < 14 ? 128 : 0) : 255, v = 30 + static_cast<unsigned>(x * 6 + y * 4);
    return grey ? Argb(a, v, v, v) : Argb(a, 40 + x * 8, 60 + y * 7, 128 + (x - y) * 3);
  });
}

Picture BlackAndWhite() {
  return Pattern([](int x, int y) { return (x * y + x) % 3 == 0 ? 0xFF000000u : 0xFFFFFFFFu; });
}

// Channels of five bits widened to eight; alpha all or nothing.
Picture FiveBits(bool alpha) {
  return Pattern([=](int x, int y) {
    const auto widen = [](unsigned five) { return (five << 3) | (five >> 2); };
    return Argb(alpha && (x + y) % 4 == 0 ? 0 : 255, widen(x % 32), widen((y * 3) % 32), widen((x + y) % 32));
  });
}

// Blocks of five pixels, the same on two rows, and the last block of a row
// the colour of the next row's first: runs that run-length packets repeat,
// also across rows; and a stretch of pixels each unlike the next. Alpha,
// where asked for, goes with the block.
Picture Blocky(bool alpha = false, bool grey = false) {
  return Pattern([=](int x, int y) {
    const unsigned block = static_cast<unsigned>((x + 2) / 5 % 4);
    const unsigned a = alpha ? block % 3 * 127 + (block % 3 == 2) : 255;
    const unsigned v = static_cast<unsigned>(x * 12 + y);  // all different, for literal packets
    if (x >= 9 && x <= 13) return grey ? Argb(a, v, v, v) : Argb(a, v, y * 13, 7);
    return grey ? Argb(a, block * 85, block * 85, block * 85) : Argb(a, block * 60, (y / 2) * 30, 90);
  });
}

Picture WithAlpha(Picture picture, unsigned alpha) {
  for (std::uint32_t& p : picture.argb) p = (p & 0x00FFFFFF) | (alpha << 24);
  return picture;
}

std::vector<std::uint32_t> DistinctColours(const Picture& picture) {
  std::vector<std::uint32_t> colours;
  for (const std::uint32_t p : picture.argb)
    if (std::find(colours.begin(), colours.end(), p) == colours.end()) colours.push_back(p);
  return colours;
}

void PutTgaColour(std::vector<BYTE>& out, std::uint32_t p, unsigned bits, bool premultiplied) {
  if (bits == 15 || bits == 16) {
    PutWord(out, (bits == 16 && Alpha(p) >= 128 ? 0x8000u : 0u) | ((Red(p) >> 3u) << 10) | ((Green(p) >> 3u) << 5) |
                     (Blue(p) >> 3u));
    return;
  }
  const auto channel = [&](BYTE c) { return premultiplied ? static_cast<BYTE>((c * Alpha(p) + 127) / 255) : c; };
  out.insert(out.end(), {channel(Blue(p)), channel(Green(p)), channel(Red(p))});
  if (bits == 32) out.push_back(Alpha(p));
}

// Run-length packets of `values` (each `size` bytes): repeats as runs, the
// rest as literal packets, across rows.
std::vector<BYTE> RunLengthPackets(const std::vector<BYTE>& values, std::size_t size) {
  const std::size_t count = values.size() / size;
  const auto at = [&](std::size_t i) { return values.begin() + static_cast<std::ptrdiff_t>(i * size); };
  const auto same = [&](std::size_t a, std::size_t b) { return b < count && std::equal(at(a), at(a + 1), at(b)); };
  std::vector<BYTE> out;
  for (std::size_t i = 0, n = 1; i < count; i += n, n = 1) {
    const bool run = same(i, i + 1);
    while (n < 128 && i + n < count && (run ? same(i, i + n) : !same(i + n, i + n + 1))) ++n;
    out.push_back(static_cast<BYTE>((run ? 0x80 : 0) | (n - 1)));
    out.insert(out.end(), at(i), at(run ? i + 1 : i + n));
  }
  return out;
}

// A Netpbm file of the picture: "P1" to "P6" with a comment in the header,
// or "P7" with `tupleType`. `channels` are grey or RGB, with alpha or not;
// samples are scaled to 0..maxValue, and in two bytes beyond 255 are the
// channel times 257 less 100 (0 stays 0). Plain PBM runs its digits
// together on even rows and spaces them on odd ones.
std::vector<BYTE> NetpbmFile(char kind, const Picture& picture, unsigned channels, unsigned maxValue,
                             const std::string& tupleType = "") {
  const std::string size = std::to_string(picture.width) + " " + std::to_string(picture.height);
  std::string text = std::string("P") + kind + "\n# made by a test\n";
  if (kind == '7')
    text = "P7\nWIDTH " + std::to_string(picture.width) + "\nHEIGHT " + std::to_string(picture.height) + "\nDEPTH " +
           std::to_string(channels) + "\nMAXVAL " + std::to_string(maxValue) + "\nTUPLTYPE " + tupleType + "\nENDHDR\n";
  else
    text += size + "\n" + (kind == '1' || kind == '4' ? "" : std::to_string(maxValue) + "\n");
  std::vector<BYTE> out(text.begin(), text.end());
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.argb[static_cast<std::size_t>(y * picture.width + x)];
      if (kind == '1' || kind == '4') {
        const bool black = Red(p) == 0;
        if (kind == '1') out.push_back(black ? '1' : '0');
        if (kind == '1' && (y % 2 || x + 1 == picture.width)) out.push_back(x + 1 == picture.width ? '\n' : ' ');
        if (kind == '4' && x % 8 == 0) out.push_back(0);
        if (kind == '4' && black) out.back() |= static_cast<BYTE>(0x80 >> (x % 8));
        continue;
      }
      std::vector<unsigned> samples =
          channels < 3 ? std::vector<unsigned>{Red(p)} : std::vector<unsigned>{Red(p), Green(p), Blue(p)};
      if (channels % 2 == 0) samples.push_back(Alpha(p));
      for (unsigned s : samples) {
        s = maxValue > 255 ? (s ? s * 257 - 100 : 0) : (s * maxValue + 127) / 255;
        const std::string plain = std::to_string(s) + (x % 7 ? " " : "\n");
        if (kind <= '3')
          out.insert(out.end(), plain.begin(), plain.end());
        else if (maxValue > 255)
          out.insert(out.end(), {static_cast<BYTE>(s >> 8), static_cast<BYTE>(s)});
        else
          out.push_back(static_cast<BYTE>(s));
      }
    }
  }
  return out;
}

// An icon image as a 32-bit packed DIB: the colour bitmap with alpha, then
// a mask that hides nothing (the alpha wins over it).
std::vector<BYTE> IconDib(const Picture& picture) {
  std::vector<BYTE> dib;
  for (const std::uint32_t field : {40, picture.width, picture.height * 2}) PutDword(dib, field);
  PutWord(dib, 1);
  PutWord(dib, 32);
  for (int i = 0; i < 6; ++i) PutDword(dib, 0);
  for (int y = picture.height - 1; y >= 0; --y)
    for (int x = 0; x < picture.width; ++x)
      PutDword(dib, picture.argb[static_cast<std::size_t>(y * picture.width + x)]);
  dib.resize(dib.size() + static_cast<std::size_t>((picture.width + 31) / 32 * 4 * picture.height), 0);
  return dib;
}

// An icon (type 1) or cursor (type 2) file of the images, with the
// directory entry of each giving its size.
std::vector<BYTE> IconFile(WORD type, const std::vector<std::pair<const Picture*, std::vector<BYTE>>>& images) {
  std::vector<BYTE> file;
  for (const unsigned field : {0u, unsigned{type}, static_cast<unsigned>(images.size())}) PutWord(file, field);
  std::size_t offset = 6 + 16 * images.size();
  for (const auto& [picture, data] : images) {
    file.insert(file.end(), {static_cast<BYTE>(picture->width), static_cast<BYTE>(picture->height), 0, 0});
    PutWord(file, 1);   // planes, or a cursor's hot spot
    PutWord(file, 32);  // bits per pixel, or a cursor's hot spot
    PutDword(file, static_cast<std::uint32_t>(data.size()));
    PutDword(file, static_cast<std::uint32_t>(offset));
    offset += data.size();
  }
  for (const auto& image : images) file.insert(file.end(), image.second.begin(), image.second.end());
  return file;
}

}  // namespace

std::vector<BYTE> TgaFile(const Picture& picture, const TgaForm& form) {
  const BYTE base = form.type & 3;
  const std::vector<std::uint32_t> map = base == 1 ? DistinctColours(picture) : std::vector<std::uint32_t>{};
  std::vector<BYTE> file = {static_cast<BYTE>(form.id.size()), BYTE(base == 1), form.type};
  PutWord(file, form.mapFirst);
  PutWord(file, static_cast<unsigned>(map.size()));
  file.push_back(static_cast<BYTE>(base == 1 ? form.mapBits : 0));
  for (const unsigned field : {0u, 0u, unsigned(picture.width), unsigned(picture.height)}) PutWord(file, field);
  file.push_back(static_cast<BYTE>(form.pixelBits));
  file.push_back(static_cast<BYTE>(form.alphaBits | (form.rightToLeft ? 0x10 : 0) | (form.topDown ? 0x20 : 0)));
  file.insert(file.end(), form.id.begin(), form.id.end());
  for (const std::uint32_t c : map) PutTgaColour(file, c, form.mapBits, false);

  std::vector<BYTE> values;
  for (int row = 0; row < picture.height; ++row) {
    for (int column = 0; column < picture.width; ++column) {
      const int y = form.topDown ? row : picture.height - 1 - row;
      const int x = form.rightToLeft ? picture.width - 1 - column : column;
      const std::uint32_t p = picture.argb[static_cast<std::size_t>(y * picture.width + x)];
      if (base == 1)
        values.push_back(static_cast<BYTE>(std::find(map.begin(), map.end(), p) - map.begin() + form.mapFirst));
      else if (base == 3 && form.pixelBits == 8)
        values.push_back(Red(p));
      else if (base == 3)
        values.insert(values.end(), {Red(p), Alpha(p)});
      else
        PutTgaColour(values, p, form.pixelBits, form.attributesType == 4);
    }
  }
  const std::vector<BYTE> pixels = form.type & 8 ? RunLengthPackets(values, (form.pixelBits + 7) / 8) : values;
  file.insert(file.end(), pixels.begin(), pixels.end());
  if (form.attributesType) {
    const std::size_t extension = file.size();
    file.resize(extension + 495, 0);
    file[extension] = 495 & 0xFF;  // the extension area's size
    file[extension + 1] = 495 >> 8;
    file[extension + 494] = *form.attributesType;
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
  using kp::testing::PngColour;
  using kp::testing::TiffColour;
  using kp::testing::TiffCompression;
  using kp::testing::TiffFile;
  const auto png = [](const Picture& p, PngColour colour, int depth = 8, bool interlaced = false) {
    return kp::testing::PngFile(p, {colour, depth, interlaced});
  };
  const auto tiff = [](const Picture& p, TiffColour colour, TiffCompression compression, bool tiled = false,
                       int bits = 8) {
    return TiffFile(p, {colour, compression, tiled, bits});
  };
  const Picture opaque = Opaque(), translucent = Translucent(), bw = BlackAndWhite(), grey = Grey(8);
  const Picture greyAlpha = Grey(8, true), blocky = Blocky(), colours = FewColours(40), smooth = Smooth();
  const Picture small = MakePicture(8, 8, [](int x, int y) { return Argb(x * 32, 200, y * 30, 90); });
  const Picture cursor = MakePicture(16, 16, [](int x, int y) { return Argb((x + y) % 5 ? 255 : 0, x * 16, y, 60); });
  // name, file, the picture it holds, the depth, the tolerance
  return {
      {"PNG grey 1", png(bw, PngColour::kGrey, 1), bw, 1},
      {"PNG grey 2 interlaced", png(Grey(2), PngColour::kGrey, 2, true), Grey(2), 8},
      {"PNG grey 4", png(Grey(4), PngColour::kGrey, 4), Grey(4), 8},
      {"PNG grey 16", png(grey, PngColour::kGrey, 16), grey, 8},
      {"PNG grey and alpha 8", png(greyAlpha, PngColour::kGreyAlpha), greyAlpha, 32},
      {"PNG grey and alpha 16", png(greyAlpha, PngColour::kGreyAlpha, 16), greyAlpha, 32},
      {"PNG RGB 8", png(opaque, PngColour::kRgb), opaque, 24},
      {"PNG RGB 16", png(opaque, PngColour::kRgb, 16), opaque, 24},
      {"PNG RGBA 8 interlaced", png(translucent, PngColour::kRgbAlpha, 8, true), translucent, 32},
      {"PNG RGBA 16", png(translucent, PngColour::kRgbAlpha, 16), translucent, 32},
      {"PNG palette 1", png(FewColours(2), PngColour::kPalette, 1), FewColours(2), 1},
      {"PNG palette 4 interlaced", png(FewColours(13), PngColour::kPalette, 4, true), FewColours(13), 8},
      {"PNG palette 8 with transparency", png(FewColours(40, true, true), PngColour::kPalette),
       FewColours(40, true, true), 8},
      {"JPEG baseline", kp::testing::JpegFile(smooth, {}), smooth, 24, 12},
      {"JPEG progressive", kp::testing::JpegFile(smooth, {.progressive = true}), smooth, 24, 12},
      {"JPEG grey", kp::testing::JpegFile(Smooth(false, true), {.grey = true}), Smooth(false, true), 8, 4},
      {"JPEG CMYK", kp::testing::JpegFile(smooth, {.cmyk = true}), smooth, 24, 12},
      {"GIF", kp::testing::GifFile(FewColours(50), {}), FewColours(50), 8},
      {"GIF interlaced", kp::testing::GifFile(FewColours(50), {.interlaced = true}), FewColours(50), 8},
      {"GIF transparent", kp::testing::GifFile(FewColours(7, true), {}), FewColours(7, true), 8},
      {"WebP lossless", kp::testing::WebpFile(opaque, {true, false}), opaque, 24},
      {"WebP lossless alpha", kp::testing::WebpFile(translucent, {true, true}), translucent, 32},
      {"WebP lossy", kp::testing::WebpFile(smooth, {false, false}), smooth, 24, 12},
      {"WebP lossy alpha", kp::testing::WebpFile(Smooth(true), {false, true}), Smooth(true), 32, 12},
      {"WebP animated, its first frame", kp::testing::WebpFile(translucent, {true, true, true}), translucent, 32},
      {"TIFF RGB strips", tiff(opaque, TiffColour::kRgb, TiffCompression::kNone), opaque, 24},
      {"TIFF RGB LZW tiles", tiff(opaque, TiffColour::kRgb, TiffCompression::kLzw, true), opaque, 24},
      {"TIFF RGB deflate", tiff(opaque, TiffColour::kRgb, TiffCompression::kDeflate), opaque, 24},
      {"TIFF RGB PackBits tiles", tiff(opaque, TiffColour::kRgb, TiffCompression::kPackBits, true), opaque, 24},
      {"TIFF RGB JPEG", tiff(smooth, TiffColour::kRgb, TiffCompression::kJpeg), smooth, 24, 12},
      {"TIFF RGB 16", tiff(opaque, TiffColour::kRgb, TiffCompression::kLzw, false, 16), opaque, 24},
      {"TIFF RGBA", tiff(translucent, TiffColour::kRgbAlpha, TiffCompression::kDeflate), translucent, 32},
      {"TIFF grey tiles", tiff(grey, TiffColour::kGrey, TiffCompression::kNone, true), grey, 8},
      // libtiff cuts 16-bit grey to 8 bits where it rounds 16-bit colour.
      {"TIFF grey 16", tiff(grey, TiffColour::kGrey, TiffCompression::kNone, false, 16), grey, 8, 1},
      {"TIFF grey and alpha", tiff(greyAlpha, TiffColour::kGreyAlpha, TiffCompression::kLzw), greyAlpha, 32},
      {"TIFF palette", tiff(colours, TiffColour::kPalette, TiffCompression::kPackBits), colours, 8},
      {"TIFF bilevel", tiff(bw, TiffColour::kBilevel, TiffCompression::kNone), bw, 1},
      {"TGA 24", TgaFile(opaque, {}), opaque, 24},
      {"TGA 24 run-length", TgaFile(blocky, {.type = 10}), blocky, 24},
      {"TGA 24 right to left, with an ID", TgaFile(opaque, {.rightToLeft = true, .id = "made by a test"}), opaque, 24},
      {"TGA 32 alpha", TgaFile(translucent, {.pixelBits = 32, .alphaBits = 8}), translucent, 32},
      {"TGA 32 alpha run-length top-down",
       TgaFile(Blocky(true), {.type = 10, .pixelBits = 32, .alphaBits = 8, .topDown = true}), Blocky(true), 32},
      {"TGA 32 with no alpha bits", TgaFile(translucent, {.pixelBits = 32}), WithAlpha(translucent, 255), 24},
      {"TGA 32 alpha that is zero throughout", TgaFile(WithAlpha(opaque, 0), {.pixelBits = 32, .alphaBits = 8}), opaque,
       24},
      {"TGA 32 alpha by the extension area", TgaFile(translucent, {.pixelBits = 32, .attributesType = 3}), translucent,
       32},
      {"TGA 32 no alpha by the extension area",
       TgaFile(translucent, {.pixelBits = 32, .alphaBits = 8, .attributesType = 2}), WithAlpha(translucent, 255), 24},
      {"TGA 32 premultiplied alpha", TgaFile(translucent, {.pixelBits = 32, .alphaBits = 8, .attributesType = 4}),
       translucent, 32},
      {"TGA 16 alpha bit", TgaFile(FiveBits(true), {.pixelBits = 16, .alphaBits = 1}), FiveBits(true), 32},
      {"TGA 15", TgaFile(FiveBits(false), {.pixelBits = 15}), FiveBits(false), 24},
      {"TGA colour-mapped", TgaFile(colours, {.type = 1, .pixelBits = 8}), colours, 8},
      {"TGA colour-mapped run-length from entry 5", TgaFile(blocky, {.type = 9, .pixelBits = 8, .mapFirst = 5}), blocky,
       8},
      {"TGA colour-mapped 32-bit map with alpha",
       TgaFile(FewColours(9, true, true), {.type = 1, .pixelBits = 8, .alphaBits = 8, .mapBits = 32}),
       FewColours(9, true, true), 8},
      {"TGA grey", TgaFile(grey, {.type = 3, .pixelBits = 8}), grey, 8},
      {"TGA grey run-length", TgaFile(Blocky(false, true), {.type = 11, .pixelBits = 8}), Blocky(false, true), 8},
      {"TGA grey and alpha", TgaFile(greyAlpha, {.type = 3, .pixelBits = 16, .alphaBits = 8}), greyAlpha, 32},
      {"PBM plain", NetpbmFile('1', bw, 1, 1), bw, 1},
      {"PBM raw", NetpbmFile('4', bw, 1, 1), bw, 1},
      {"PGM plain, largest value 15", NetpbmFile('2', Grey(4), 1, 15), Grey(4), 8},
      {"PGM raw 16", NetpbmFile('5', grey, 1, 65535), grey, 8},
      {"PPM plain", NetpbmFile('3', opaque, 3, 255), opaque, 24},
      {"PPM raw", NetpbmFile('6', opaque, 3, 255), opaque, 24},
      {"PPM raw 16", NetpbmFile('6', opaque, 3, 65535), opaque, 24},
      {"PAM RGB and alpha", NetpbmFile('7', translucent, 4, 255, "RGB_ALPHA"), translucent, 32},
      {"PAM grey", NetpbmFile('7', grey, 1, 255, "GRAYSCALE"), grey, 8},
      {"PAM black and white", NetpbmFile('7', bw, 1, 1, "BLACKANDWHITE"), bw, 1},
      {"ICO, the larger PNG image of two",
       IconFile(1, {{&small, IconDib(small)}, {&translucent, png(translucent, PngColour::kRgbAlpha)}}), translucent,
       32},
      {"ICO, the larger DIB image of two",
       IconFile(1, {{&small, IconDib(small)}, {&translucent, IconDib(translucent)}}), translucent, 32},
      {"CUR", IconFile(2, {{&cursor, IconDib(cursor)}}), cursor, 32},
  };
}

}  // namespace kp::codecs::testing
