#pragma once
// Icons: one or more images of 32-bit ARGB with straight (not premultiplied)
// alpha, kept in the GDI handle table. The window layer reads the images to
// build its own icons; DrawIcon blends the best-sized image into a DC.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace kp::gdi {

struct IconImage {
  int width = 0;
  int height = 0;
  // width x height pixels 0xAARRGGBB, top row first, straight alpha.
  std::vector<std::uint32_t> argb;
};

// An icon holding copies of `images` (at least one; each with a positive
// size and width x height pixels). NULL otherwise.
HICON CreateIconFromImages(std::span<const IconImage> images);
// The same, for an icon shared for the whole run of the process (icons
// loaded from resources): like a stock object it is never destroyed and is
// not counted among live objects.
HICON CreateSharedIconFromImages(std::span<const IconImage> images);

// Copies of the icon's images, in the order given; empty for an invalid
// handle.
std::vector<IconImage> GetIconImages(HICON icon);

// Decodes one icon image as an RT_ICON resource or .ico entry stores it: a
// packed DIB whose biHeight is twice the icon's height, holding the colour
// (XOR) bitmap at 1, 4, 8, 24 or 32 bits per pixel and then the one-bit AND
// mask, each row padded to 4 bytes. Pixels whose mask bit is set are
// transparent; 32-bit images whose alpha bytes are not all zero use those
// instead of the mask. nullopt for malformed or truncated input.
std::optional<IconImage> DecodeIconImage(std::span<const BYTE> packedDib);

}  // namespace kp::gdi

BOOL DestroyIcon(HICON icon);

// Draws the icon at its default size (SM_CXICON x SM_CYICON, 32 x 32).
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);

// Draws the icon scaled to cx x cy by nearest sample, alpha-blended over the
// target: the image closest in size to the target size is used. cx or cy 0
// means the image's own size (or 32 with DI_DEFAULTSIZE). step and flicker
// brush are accepted and not used; DI_IMAGE and DI_MASK both draw the
// blended image.
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker, UINT flags);
