// GIF through giflib, which reports errors by return codes. Only the first
// frame is read, record by record, so a file that lacks its trailer or
// whose later frames are damaged still shows its first picture.

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/codecs/decoded_picture.h"

namespace kp::codecs {

namespace {

struct GifSource {
  std::span<const BYTE> bytes;
  std::size_t offset = 0;
};

int ReadFromSource(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  const std::size_t n = std::min(static_cast<std::size_t>(std::max(length, 0)), source->bytes.size() - source->offset);
  std::memcpy(out, source->bytes.data() + source->offset, n);
  source->offset += n;
  return static_cast<int>(n);
}

struct CloseGif {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifFile = std::unique_ptr<GifFileType, CloseGif>;

// The rows of the frame in the order an interlaced frame stores them: every
// eighth from 0, every eighth from 4, every fourth from 2, every second
// from 1.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr int kStarts[] = {0, 4, 2, 1}, kSteps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStarts[pass]; y < height; y += kSteps[pass]) order.push_back(y);
  return order;
}

// The frame whose descriptor has just been read, drawn on the logical
// screen (or, where the screen gives no size, on the frame's own extent).
std::optional<gdi::DecodedImage> DecodeFrame(GifFileType& gif, int transparent, const DecodeLimits& limits) {
  const GifImageDesc& frame = gif.Image;
  if (frame.Left < 0 || frame.Top < 0 || frame.Width <= 0 || frame.Height <= 0) return std::nullopt;
  // Every row of the frame is decoded, whether or not it lands on the
  // screen, so the frame too must pass the limits.
  if (!WithinLimits(static_cast<std::uint64_t>(frame.Width), static_cast<std::uint64_t>(frame.Height), limits))
    return std::nullopt;
  const bool screenSized = gif.SWidth > 0 && gif.SHeight > 0;
  const std::uint64_t width = screenSized ? gif.SWidth : static_cast<std::uint64_t>(frame.Left) + frame.Width;
  const std::uint64_t height = screenSized ? gif.SHeight : static_cast<std::uint64_t>(frame.Top) + frame.Height;
  std::optional<gdi::DecodedImage> picture = NewPicture(width, height, kIndexedDepth, limits);
  if (!picture) return std::nullopt;
  std::fill(picture->pixels.begin(), picture->pixels.end(), 0x00FFFFFFu);

  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif.SColorMap;
  std::uint32_t colours[256] = {};  // indices beyond the table show black
  for (int i = 0; map && i < std::min(map->ColorCount, 256); ++i)
    colours[i] = (std::uint32_t{map->Colors[i].Red} << 16) | (map->Colors[i].Green << 8) | map->Colors[i].Blue;
  if (transparent >= 0 && transparent < 256) colours[transparent] = 0x00FFFFFF;

  std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
  for (const int row : RowOrder(frame.Height, frame.Interlace)) {
    if (DGifGetLine(&gif, line.data(), frame.Width) == GIF_ERROR) return std::nullopt;
    const std::uint64_t y = static_cast<std::uint64_t>(frame.Top) + static_cast<std::uint64_t>(row);
    if (y >= height) continue;
    std::uint32_t* out = RowFromTop(*picture, y);
    for (std::uint64_t x = static_cast<std::uint64_t>(frame.Left), i = 0; x < width && i < line.size(); ++x, ++i)
      out[x] = colours[line[i]];
  }
  return picture;
}

}  // namespace

std::optional<gdi::DecodedImage> DecodeGif(std::span<const BYTE> file, const DecodeLimits& limits) {
  GifSource source{file};
  int error = 0;
  GifFile gif(DGifOpen(&source, ReadFromSource, &error));
  if (!gif) return std::nullopt;
  int transparent = -1;  // from the graphic control extension before the frame
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return std::nullopt;
    if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return std::nullopt;
      return DecodeFrame(*gif, transparent, limits);
    }
    if (type != EXTENSION_RECORD_TYPE) return std::nullopt;  // the trailer before any frame, or damage
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) return std::nullopt;
    GraphicsControlBlock control{};
    if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
      transparent = control.TransparentColor;
    while (block)
      if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) return std::nullopt;
  }
}

}  // namespace kp::codecs
