#include <algorithm>
#include <new>
#include <string_view>

#include "platform/codecs/picture_decoders.h"
#include "platform/gdi/load_image.h"

namespace kp::codecs {

namespace {

bool StartsWith(std::span<const BYTE> file, std::string_view signature, std::size_t at = 0) {
  return file.size() >= at + signature.size() &&
         std::equal(signature.begin(), signature.end(), file.begin() + static_cast<std::ptrdiff_t>(at),
                    [](char s, BYTE b) { return static_cast<BYTE>(s) == b; });
}

bool IsPng(std::span<const BYTE> file) { return StartsWith(file, "\x89PNG\r\n\x1A\n"); }
bool IsJpeg(std::span<const BYTE> file) { return StartsWith(file, "\xFF\xD8\xFF"); }
bool IsGif(std::span<const BYTE> file) { return StartsWith(file, "GIF87a") || StartsWith(file, "GIF89a"); }
bool IsWebp(std::span<const BYTE> file) { return StartsWith(file, "RIFF") && StartsWith(file, "WEBP", 8); }

// Classic and big TIFF, in either byte order.
bool IsTiff(std::span<const BYTE> file) {
  using namespace std::string_view_literals;
  return StartsWith(file, "II*\0"sv) || StartsWith(file, "MM\0*"sv) || StartsWith(file, "II+\0"sv) ||
         StartsWith(file, "MM\0+"sv);
}

// "P1" to "P7" and a white-space character.
bool IsNetpbm(std::span<const BYTE> file) {
  return file.size() >= 3 && file[0] == 'P' && file[1] >= '1' && file[1] <= '7' &&
         std::string_view(" \t\n\v\f\r").find(static_cast<char>(file[2])) != std::string_view::npos;
}

// A reserved zero, type 1 (icon) or 2 (cursor) and at least one image. So
// little that a TGA file may begin the same way.
bool IsIconFile(std::span<const BYTE> file) {
  return file.size() >= 6 && file[0] == 0 && file[1] == 0 && (file[2] == 1 || file[2] == 2) && file[3] == 0 &&
         (file[4] != 0 || file[5] != 0);
}

struct Format {
  bool (*claims)(std::span<const BYTE> file);
  std::optional<gdi::DecodedImage> (*decode)(std::span<const BYTE> file, const DecodeLimits& limits);
  // A file this format claims and cannot decode is damaged, and no other
  // format is tried.
  bool signatureDecides;
};

constexpr Format kFormats[] = {
    {IsPng, DecodePng, true},
    {IsJpeg, DecodeJpeg, true},
    {IsGif, DecodeGif, true},
    {IsWebp, DecodeWebp, true},
    {IsTiff, DecodeTiff, true},
    {IsNetpbm, DecodeNetpbm, true},
    {IsIconFile, DecodeIconFile, false},
};

std::optional<gdi::DecodedImage> DecodeForLoadImage(std::span<const BYTE> file) {
  try {
    return DecodePictureFile(file);
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // LoadImage fails when memory runs out, as for any other picture it cannot make
  }
}

// LoadImage reaches the decoders through gdi's hook, so that gdi, below this
// folder, never includes it.
const struct InstallDecoder {
  InstallDecoder() { gdi::SetImageFileDecoder(&DecodeForLoadImage); }
} g_installDecoder;

}  // namespace

std::optional<gdi::DecodedImage> DecodePictureFile(std::span<const BYTE> file, const DecodeLimits& limits) {
  for (const Format& format : kFormats) {
    if (!format.claims(file)) continue;
    if (std::optional<gdi::DecodedImage> picture = format.decode(file, limits)) return picture;
    if (format.signatureDecides) return std::nullopt;
  }
  return DecodeTga(file, limits);
}

}  // namespace kp::codecs
