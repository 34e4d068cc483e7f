#pragma once
// The name "Kestrow" in letters of our own: each letter is a few strokes of
// a round-ended pen, described in units of the capital height, slanted a
// little, and filled with a gold gradient. Letters can be drawn part way
// through turning over about their middle, like the tiles below them.

#include "tools/make_art/geometry.h"
#include "tools/make_art/layer.h"

namespace make_art {

struct TitleStyle {
  Vec baselineCentre;  // the middle of the word on its baseline, in pixels
  double capHeight;    // pixels
  // How far the word has turned into view, in letters: 0 shows nothing, 7
  // the whole word, 2.5 the first two letters and the third half turned.
  double reveal;
};

void DrawTitle(Layer& layer, const TitleStyle& style);

}  // namespace make_art
