#pragma once
// Reduces true-colour pictures to one shared palette of 256 entries: median
// cut over the colours of every picture, refined by a few rounds of k-means,
// then each pixel takes its nearest entry (no dithering, so flat areas stay
// flat and compress into long runs).

#include <array>
#include <span>

#include "tools/make_art/canvas.h"
#include "tools/make_art/indexed_image.h"

namespace make_art {

using Palette256 = std::array<Rgb, 256>;

// A palette for all of `pictures` together. Pictures with 256 colours or
// fewer between them keep their colours exactly. Entries are sorted from
// dark to light; entries no colour needs are black.
Palette256 BuildPalette(std::span<const Canvas> pictures);

// The index of the entry nearest to `c` (the lowest such index).
std::uint8_t NearestEntry(const Palette256& palette, Rgb c);

// Every pixel of `picture` mapped to its nearest entry.
IndexedImage MapToPalette(const Canvas& picture, const Palette256& palette);

}  // namespace make_art
