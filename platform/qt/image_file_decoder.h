#pragma once
// Decoding image files of the formats Qt reads (PNG, JPEG, GIF, ...), for
// LoadImage. A plain C++ interface: no Qt type crosses it.

#include <optional>
#include <span>

#include "platform/base/win_types.h"
#include "platform/gdi/dib_decoder.h"

namespace kp::qt {

// Decodes the bytes by their content. The picture comes back in the bitmap
// layout (bottom-up 0x00RRGGBB); transparent pixels are composed over white.
// bitsPerPixel is 1 for one-bit pictures, 8 for indexed or grey ones, 32 for
// pictures with alpha and 24 otherwise. nullopt for anything Qt cannot read
// and for pictures larger than kp::gdi::kMaxBitmapBytes at 32 bits.
std::optional<kp::gdi::DecodedImage> DecodeImageFile(std::span<const BYTE> bytes);

}  // namespace kp::qt
