#include "platform/testing/bmp_writer.h"

#include <cstring>

namespace kp::testing {

void PutWord(std::vector<BYTE>& out, unsigned value) {
  out.push_back(static_cast<BYTE>(value));
  out.push_back(static_cast<BYTE>(value >> 8));
}

void PutDword(std::vector<BYTE>& out, std::uint32_t value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}

namespace {

std::uint32_t PaletteColour(unsigned i) {
  return (((i * 67 + 13) & 255) << 16) | (((i * 29 + 101) & 255) << 8) | ((i * 151 + 7) & 255);
}

// yTop counts rows from the top of the picture.
unsigned IndexAt(int x, int yTop, unsigned entries) { return (static_cast<unsigned>(x) * 3 + yTop * 7 + 1) % entries; }

std::uint32_t TrueColourAt(int x, int yTop) {
  return ((static_cast<std::uint32_t>(x * 40 + yTop * 13) & 255) << 16) |
         ((static_cast<std::uint32_t>(x * 7 + yTop * 90) & 255) << 8) |
         (static_cast<std::uint32_t>(x * 33 + yTop * 3 + 5) & 255);
}

// Places `value` (0..255, a multiple of 255 when the mask is narrower than 8
// bits) into the bits of `mask`.
std::uint32_t IntoMask(std::uint32_t value, DWORD mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const std::uint32_t max = mask >> shift;
  return ((value * max + 127) / 255) << shift;
}

void PutColour(std::vector<BYTE>& out, std::uint32_t rgb, bool core) {
  out.push_back(static_cast<BYTE>(rgb));
  out.push_back(static_cast<BYTE>(rgb >> 8));
  out.push_back(static_cast<BYTE>(rgb >> 16));
  if (!core) out.push_back(0);
}

void PutRow(std::vector<BYTE>& bits, const std::vector<BYTE>& row) {
  bits.insert(bits.end(), row.begin(), row.end());
  while (bits.size() % 4) bits.push_back(0);
}

}  // namespace

BuiltBmp BuildBmp(const BmpForm& form, int width, int height, const PictureColour& colour) {
  BuiltBmp built;
  built.width = width;
  built.height = height;
  built.expected.assign(static_cast<std::size_t>(width) * height, 0);
  const bool core = form.headerSize == 12;
  const bool indexed = form.bitCount <= 8;
  const unsigned fullTable = indexed ? 1u << form.bitCount : 0;
  const unsigned entries = indexed ? (form.clrUsed ? form.clrUsed : fullTable) : 0;
  const bool fields = form.compression == BI_BITFIELDS || form.compression == BI_ALPHABITFIELDS;
  DWORD masks[4];
  std::memcpy(masks, form.masks, sizeof masks);
  if (!fields && form.bitCount == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F, masks[3] = 0;
  if (!fields && form.bitCount == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF, masks[3] = 0;

  // The pixel bits.
  std::vector<BYTE> bits;
  for (int row = 0; row < height; ++row) {
    const int yTop = form.topDown ? row : height - 1 - row;
    const int yBottom = height - 1 - yTop;
    std::vector<BYTE> line;
    std::vector<unsigned> indices;
    for (int x = 0; x < width; ++x) {
      std::uint32_t& expected = built.expected[static_cast<std::size_t>(yBottom) * width + x];
      if (indexed) {
        const unsigned index = IndexAt(x, yTop, entries);
        indices.push_back(index);
        expected = PaletteColour(index);
      } else if (form.bitCount == 24) {
        expected = colour ? colour(x, yTop) & 0xFFFFFF : TrueColourAt(x, yTop);
        PutColour(line, expected, true);
      } else {
        // 16 and 32 bits: channels of 0 or 255 fit any mask exactly.
        std::uint32_t rgb = colour && form.bitCount == 32 ? colour(x, yTop) & 0xFFFFFF : TrueColourAt(x, yTop);
        if (form.bitCount == 16) {
          const unsigned k = static_cast<unsigned>(x + 2 * yTop) % 8;
          rgb = (k & 1 ? 0xFF0000u : 0) | (k & 2 ? 0xFF00u : 0) | (k & 4 ? 0xFFu : 0);
        }
        expected = rgb;
        std::uint32_t p =
            IntoMask(rgb >> 16, masks[0]) | IntoMask((rgb >> 8) & 255, masks[1]) | IntoMask(rgb & 255, masks[2]);
        // Bits outside the colour masks hold junk that must be ignored.
        if (form.bitCount == 32) p |= (0x5Au << 24) & ~(masks[0] | masks[1] | masks[2]);
        if (form.bitCount == 16)
          PutWord(line, p);
        else
          PutDword(line, p);
      }
    }
    if (form.compression == BI_RLE8 || form.compression == BI_RLE4) {
      // Three pixels as an absolute run, the rest as encoded runs of one.
      const bool four = form.compression == BI_RLE4;
      bits.push_back(0);
      bits.push_back(3);
      if (four) {
        bits.push_back(static_cast<BYTE>(indices[0] << 4 | indices[1]));
        bits.push_back(static_cast<BYTE>(indices[2] << 4));
      } else {
        bits.insert(bits.end(),
                    {static_cast<BYTE>(indices[0]), static_cast<BYTE>(indices[1]), static_cast<BYTE>(indices[2]), 0});
      }
      for (int x = 3; x < width; ++x) {
        bits.push_back(1);
        bits.push_back(static_cast<BYTE>(four ? indices[x] << 4 : indices[x]));
      }
      bits.push_back(0);
      bits.push_back(row + 1 == height ? 1 : 0);
      continue;
    }
    if (indexed) {
      line.assign((width * form.bitCount + 7) / 8, 0);
      for (int x = 0; x < width; ++x) {
        const int bit = x * form.bitCount;
        line[bit / 8] |= static_cast<BYTE>(indices[x] << (8 - form.bitCount - bit % 8));
      }
    }
    PutRow(bits, line);
  }

  // The header, masks and colour table.
  std::vector<BYTE> info;
  PutDword(info, form.headerSize);
  if (core) {
    PutWord(info, width);
    PutWord(info, height);
    PutWord(info, 1);
    PutWord(info, form.bitCount);
  } else {
    PutDword(info, width);
    PutDword(info, form.topDown ? -height : height);
    PutWord(info, 1);
    PutWord(info, form.bitCount);
    if (form.headerSize > 16) {
      PutDword(info, form.compression);
      PutDword(info, static_cast<std::uint32_t>(bits.size()));
      PutDword(info, 2835);
      PutDword(info, 2835);
      PutDword(info, form.clrUsed);
      PutDword(info, 0);
      if (form.headerSize >= 52 && form.headerSize != 64) {
        for (int i = 0; i < 3; ++i) PutDword(info, masks[i]);
        if (form.headerSize >= 56) PutDword(info, masks[3]);
      }
    }
    info.resize(form.headerSize, 0);  // the rest of OS/2 2.x, V4 and V5 headers: zero
    if (form.headerSize == 40 && fields) {
      for (int i = 0; i < 3; ++i) PutDword(info, masks[i]);
      if (form.compression == BI_ALPHABITFIELDS) PutDword(info, masks[3]);
    }
  }
  for (unsigned i = 0; i < entries; ++i) PutColour(info, PaletteColour(i), core);

  info.insert(info.end(), bits.begin(), bits.end());
  built.file = BitmapFileOfPackedDib(info, info.size() - bits.size());
  return built;
}

std::vector<BYTE> BitmapFile24(int width, int height, const PictureColour& colour) {
  return BuildBmp(kBmp24, width, height, colour).file;
}

std::string BitmapFile24HeaderMismatches(std::span<const BYTE> file, int width, int height) {
  if (file.size() < 54) return "shorter than its headers: " + std::to_string(file.size()) + " bytes";
  const std::uint32_t image = static_cast<std::uint32_t>((width * 3 + 3) & ~3) * static_cast<std::uint32_t>(height);
  const struct {
    const char* name;
    std::size_t offset;
    int size;
    std::uint32_t value;
  } fields[] = {
      {"type", 0, 2, 0x4D42},
      {"file size", 2, 4, 54 + image},
      {"reserved 1", 6, 2, 0},
      {"reserved 2", 8, 2, 0},
      {"pixel offset", 10, 4, 54},
      {"header size", 14, 4, 40},
      {"width", 18, 4, static_cast<std::uint32_t>(width)},
      {"height", 22, 4, static_cast<std::uint32_t>(height)},
      {"planes", 26, 2, 1},
      {"bits per pixel", 28, 2, 24},
      {"compression", 30, 4, BI_RGB},
      {"image size", 34, 4, image},
      {"x resolution", 38, 4, 2835},
      {"y resolution", 42, 4, 2835},
      {"colours used", 46, 4, 0},
      {"important colours", 50, 4, 0},
  };
  std::string mismatches;
  for (const auto& field : fields) {
    std::uint32_t value = 0;
    for (int i = field.size - 1; i >= 0; --i) value = value << 8 | file[field.offset + static_cast<std::size_t>(i)];
    if (value != field.value)
      mismatches +=
          std::string(field.name) + ": " + std::to_string(value) + ", not " + std::to_string(field.value) + "\n";
  }
  return mismatches;
}

std::vector<BYTE> BitmapFileOfPackedDib(std::span<const BYTE> dib, std::size_t bitsOffset) {
  std::vector<BYTE> file;
  PutWord(file, 0x4D42);                                        // "BM"
  PutDword(file, static_cast<std::uint32_t>(14 + dib.size()));  // file size
  PutDword(file, 0);                                            // two reserved words
  PutDword(file, static_cast<std::uint32_t>(14 + bitsOffset));  // offset of the pixels
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

}  // namespace kp::testing
