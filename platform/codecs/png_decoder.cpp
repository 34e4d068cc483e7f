// PNG through libpng. libpng reports errors by longjmp to the setjmp of the
// call that reads, so that call (ReadPng) keeps every object with a
// destructor outside itself: the structures and row pointers belong to its
// caller, and nothing in between but libpng's C frames is skipped.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/codecs/decoded_picture.h"

namespace kp::codecs {

namespace {

struct PngSource {
  std::span<const BYTE> bytes;
  std::size_t offset = 0;
};

void ReadFromSource(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->bytes.size() - source->offset) png_error(png, "truncated");
  std::memcpy(out, source->bytes.data() + source->offset, length);
  source->offset += length;
}

[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// libpng's structures for one file, and the row pointers it fills through.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<png_bytep> rows;
  ~PngReader() { png_destroy_read_struct(&png, &info, nullptr); }
};

// The depth the file stores, by its header.
int DepthOf(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  const bool greyOrPalette = colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_PALETTE;
  if (greyOrPalette) return png_get_bit_depth(png, info) == 1 ? kOneBitDepth : kIndexedDepth;
  const bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  return alpha ? kAlphaDepth : kColourDepth;
}

// Reads the file into `picture` as rows of red, green, blue and alpha bytes
// (each row in the place the picture's row will have), then composites
// them in place.
bool ReadPng(PngReader& reader, PngSource& source, const DecodeLimits& limits,
             std::optional<gdi::DecodedImage>& picture) {
  png_structp png = reader.png;
  png_infop info = reader.info;
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &source, ReadFromSource);
  // Text, colour profiles and chunks libpng does not know change no pixel.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_read_info(png, info);
  picture = NewPicture(png_get_image_width(png, info), png_get_image_height(png, info), DepthOf(png, info), limits);
  if (!picture) return false;

  png_set_expand(png);  // palettes to colours, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(picture->width) * 4) return false;

  reader.rows.resize(static_cast<std::size_t>(picture->height));
  for (int y = 0; y < picture->height; ++y)
    reader.rows[static_cast<std::size_t>(y)] =
        reinterpret_cast<png_bytep>(RowFromTop(*picture, static_cast<std::uint64_t>(y)));
  png_read_image(png, reader.rows.data());
  png_read_end(png, nullptr);

  for (std::uint32_t& pixel : picture->pixels) {
    const auto* rgba = reinterpret_cast<const BYTE*>(&pixel);
    pixel = RgbaOverWhite(rgba[0], rgba[1], rgba[2], rgba[3]);
  }
  return true;
}

}  // namespace

std::optional<gdi::DecodedImage> DecodePng(std::span<const BYTE> file, const DecodeLimits& limits) {
  if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) return std::nullopt;
  PngReader reader;
  reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, IgnoreWarning);
  if (!reader.png) return std::nullopt;
  reader.info = png_create_info_struct(reader.png);
  if (!reader.info) return std::nullopt;
  PngSource source{file};
  std::optional<gdi::DecodedImage> picture;
  if (!ReadPng(reader, source, limits, picture)) return std::nullopt;
  return picture;
}

}  // namespace kp::codecs
