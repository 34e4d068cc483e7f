#include "tools/make_art/packed_dib.h"

#include <cassert>

#include "tools/make_art/rle8_encoder.h"

namespace make_art {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

struct Header {
  std::int32_t width;
  std::int32_t height;
  std::uint16_t bitCount;
  std::uint32_t compression;
  std::uint32_t sizeImage;
};

void PutHeader(std::vector<std::uint8_t>& out, const Header& h) {
  Put32(out, 40);  // biSize
  Put32(out, static_cast<std::uint32_t>(h.width));
  Put32(out, static_cast<std::uint32_t>(h.height));
  Put16(out, 1);  // biPlanes
  Put16(out, h.bitCount);
  Put32(out, h.compression);
  Put32(out, h.sizeImage);
  Put32(out, 0);  // biXPelsPerMeter
  Put32(out, 0);  // biYPelsPerMeter
  Put32(out, 0);  // biClrUsed: the full table of 2^bitCount entries
  Put32(out, 0);  // biClrImportant
}

void PutColours(std::vector<std::uint8_t>& out, std::span<const Rgb> palette) {
  for (const Rgb& c : palette) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
}

std::size_t Stride(int width, int bitCount) { return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4; }

// The 4-bit rows, bottom row first, high nibble for the left pixel.
std::vector<std::uint8_t> Bits4(const IndexedImage& image, const std::vector<bool>* transparent) {
  const std::size_t stride = Stride(image.width, 4);
  std::vector<std::uint8_t> bits(stride * image.height, 0);
  for (int y = 0; y < image.height; ++y) {
    std::uint8_t* row = bits.data() + stride * (image.height - 1 - y);
    for (int x = 0; x < image.width; ++x) {
      std::uint8_t index = image.At(x, y);
      assert(index < 16);
      if (transparent && (*transparent)[static_cast<std::size_t>(y) * image.width + x]) index = 0;
      row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
    }
  }
  return bits;
}

}  // namespace

std::vector<std::uint8_t> MakeRle8Dib(const IndexedImage& image, std::span<const Rgb, 256> palette) {
  const std::vector<std::uint8_t> bits = EncodeRle8(image.pixels, image.width, image.height);
  std::vector<std::uint8_t> out;
  PutHeader(out, {image.width, image.height, 8, kBiRle8, static_cast<std::uint32_t>(bits.size())});
  PutColours(out, palette);
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

std::vector<std::uint8_t> MakeDib4(const IndexedImage& image, std::span<const Rgb, 16> palette) {
  const std::vector<std::uint8_t> bits = Bits4(image, nullptr);
  std::vector<std::uint8_t> out;
  PutHeader(out, {image.width, image.height, 4, kBiRgb, static_cast<std::uint32_t>(bits.size())});
  PutColours(out, palette);
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

std::vector<std::uint8_t> MakeIconImage4(const IndexedImage& image, const std::vector<bool>& transparent,
                                         std::span<const Rgb, 16> palette) {
  assert(transparent.size() == image.pixels.size());
  const std::vector<std::uint8_t> colour = Bits4(image, &transparent);
  const std::size_t maskStride = Stride(image.width, 1);
  std::vector<std::uint8_t> mask(maskStride * image.height, 0);
  for (int y = 0; y < image.height; ++y) {
    std::uint8_t* row = mask.data() + maskStride * (image.height - 1 - y);
    for (int x = 0; x < image.width; ++x)
      if (transparent[static_cast<std::size_t>(y) * image.width + x])
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
  std::vector<std::uint8_t> out;
  // The header describes the colour bitmap and the mask stacked: twice the
  // height, and both parts in the image size.
  PutHeader(out, {image.width, 2 * image.height, 4, kBiRgb, static_cast<std::uint32_t>(colour.size() + mask.size())});
  PutColours(out, palette);
  out.insert(out.end(), colour.begin(), colour.end());
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

}  // namespace make_art
