#pragma once
// Loading bitmap files. The file's type is decided by its content, never by
// its name: bitmap files ("BM") go through our own DIB decoder, which reads
// every form of the format the way Windows does; anything else goes to the
// picture decoders that platform/codecs installs (PNG, JPEG, GIF, WebP,
// TIFF, TGA, Netpbm, icons).

#include <cstddef>
#include <optional>
#include <span>

#include "platform/base/win_user.h"
#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/gdi_types.h"

// With type IMAGE_BITMAP and LR_LOADFROMFILE, loads the file named `name`
// into a DIB-section bitmap that reports the file's depth (a 8-bit bitmap
// file gives bmBitsPixel 8); cx and cy non-zero resize it by nearest sample.
// NULL for files that cannot be opened or are not regular files, files over
// kMaxImageFileBytes, undecodable or truncated content, pictures of more
// than kMaxBitmapBytes, and other types from files. Without LR_LOADFROMFILE
// the call goes to the resource loader the resources layer installs (NULL
// while none is).
HANDLE LoadImage(HINSTANCE instance, LPCTSTR name, UINT type, int cx, int cy, UINT flags);

namespace kp::gdi {

constexpr std::size_t kMaxImageFileBytes = std::size_t{512} << 20;

// Loads images from module resources for LoadImage without
// LR_LOADFROMFILE; installed once by the resources layer.
using ResourceImageLoader = HANDLE (*)(HINSTANCE instance, LPCTSTR name, UINT type, int cx, int cy, UINT flags);
void SetResourceImageLoader(ResourceImageLoader loader);

// Decodes picture files that are not bitmap files, for LoadImage; installed
// once by platform/codecs, above this folder. While none is, only bitmap
// files load.
using ImageFileDecoder = std::optional<DecodedImage> (*)(std::span<const BYTE> bytes);
void SetImageFileDecoder(ImageFileDecoder decoder);

// The decoding behind LoadImage, over the file's bytes.
HBITMAP LoadBitmapFromBytes(std::span<const BYTE> bytes, int cx = 0, int cy = 0);

}  // namespace kp::gdi
