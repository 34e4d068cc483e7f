// TIFF through libtiff, which reads the file through callbacks over the
// bytes and reports errors by return codes. Its RGBA interface reads every
// layout it knows (strips and tiles, every compression it is built with,
// bilevel, grey, palette, RGB, CMYK, YCbCr and the rest) into one form.

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

#include "platform/codecs/decoded_picture.h"

namespace kp::codecs {

namespace {

struct TiffSource {
  std::span<const BYTE> bytes;
  toff_t offset = 0;
};

TiffSource& SourceOf(thandle_t handle) { return *static_cast<TiffSource*>(handle); }

tmsize_t ReadFromSource(thandle_t handle, void* out, tmsize_t size) {
  TiffSource& source = SourceOf(handle);
  if (size < 0 || source.offset >= source.bytes.size()) return 0;
  const std::size_t n = std::min(static_cast<std::size_t>(size), source.bytes.size() - source.offset);
  std::memcpy(out, source.bytes.data() + source.offset, n);
  source.offset += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t RefuseWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t SeekInSource(thandle_t handle, toff_t offset, int whence) {
  TiffSource& source = SourceOf(handle);
  const toff_t base = whence == SEEK_CUR ? source.offset : whence == SEEK_END ? source.bytes.size() : 0;
  if (offset > ~toff_t{0} - base) return static_cast<toff_t>(-1);
  source.offset = base + offset;  // beyond the end is allowed; reads there give nothing
  return source.offset;
}

int CloseSource(thandle_t) { return 0; }
toff_t SizeOfSource(thandle_t handle) { return SourceOf(handle).bytes.size(); }

// libtiff reads a mapped file in place rather than copying each strip; it
// never writes to a file opened for reading.
int MapSource(thandle_t handle, void** base, toff_t* size) {
  TiffSource& source = SourceOf(handle);
  *base = const_cast<BYTE*>(source.bytes.data());
  *size = source.bytes.size();
  return 1;
}
void UnmapSource(thandle_t, void*, toff_t) {}

// Returning 1 keeps a message from libtiff's process-wide handler, which
// prints it. Most warnings are harmless (a tag it does not know), but one
// says that a tag's values lie beyond the end of the file, which libtiff
// then ignores: a palette lost that way would show the picture in grey. Such
// a file is truncated, and refused.
int Silence(TIFF*, void*, const char*, const char*, va_list) { return 1; }
int NoteTruncation(TIFF*, void* truncated, const char*, const char* format, va_list) {
  if (std::strstr(format, "IO error") != nullptr) *static_cast<bool*>(truncated) = true;
  return 1;
}

struct CloseTiff {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct FreeOptions {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

struct RgbaImage {
  TIFFRGBAImage image{};
  bool begun = false;
  ~RgbaImage() {
    if (begun) TIFFRGBAImageEnd(&image);
  }
};

// The depth the file stores, by what libtiff found in its tags.
int DepthOf(const TIFFRGBAImage& image) {
  const bool grey = image.photometric == PHOTOMETRIC_MINISBLACK || image.photometric == PHOTOMETRIC_MINISWHITE;
  if (grey && image.bitspersample == 1 && !image.alpha) return kOneBitDepth;
  if (image.photometric == PHOTOMETRIC_PALETTE || (grey && !image.alpha)) return kIndexedDepth;
  return image.alpha ? kAlphaDepth : kColourDepth;
}

}  // namespace

std::optional<gdi::DecodedImage> DecodeTiff(std::span<const BYTE> file, const DecodeLimits& limits) {
  const std::unique_ptr<TIFFOpenOptions, FreeOptions> options(TIFFOpenOptionsAlloc());
  if (!options) return std::nullopt;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Silence, nullptr);
  bool truncated = false;
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), NoteTruncation, &truncated);
  // No one allocation larger than the largest picture: a strip or tile
  // that claims more is damage.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(gdi::kMaxBitmapBytes));
  TiffSource source{file};
  const std::unique_ptr<TIFF, CloseTiff> tiff(TIFFClientOpenExt("picture", "r", &source, ReadFromSource, RefuseWrite,
                                                                SeekInSource, CloseSource, SizeOfSource, MapSource,
                                                                UnmapSource, options.get()));
  if (!tiff || truncated) return std::nullopt;

  RgbaImage rgba;
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tiff.get(), message)) return std::nullopt;
  rgba.begun = TIFFRGBAImageBegin(&rgba.image, tiff.get(), 1, message) != 0;
  if (!rgba.begun) return std::nullopt;
  std::optional<gdi::DecodedImage> picture =
      NewPicture(rgba.image.width, rgba.image.height, DepthOf(rgba.image), limits);
  if (!picture) return std::nullopt;
  rgba.image.req_orientation = ORIENTATION_BOTLEFT;  // bottom row first, as bitmaps keep them
  if (!TIFFRGBAImageGet(&rgba.image, picture->pixels.data(), rgba.image.width, rgba.image.height)) return std::nullopt;

  // libtiff premultiplies colour by alpha, except for grey pictures, whose
  // alpha it passes on straight.
  const bool straight =
      rgba.image.photometric == PHOTOMETRIC_MINISBLACK || rgba.image.photometric == PHOTOMETRIC_MINISWHITE;
  for (std::uint32_t& pixel : picture->pixels) {
    const std::uint32_t r = TIFFGetR(pixel), g = TIFFGetG(pixel), b = TIFFGetB(pixel), a = TIFFGetA(pixel);
    pixel = straight ? RgbaOverWhite(r, g, b, a) : PremultipliedOverWhite(r, g, b, a);
  }
  return picture;
}

}  // namespace kp::codecs
