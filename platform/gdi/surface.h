#pragma once
// Device contexts over pixels that someone else owns: the window layer's
// backing images. This is how the window layer hands GDI a place to paint.

#include <cstddef>
#include <cstdint>

#include "platform/base/handles.h"

namespace kp::gdi {

// `height` rows of `width` pixels, top row first, each row `strideInPixels`
// pixels after the previous one (at least `width`). Pixels are 0xAARRGGBB
// (Qt's RGB32); every pixel GDI writes gets alpha 0xFF. To paint a part of an
// image with its own origin, point `pixels` at the part's top-left pixel and
// give the part's size: GDI never touches a pixel outside the surface.
//
// On a high-density screen a window has more pixels than units of drawing:
// `scale` pixels per unit (2 on a screen of twice the density, 1.5...). The
// width and height are then the pixels', and drawing is still given in
// units: unit square (x, y) covers the pixels from round(x * scale) to
// round((x + 1) * scale), across and down, so lines and fills stay sharp,
// and a blit samples its source at every pixel of its target, scaling a
// picture once from its own pixels.
struct Surface {
  int width = 0;
  int height = 0;
  std::uint32_t* pixels = nullptr;
  std::ptrdiff_t strideInPixels = 0;
  double scale = 1;
};

// A DC drawing into `surface`; null when the surface is malformed (negative
// size, stride shorter than a row, no pixels for a non-empty size). The
// pixels stay the owner's and must outlive the DC; DeleteDC releases the DC.
// A bitmap cannot be selected into it; it can be the source of a blit.
HDC CreateSurfaceDC(const Surface& surface);

}  // namespace kp::gdi
