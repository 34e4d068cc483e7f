#pragma once
// Decoding picture files other than bitmap files, for LoadImage: each format
// by the reference library made for it (libpng, libjpeg-turbo, giflib,
// libwebp, libtiff), TGA and the Netpbm formats by parsers of our own, and
// icon and cursor files through gdi's icon-image decoder. The folder
// installs DecodePictureFile into gdi's decoder hook when the platform
// library loads, so the editor, the control and kestrow-cli decode every
// picture alike.
//
// Every decoder gives the picture in the bitmap layout (bottom-up
// 0x00RRGGBB), with alpha composited over white, and reports the depth the
// file stores: 1 for one-bit pictures, 8 for indexed or grey ones (a palette
// with transparent entries included), 32 for colour with alpha and 24
// otherwise. It refuses, with nullopt and nothing printed, whatever is not
// its format, is damaged or truncated, or declares more pixels than the
// limits allow, which it checks before taking any pixel memory. The first
// picture of a file that holds several is the one decoded.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/base/win_types.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib_decoder.h"

namespace kp::codecs {

struct DecodeLimits {
  // The most pixels a picture may have; by default what a bitmap of
  // kMaxBitmapBytes holds at 32 bits. The fuzz targets lower it to keep
  // their inputs quick.
  std::uint64_t maxPixels = gdi::kMaxBitmapBytes / 4;
};

// Decides the format by content: every format with a signature first, then
// TGA by its header, which is all it has. Bitmap files are gdi's own and
// are not read here.
std::optional<gdi::DecodedImage> DecodePictureFile(std::span<const BYTE> file, const DecodeLimits& limits = {});

// One format each; nullopt for bytes of another format.
std::optional<gdi::DecodedImage> DecodePng(std::span<const BYTE> file, const DecodeLimits& limits = {});
std::optional<gdi::DecodedImage> DecodeJpeg(std::span<const BYTE> file, const DecodeLimits& limits = {});
// The first frame, on the logical screen; what it leaves uncovered is
// transparent.
std::optional<gdi::DecodedImage> DecodeGif(std::span<const BYTE> file, const DecodeLimits& limits = {});
// Still and animated (the first frame).
std::optional<gdi::DecodedImage> DecodeWebp(std::span<const BYTE> file, const DecodeLimits& limits = {});
// The first image of the file, in every layout libtiff reads as RGBA.
std::optional<gdi::DecodedImage> DecodeTiff(std::span<const BYTE> file, const DecodeLimits& limits = {});
// Colour-mapped, true-colour and grey, run-length encoded or not, from
// either corner; the TGA 2.0 extension area, where the file has one, says
// whether the alpha channel holds alpha.
std::optional<gdi::DecodedImage> DecodeTga(std::span<const BYTE> file, const DecodeLimits& limits = {});
// PBM, PGM and PPM, plain and raw, and PAM.
std::optional<gdi::DecodedImage> DecodeNetpbm(std::span<const BYTE> file, const DecodeLimits& limits = {});
// Icon (.ico) and cursor (.cur) files: the largest image of the directory,
// stored as a DIB with its mask or as a PNG.
std::optional<gdi::DecodedImage> DecodeIconFile(std::span<const BYTE> file, const DecodeLimits& limits = {});

}  // namespace kp::codecs
