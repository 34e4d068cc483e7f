// WebP through libwebp: a still picture decoded straight into the bitmap's
// rows, an animation through its demuxer, which gives the first frame on
// the canvas.

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>

#include "platform/codecs/decoded_picture.h"

namespace kp::codecs {

namespace {

// libwebp writes each pixel as blue, green, red and alpha bytes, alpha
// straight; the bitmap wants it composited.
void CompositeBgra(gdi::DecodedImage& picture) {
  for (std::uint32_t& pixel : picture.pixels) {
    const auto* bgra = reinterpret_cast<const BYTE*>(&pixel);
    pixel = RgbaOverWhite(bgra[2], bgra[1], bgra[0], bgra[3]);
  }
}

std::optional<gdi::DecodedImage> DecodeStill(std::span<const BYTE> file, const WebPBitstreamFeatures& features,
                                             const DecodeLimits& limits) {
  std::optional<gdi::DecodedImage> picture =
      NewPicture(static_cast<std::uint64_t>(features.width), static_cast<std::uint64_t>(features.height),
                 features.has_alpha ? kAlphaDepth : kColourDepth, limits);
  if (!picture) return std::nullopt;
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return std::nullopt;
  config.options.flip = 1;  // bottom row first, as bitmaps keep them
  config.output.colorspace = MODE_BGRA;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = reinterpret_cast<std::uint8_t*>(picture->pixels.data());
  config.output.u.RGBA.stride = picture->width * 4;
  config.output.u.RGBA.size = picture->pixels.size() * 4;
  const VP8StatusCode status = WebPDecode(file.data(), file.size(), &config);
  WebPFreeDecBuffer(&config.output);
  if (status != VP8_STATUS_OK) return std::nullopt;
  CompositeBgra(*picture);
  return picture;
}

struct DeleteAnimDecoder {
  void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

std::optional<gdi::DecodedImage> DecodeFirstFrame(std::span<const BYTE> file, const WebPBitstreamFeatures& features,
                                                  const DecodeLimits& limits) {
  // The canvas size is in the header that WebPGetFeatures read; check it
  // before the demuxer allocates a canvas of it.
  if (!WithinLimits(static_cast<std::uint64_t>(features.width), static_cast<std::uint64_t>(features.height), limits))
    return std::nullopt;
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) return std::nullopt;
  options.color_mode = MODE_BGRA;
  options.use_threads = 0;
  const WebPData data{file.data(), file.size()};
  const std::unique_ptr<WebPAnimDecoder, DeleteAnimDecoder> decoder(WebPAnimDecoderNew(&data, &options));
  if (!decoder) return std::nullopt;
  WebPAnimInfo info;
  if (!WebPAnimDecoderGetInfo(decoder.get(), &info)) return std::nullopt;
  std::optional<gdi::DecodedImage> picture =
      NewPicture(info.canvas_width, info.canvas_height, features.has_alpha ? kAlphaDepth : kColourDepth, limits);
  if (!picture) return std::nullopt;
  std::uint8_t* canvas = nullptr;
  int timestamp = 0;
  if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp)) return std::nullopt;
  const std::size_t rowBytes = static_cast<std::size_t>(picture->width) * 4;
  for (int y = 0; y < picture->height; ++y)
    std::memcpy(RowFromTop(*picture, static_cast<std::uint64_t>(y)), canvas + static_cast<std::size_t>(y) * rowBytes,
                rowBytes);
  CompositeBgra(*picture);
  return picture;
}

}  // namespace

std::optional<gdi::DecodedImage> DecodeWebp(std::span<const BYTE> file, const DecodeLimits& limits) {
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(file.data(), file.size(), &features) != VP8_STATUS_OK) return std::nullopt;
  return features.has_animation ? DecodeFirstFrame(file, features, limits) : DecodeStill(file, features, limits);
}

}  // namespace kp::codecs
