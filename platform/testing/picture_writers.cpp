#include "platform/testing/picture_writers.h"

#include <cstdio>  // before jpeglib.h, which needs FILE

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <stdlib.h>
#include <tiffio.h>
#include <unistd.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <bit>
#include <map>
#include <stdexcept>

#include "platform/testing/file_contents.h"

namespace kp::testing {

namespace {

BYTE Red(std::uint32_t argb) { return static_cast<BYTE>(argb >> 16); }
BYTE Green(std::uint32_t argb) { return static_cast<BYTE>(argb >> 8); }
BYTE Blue(std::uint32_t argb) { return static_cast<BYTE>(argb); }
BYTE Alpha(std::uint32_t argb) { return static_cast<BYTE>(argb >> 24); }

// The channels a form stores of a pixel: grey (the red channel) or red,
// green and blue, each with alpha or not.
std::vector<unsigned> ChannelsOf(std::uint32_t p, bool grey, bool alpha) {
  std::vector<unsigned> channels =
      grey ? std::vector<unsigned>{Red(p)} : std::vector<unsigned>{Red(p), Green(p), Blue(p)};
  if (alpha) channels.push_back(Alpha(p));
  return channels;
}

// A channel as a sample of `bits` (see the header), appended.
void PutSample(std::vector<BYTE>& out, unsigned channel, int bits, bool bigEndian) {
  if (bits == 16) {
    const unsigned wide = channel == 0 ? 0 : channel * 257 - 100;
    const BYTE high = static_cast<BYTE>(wide >> 8), low = static_cast<BYTE>(wide);
    out.insert(out.end(), {bigEndian ? high : low, bigEndian ? low : high});
  } else {
    out.push_back(static_cast<BYTE>(bits < 8 ? (channel * ((1u << bits) - 1) + 127) / 255 : channel));
  }
}

// The picture's distinct colours in the order they first appear, and each
// pixel's index into them.
struct Indexed {
  std::vector<std::uint32_t> colours;
  std::vector<unsigned> indices;
};

Indexed IndexColours(const Picture& picture, std::size_t most) {
  Indexed result;
  std::map<std::uint32_t, unsigned> seen;
  for (const std::uint32_t p : picture.argb) {
    auto [it, added] = seen.emplace(p, static_cast<unsigned>(result.colours.size()));
    if (added) result.colours.push_back(p);
    result.indices.push_back(it->second);
  }
  if (result.colours.size() > most) throw std::runtime_error("too many colours for the form");
  return result;
}

std::size_t IndexOf(const Picture& picture, int x, int y) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) + static_cast<std::size_t>(x);
}

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<BYTE>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

int AppendGif(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<BYTE>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

}  // namespace

Picture MakePicture(int width, int height, const std::function<std::uint32_t(int x, int y)>& argb) {
  Picture picture{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.argb.push_back(argb(x, y));
  return picture;
}

std::vector<BYTE> PngFile(const Picture& picture, const PngForm& form) {
  std::vector<BYTE> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write the picture");
  }
  png_set_write_fn(png, &out, AppendPng, nullptr);
  const int types[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA,
                       PNG_COLOR_TYPE_PALETTE};
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
               form.bitDepth, types[static_cast<int>(form.colour)],
               form.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  const bool palette = form.colour == PngColour::kPalette;
  const Indexed indexed = palette ? IndexColours(picture, std::size_t{1} << form.bitDepth) : Indexed{};
  if (palette) {
    std::vector<png_color> colours;
    std::vector<png_byte> alpha;
    for (const std::uint32_t c : indexed.colours) {
      colours.push_back({Red(c), Green(c), Blue(c)});
      alpha.push_back(Alpha(c));
    }
    png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
  }
  png_write_info(png, info);
  if (form.bitDepth < 8) png_set_packing(png);  // one sample a byte, packed by libpng
  const bool grey = form.colour == PngColour::kGrey || form.colour == PngColour::kGreyAlpha;
  const bool alpha = form.colour == PngColour::kGreyAlpha || form.colour == PngColour::kRgbAlpha;
  const int passes = form.interlaced ? png_set_interlace_handling(png) : 1;
  std::vector<png_byte> row;
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < picture.height; ++y) {
      row.clear();
      for (int x = 0; x < picture.width; ++x) {
        if (palette) {
          row.push_back(static_cast<png_byte>(indexed.indices[IndexOf(picture, x, y)]));
          continue;
        }
        for (const unsigned c : ChannelsOf(picture.argb[IndexOf(picture, x, y)], grey, alpha))
          PutSample(row, c, form.bitDepth, true);
      }
      png_write_row(png, row.data());
    }
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<BYTE> JpegFile(const Picture& picture, const JpegForm& form) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  info.input_components = form.grey ? 1 : form.cmyk ? 4 : 3;
  info.in_color_space = form.grey ? JCS_GRAYSCALE : form.cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, form.quality, TRUE);
  if (form.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row;
  for (int y = 0; y < picture.height; ++y) {
    row.clear();
    for (int x = 0; x < picture.width; ++x) {
      for (const unsigned c : ChannelsOf(picture.argb[IndexOf(picture, x, y)], form.grey, false))
        row.push_back(static_cast<JSAMPLE>(c));
      if (form.cmyk) row.push_back(255);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<BYTE> out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return out;
}

std::vector<BYTE> GifFile(const Picture& picture, const GifForm& form) {
  // Every transparent pixel is one colour, whatever its RGB.
  Picture opaque = picture;
  for (std::uint32_t& p : opaque.argb)
    if (Alpha(p) == 0) p = 0;
  const Indexed indexed = IndexColours(opaque, 256);
  const auto transparent = std::find(indexed.colours.begin(), indexed.colours.end(), 0u);
  int tableSize = 2;
  while (tableSize < static_cast<int>(indexed.colours.size())) tableSize *= 2;
  std::vector<GifColorType> table(static_cast<std::size_t>(tableSize), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < indexed.colours.size(); ++i)
    table[i] = {Red(indexed.colours[i]), Green(indexed.colours[i]), Blue(indexed.colours[i])};

  std::vector<BYTE> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendGif, &error);
  if (!gif) throw std::runtime_error("giflib could not start a file");
  ColorMapObject* map = GifMakeMapObject(tableSize, table.data());
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map) == GIF_OK;
  if (transparent != indexed.colours.end()) {
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0,
                                 static_cast<int>(transparent - indexed.colours.begin())};
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
  }
  ok = ok && EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, form.interlaced, nullptr) == GIF_OK;
  // An interlaced frame stores every eighth row from 0, every eighth from
  // 4, every fourth from 2, then every second from 1.
  const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  std::vector<GifPixelType> row(static_cast<std::size_t>(picture.width));
  for (int pass = 0; pass < (form.interlaced ? 4 : 1); ++pass) {
    for (int y = form.interlaced ? starts[pass] : 0; y < picture.height; y += form.interlaced ? steps[pass] : 1) {
      for (int x = 0; x < picture.width; ++x)
        row[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(indexed.indices[IndexOf(picture, x, y)]);
      ok = ok && EGifPutLine(gif, row.data(), picture.width) == GIF_OK;
    }
  }
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  GifFreeMapObject(map);
  if (!ok) throw std::runtime_error("giflib could not write the picture");
  return out;
}

namespace {

std::vector<BYTE> AnimatedWebpFile(const Picture& picture, const WebpForm& form) {
  WebPAnimEncoderOptions options;
  WebPConfig config;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config))
    throw std::runtime_error("libwebp could not start an animation");
  config.lossless = form.lossless;
  WebPAnimEncoder* encoder = WebPAnimEncoderNew(picture.width, picture.height, &options);
  bool ok = encoder != nullptr;
  for (const int frameNumber : {0, 1}) {
    WebPPicture frame;
    ok = ok && WebPPictureInit(&frame);
    frame.use_argb = 1;
    frame.width = picture.width;
    frame.height = picture.height;
    ok = ok && WebPPictureAlloc(&frame);
    for (std::size_t i = 0; ok && i < picture.argb.size(); ++i)
      frame.argb[i] = frameNumber ? picture.argb[i] ^ 0x00FFFFFF : picture.argb[i];
    ok = ok && WebPAnimEncoderAdd(encoder, &frame, frameNumber * 100, &config);
    WebPPictureFree(&frame);
  }
  WebPData data;
  WebPDataInit(&data);
  ok = ok && WebPAnimEncoderAdd(encoder, nullptr, 200, nullptr) && WebPAnimEncoderAssemble(encoder, &data);
  WebPAnimEncoderDelete(encoder);
  std::vector<BYTE> out(data.bytes, data.bytes + data.size);
  WebPDataClear(&data);
  if (!ok) throw std::runtime_error("libwebp could not write the animation");
  return out;
}

}  // namespace

std::vector<BYTE> WebpFile(const Picture& picture, const WebpForm& form) {
  if (form.animated) return AnimatedWebpFile(picture, form);
  std::vector<std::uint8_t> samples;
  for (const std::uint32_t p : picture.argb)
    for (const unsigned c : ChannelsOf(p, false, form.alpha)) samples.push_back(static_cast<std::uint8_t>(c));
  const int w = picture.width, h = picture.height, stride = w * (form.alpha ? 4 : 3);
  std::uint8_t* encoded = nullptr;
  const std::size_t size = form.lossless ? form.alpha ? WebPEncodeLosslessRGBA(samples.data(), w, h, stride, &encoded)
                                                      : WebPEncodeLosslessRGB(samples.data(), w, h, stride, &encoded)
                           : form.alpha ? WebPEncodeRGBA(samples.data(), w, h, stride, 95, &encoded)
                                         : WebPEncodeRGB(samples.data(), w, h, stride, 95, &encoded);
  if (size == 0) throw std::runtime_error("libwebp could not write the picture");
  std::vector<BYTE> out(encoded, encoded + size);
  WebPFree(encoded);
  return out;
}

namespace {

// The samples of the picture's columns x0..x0 + width and rows y0..y0 +
// rows in the form's layout; pixels beyond the picture (where a tile hangs
// over its edge) are zero.
std::vector<BYTE> TiffBlock(const Picture& picture, const TiffForm& form, const Indexed& indexed, int x0, int y0,
                            int width, int rows) {
  const bool grey = form.colour == TiffColour::kGrey || form.colour == TiffColour::kGreyAlpha;
  const bool alpha = form.colour == TiffColour::kGreyAlpha || form.colour == TiffColour::kRgbAlpha;
  std::vector<BYTE> block;
  for (int y = y0; y < y0 + rows; ++y) {
    const std::size_t rowStart = block.size();
    for (int x = x0; x < x0 + width; ++x) {
      const bool inside = x < picture.width && y < picture.height;
      const std::uint32_t p = inside ? picture.argb[IndexOf(picture, x, y)] : 0;
      if (form.colour == TiffColour::kBilevel) {
        if ((x - x0) % 8 == 0) block.push_back(0);
        if (Red(p) >= 128) block[rowStart + static_cast<std::size_t>((x - x0) / 8)] |= 0x80 >> ((x - x0) % 8);
      } else if (form.colour == TiffColour::kPalette) {
        block.push_back(static_cast<BYTE>(inside ? indexed.indices[IndexOf(picture, x, y)] : 0));
      } else {
        for (const unsigned c : ChannelsOf(p, grey, alpha))
          PutSample(block, c, form.bitsPerSample, std::endian::native == std::endian::big);
      }
    }
  }
  return block;
}

void WriteTiff(TIFF* tiff, const Picture& picture, const TiffForm& form) {
  const TiffColour colour = form.colour;
  const bool grey = colour == TiffColour::kGrey || colour == TiffColour::kGreyAlpha || colour == TiffColour::kBilevel;
  const bool alpha = colour == TiffColour::kRgbAlpha || colour == TiffColour::kGreyAlpha;
  const int bits = colour == TiffColour::kBilevel ? 1 : colour == TiffColour::kPalette ? 8 : form.bitsPerSample;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(picture.width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(picture.height));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, (grey || colour == TiffColour::kPalette ? 1 : 3) + (alpha ? 1 : 0));
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
               grey                             ? PHOTOMETRIC_MINISBLACK
               : colour == TiffColour::kPalette ? PHOTOMETRIC_PALETTE
                                                : PHOTOMETRIC_RGB);
  const int compressions[] = {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE, COMPRESSION_PACKBITS,
                              COMPRESSION_JPEG};
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, compressions[static_cast<int>(form.compression)]);
  if (form.compression == TiffCompression::kJpeg) TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 95);
  if (alpha) {
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  const Indexed indexed = colour == TiffColour::kPalette ? IndexColours(picture, 256) : Indexed{};
  if (colour == TiffColour::kPalette) {
    std::vector<std::uint16_t> map[3];
    for (auto& channel : map) channel.resize(256);
    for (std::size_t i = 0; i < indexed.colours.size(); ++i)
      for (int c = 0; c < 3; ++c)
        map[c][i] = static_cast<std::uint16_t>(((indexed.colours[i] >> (16 - 8 * c)) & 255) * 257);
    TIFFSetField(tiff, TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
  }
  bool ok = true;
  if (form.tiled) {
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
    for (int y = 0; y < picture.height; y += 16) {
      for (int x = 0; x < picture.width; x += 16) {
        std::vector<BYTE> tile = TiffBlock(picture, form, indexed, x, y, 16, 16);
        ok = ok &&
             TIFFWriteTile(tiff, tile.data(), static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 0, 0) >= 0;
      }
    }
  } else {
    // The JPEG codec takes strips of whole 8-row blocks.
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, form.compression == TiffCompression::kJpeg ? 8 : 3);
    for (int y = 0; y < picture.height; ++y) {
      std::vector<BYTE> row = TiffBlock(picture, form, indexed, 0, y, picture.width, 1);
      ok = ok && TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) == 1;
    }
  }
  if (!ok) throw std::runtime_error("libtiff could not write the picture");
}

}  // namespace

std::vector<BYTE> TiffFile(const Picture& picture, const TiffForm& form) {
  // libtiff writes to files; the picture goes through a temporary one.
  char path[] = "/tmp/kestrow-tiff.XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) throw std::runtime_error("no temporary file for the TIFF writer");
  close(fd);
  TIFF* tiff = TIFFOpen(path, "w");
  try {
    if (!tiff) throw std::runtime_error("libtiff could not open its file");
    WriteTiff(tiff, picture, form);
  } catch (...) {
    if (tiff) TIFFClose(tiff);
    unlink(path);
    throw;
  }
  TIFFClose(tiff);
  std::vector<BYTE> out = ReadFileBytes(path);
  unlink(path);
  return out;
}

}  // namespace kp::testing
