// JPEG through libjpeg-turbo. Its errors end in error_exit, which must not
// return: here it longjmps back to ReadJpeg, which keeps every object with a
// destructor outside itself (they belong to its caller). Warnings are
// recorded, not printed: a file that ends before its last scan does is
// refused rather than shown half grey.

#include <cstdio>  // before jpeglib.h, which needs FILE

#include <jerror.h>
#include <jpeglib.h>

#include <bit>
#include <csetjmp>
#include <vector>

#include "platform/codecs/decoded_picture.h"

namespace kp::codecs {

namespace {

// More scans than any encoder writes: a progressive file can declare
// thousands of tiny ones, each a pass over the whole picture.
constexpr int kMostScans = 500;

struct JpegErrors {
  jpeg_error_mgr manager;  // first: libjpeg sees this struct as its error manager
  std::jmp_buf jump;
  bool truncated = false;
};

[[noreturn]] void Fail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }

void NoteWarning(j_common_ptr info, int level) {
  // Level -1 is a warning; higher levels are traces.
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<JpegErrors*>(info->err)->truncated = true;
}

void PrintNothing(j_common_ptr) {}

void LimitScans(j_common_ptr info) {
  if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMostScans) Fail(info);
}

struct JpegReader {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  jpeg_progress_mgr progress{};
  bool created = false;
  std::vector<JSAMPLE> row;  // for the colour spaces that are not read in place
  ~JpegReader() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

// libjpeg-turbo writes blue, green, red and a filler byte, which in memory
// is the pixel 0xXXRRGGBB on a little-endian machine.
constexpr J_COLOR_SPACE kPixelSpace = std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;

bool ReadJpeg(JpegReader& reader, std::span<const BYTE> file, const DecodeLimits& limits,
              std::optional<gdi::DecodedImage>& picture) {
  jpeg_decompress_struct& info = reader.info;
  if (setjmp(reader.errors.jump)) return false;
  jpeg_create_decompress(&info);
  reader.created = true;
  // Enough for the coefficients a progressive picture of the largest size
  // keeps; beyond it libjpeg fails instead of taking more.
  info.mem->max_memory_to_use = static_cast<long>(3 * gdi::kMaxBitmapBytes);
  reader.progress.progress_monitor = LimitScans;
  info.progress = &reader.progress;
  jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&info, TRUE);

  int depth = kColourDepth;
  switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
      info.out_color_space = JCS_GRAYSCALE;
      depth = kIndexedDepth;
      break;
    case JCS_CMYK:
    case JCS_YCCK: info.out_color_space = JCS_CMYK; break;
    default: info.out_color_space = kPixelSpace; break;
  }
  picture = NewPicture(info.image_width, info.image_height, depth, limits);
  if (!picture) return false;
  jpeg_start_decompress(&info);
  if (info.output_width != static_cast<JDIMENSION>(picture->width) ||
      info.output_height != static_cast<JDIMENSION>(picture->height))
    return false;

  reader.row.resize(static_cast<std::size_t>(info.output_width) * static_cast<std::size_t>(info.output_components));
  while (info.output_scanline < info.output_height) {
    std::uint32_t* pixels = RowFromTop(*picture, info.output_scanline);
    JSAMPROW row = info.out_color_space == kPixelSpace ? reinterpret_cast<JSAMPROW>(pixels) : reader.row.data();
    if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
    const JSAMPLE* in = reader.row.data();
    for (JDIMENSION x = 0; x < info.output_width; ++x) {
      if (info.out_color_space == kPixelSpace) {
        pixels[x] &= 0x00FFFFFF;
      } else if (info.out_color_space == JCS_GRAYSCALE) {
        pixels[x] = in[x] * 0x010101u;
      } else {
        // Adobe's files, which are nearly all CMYK files, store the inks
        // inverted: each byte is 255 less the ink.
        const std::uint32_t k = in[4 * x + 3];
        pixels[x] = ((in[4 * x] * k / 255) << 16) | ((in[4 * x + 1] * k / 255) << 8) | (in[4 * x + 2] * k / 255);
      }
    }
  }
  jpeg_finish_decompress(&info);
  return !reader.errors.truncated;
}

}  // namespace

std::optional<gdi::DecodedImage> DecodeJpeg(std::span<const BYTE> file, const DecodeLimits& limits) {
  if (file.size() < 3 || file[0] != 0xFF || file[1] != 0xD8) return std::nullopt;
  JpegReader reader;
  reader.info.err = jpeg_std_error(&reader.errors.manager);
  reader.errors.manager.error_exit = Fail;
  reader.errors.manager.emit_message = NoteWarning;
  reader.errors.manager.output_message = PrintNothing;
  std::optional<gdi::DecodedImage> picture;
  if (!ReadJpeg(reader, file, limits, picture)) return std::nullopt;
  return picture;
}

}  // namespace kp::codecs
