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
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>

namespace kp::testing {

namespace {

BYTE Red(std::uint32_t argb) { return static_cast<BYTE>(argb >> 16); }
BYTE Green(std::uint32_t argb) { return static_cast<BYTE>(argb >> 8); }
BYTE Blue(std::uint32_t argb) { return static_cast<BYTE>(argb); }
BYTE Alpha(std::uint32_t argb) { return static_cast<BYTE>(argb >> 24); }

unsigned Scaled(unsigned channel, int depth) {
  const unsigned max = (1u << depth) - 1;
  return (channel * max + 127) / 255;
}

unsigned Wide(unsigned channel) { return channel == 0 ? 0 : channel * 257 - 100; }

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

std::uint32_t At(const Picture& picture, int x, int y) {
  return picture
      .argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) + static_cast<std::size_t>(x)];
}

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<BYTE>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

}  // namespace

Picture MakePicture(int width, int height, const std::function<std::uint32_t(int x, int y)>& argb) {
  Picture picture{width, height, {}};
  picture.argb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
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
  Indexed indexed;
  if (form.colour == PngColour::kPalette) {
    indexed = IndexColours(picture, std::size_t{1} << form.bitDepth);
    std::vector<png_color> palette;
    std::vector<png_byte> alpha;
    for (const std::uint32_t c : indexed.colours) {
      palette.push_back({Red(c), Green(c), Blue(c)});
      alpha.push_back(Alpha(c));
    }
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (std::any_of(alpha.begin(), alpha.end(), [](png_byte a) { return a != 255; }))
      png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
  }
  png_write_info(png, info);
  if (form.bitDepth < 8) png_set_packing(png);

  // One row of samples, one byte each below 16 bits, big-endian pairs at 16.
  std::vector<png_byte> row;
  const auto put = [&](unsigned channel) {
    if (form.bitDepth == 16) {
      const unsigned wide = Wide(channel);
      row.push_back(static_cast<png_byte>(wide >> 8));
      row.push_back(static_cast<png_byte>(wide));
    } else {
      row.push_back(static_cast<png_byte>(form.bitDepth < 8 ? Scaled(channel, form.bitDepth) : channel));
    }
  };
  const int passes = form.interlaced ? png_set_interlace_handling(png) : 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (int y = 0; y < picture.height; ++y) {
      row.clear();
      for (int x = 0; x < picture.width; ++x) {
        const std::uint32_t p = At(picture, x, y);
        switch (form.colour) {
          case PngColour::kGrey: put(Red(p)); break;
          case PngColour::kGreyAlpha:
            put(Red(p));
            put(Alpha(p));
            break;
          case PngColour::kRgb:
          case PngColour::kRgbAlpha:
            put(Red(p));
            put(Green(p));
            put(Blue(p));
            if (form.colour == PngColour::kRgbAlpha) put(Alpha(p));
            break;
          case PngColour::kPalette:
            row.push_back(static_cast<png_byte>(
                indexed.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                                static_cast<std::size_t>(x)]));
            break;
        }
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
      const std::uint32_t p = At(picture, x, y);
      row.push_back(Red(p));
      if (!form.grey) {
        row.push_back(Green(p));
        row.push_back(Blue(p));
      }
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

namespace {

int AppendGif(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<BYTE>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

// The rows of an interlaced GIF in the order they are stored: every eighth
// from 0, every eighth from 4, every fourth from 2, every second from 1.
std::vector<int> GifRowOrder(int height, bool interlaced) {
  std::vector<int> order;
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = starts[pass]; y < height; y += steps[pass]) order.push_back(y);
  return order;
}

}  // namespace

std::vector<BYTE> GifFile(const Picture& picture, const GifForm& form) {
  // Every transparent pixel is one colour, whatever its RGB.
  Picture opaque = picture;
  for (std::uint32_t& p : opaque.argb)
    if (Alpha(p) == 0) p = 0;
  const Indexed indexed = IndexColours(opaque, 256);
  const auto transparent = std::find(indexed.colours.begin(), indexed.colours.end(), 0u);
  const int transparentIndex = transparent == indexed.colours.end()
                                   ? NO_TRANSPARENT_COLOR
                                   : static_cast<int>(transparent - indexed.colours.begin());
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
  if (ok && transparentIndex != NO_TRANSPARENT_COLOR) {
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparentIndex};
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
  }
  ok = ok && EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, form.interlaced, nullptr) == GIF_OK;
  std::vector<GifPixelType> row(static_cast<std::size_t>(picture.width));
  for (const int y : GifRowOrder(picture.height, form.interlaced)) {
    for (int x = 0; x < picture.width; ++x)
      row[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(
          indexed.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                          static_cast<std::size_t>(x)]);
    ok = ok && EGifPutLine(gif, row.data(), picture.width) == GIF_OK;
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
  int timestamp = 0;
  for (const bool inverted : {false, true}) {
    WebPPicture frame;
    ok = ok && WebPPictureInit(&frame);
    frame.use_argb = 1;
    frame.width = picture.width;
    frame.height = picture.height;
    ok = ok && WebPPictureAlloc(&frame);
    for (std::size_t i = 0; ok && i < picture.argb.size(); ++i)
      frame.argb[i] = inverted ? picture.argb[i] ^ 0x00FFFFFF : picture.argb[i];
    ok = ok && WebPAnimEncoderAdd(encoder, &frame, timestamp, &config);
    WebPPictureFree(&frame);
    timestamp += 100;
  }
  WebPData data;
  WebPDataInit(&data);
  ok = ok && WebPAnimEncoderAdd(encoder, nullptr, timestamp, nullptr) && WebPAnimEncoderAssemble(encoder, &data);
  WebPAnimEncoderDelete(encoder);
  std::vector<BYTE> out(data.bytes, data.bytes + data.size);
  WebPDataClear(&data);
  if (!ok) throw std::runtime_error("libwebp could not write the animation");
  return out;
}

}  // namespace

std::vector<BYTE> WebpFile(const Picture& picture, const WebpForm& form) {
  if (form.animated) return AnimatedWebpFile(picture, form);
  const int channels = form.alpha ? 4 : 3;
  std::vector<std::uint8_t> samples;
  for (const std::uint32_t p : picture.argb) {
    samples.insert(samples.end(), {Red(p), Green(p), Blue(p)});
    if (form.alpha) samples.push_back(Alpha(p));
  }
  const int stride = picture.width * channels;
  std::uint8_t* encoded = nullptr;
  std::size_t size = 0;
  if (form.lossless)
    size = form.alpha ? WebPEncodeLosslessRGBA(samples.data(), picture.width, picture.height, stride, &encoded)
                      : WebPEncodeLosslessRGB(samples.data(), picture.width, picture.height, stride, &encoded);
  else
    size = form.alpha ? WebPEncodeRGBA(samples.data(), picture.width, picture.height, stride, 95, &encoded)
                      : WebPEncodeRGB(samples.data(), picture.width, picture.height, stride, 95, &encoded);
  if (size == 0) throw std::runtime_error("libwebp could not write the picture");
  std::vector<BYTE> out(encoded, encoded + size);
  WebPFree(encoded);
  return out;
}

namespace {

// The samples of one pixel in the form's layout, appended to `out`.
void PutTiffPixel(std::vector<BYTE>& out, std::uint32_t p, const TiffForm& form, const Indexed& indexed,
                  std::size_t index) {
  const auto put = [&](unsigned channel) {
    if (form.bitsPerSample == 16) {
      const std::uint16_t wide = static_cast<std::uint16_t>(Wide(channel));
      const auto* bytes = reinterpret_cast<const BYTE*>(&wide);  // libtiff takes samples in native order
      out.insert(out.end(), bytes, bytes + 2);
    } else {
      out.push_back(static_cast<BYTE>(channel));
    }
  };
  switch (form.colour) {
    case TiffColour::kGrey: put(Red(p)); break;
    case TiffColour::kGreyAlpha:
      put(Red(p));
      put(Alpha(p));
      break;
    case TiffColour::kRgb:
    case TiffColour::kRgbAlpha:
      put(Red(p));
      put(Green(p));
      put(Blue(p));
      if (form.colour == TiffColour::kRgbAlpha) put(Alpha(p));
      break;
    case TiffColour::kPalette: out.push_back(static_cast<BYTE>(indexed.indices[index])); break;
    case TiffColour::kBilevel: break;  // packed by the caller
  }
}

// Rows y0..y1 (exclusive) and columns x0..x0 + width of the picture in the
// form's layout; pixels beyond the picture (the edge of a tile) are zero.
std::vector<BYTE> TiffBlock(const Picture& picture, const TiffForm& form, const Indexed& indexed, int x0, int y0,
                            int width, int rows) {
  std::vector<BYTE> block;
  for (int y = y0; y < y0 + rows; ++y) {
    if (form.colour == TiffColour::kBilevel) {
      std::vector<BYTE> packed(static_cast<std::size_t>((width + 7) / 8), 0);
      for (int x = 0; x < width && x0 + x < picture.width && y < picture.height; ++x)
        if (Red(At(picture, x0 + x, y)) >= 128) packed[static_cast<std::size_t>(x / 8)] |= 0x80 >> (x % 8);
      block.insert(block.end(), packed.begin(), packed.end());
      continue;
    }
    for (int x = x0; x < x0 + width; ++x) {
      if (x < picture.width && y < picture.height)
        PutTiffPixel(
            block, At(picture, x, y), form, indexed,
            static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) + static_cast<std::size_t>(x));
      else
        PutTiffPixel(block, 0, form, indexed, 0);
    }
  }
  return block;
}

void WriteTiff(TIFF* tiff, const Picture& picture, const TiffForm& form) {
  const bool alpha = form.colour == TiffColour::kRgbAlpha || form.colour == TiffColour::kGreyAlpha;
  const bool grey =
      form.colour == TiffColour::kGrey || form.colour == TiffColour::kGreyAlpha || form.colour == TiffColour::kBilevel;
  const int samples = form.colour == TiffColour::kRgb ? 3 : form.colour == TiffColour::kRgbAlpha ? 4 : alpha ? 2 : 1;
  const int bits = form.colour == TiffColour::kBilevel   ? 1
                   : form.colour == TiffColour::kPalette ? 8
                                                         : form.bitsPerSample;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(picture.width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(picture.height));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
               grey                                  ? PHOTOMETRIC_MINISBLACK
               : form.colour == TiffColour::kPalette ? PHOTOMETRIC_PALETTE
                                                     : PHOTOMETRIC_RGB);
  const int compressions[] = {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE, COMPRESSION_PACKBITS,
                              COMPRESSION_JPEG};
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, compressions[static_cast<int>(form.compression)]);
  if (form.compression == TiffCompression::kJpeg) TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 95);
  if (alpha) {
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  Indexed indexed;
  if (form.colour == TiffColour::kPalette) {
    indexed = IndexColours(picture, 256);
    std::vector<std::uint16_t> red(256), green(256), blue(256);
    for (std::size_t i = 0; i < indexed.colours.size(); ++i) {
      red[i] = static_cast<std::uint16_t>(Red(indexed.colours[i]) * 257);
      green[i] = static_cast<std::uint16_t>(Green(indexed.colours[i]) * 257);
      blue[i] = static_cast<std::uint16_t>(Blue(indexed.colours[i]) * 257);
    }
    TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
  }
  bool ok = true;
  if (form.tiled) {
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
    for (int y = 0; y < picture.height; y += 16)
      for (int x = 0; x < picture.width; x += 16) {
        std::vector<BYTE> tile = TiffBlock(picture, form, indexed, x, y, 16, 16);
        ok = ok &&
             TIFFWriteTile(tiff, tile.data(), static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 0, 0) >= 0;
      }
  } else {
    // The JPEG codec takes strips of whole 8-row blocks.
    const int rowsPerStrip = form.compression == TiffCompression::kJpeg ? 8 : 3;
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
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
  if (!tiff) {
    unlink(path);
    throw std::runtime_error("libtiff could not open its file");
  }
  try {
    WriteTiff(tiff, picture, form);
  } catch (...) {
    TIFFClose(tiff);
    unlink(path);
    throw;
  }
  TIFFClose(tiff);
  std::ifstream in(path, std::ios::binary);
  std::vector<BYTE> out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  unlink(path);
  return out;
}

}  // namespace kp::testing
