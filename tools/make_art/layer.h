#pragma once
// A figure drawn apart from the background (the kestrel, the lettering) so
// that it can be given an outline before it is laid onto the scene: pixel-art
// figures read at small sizes only with a dark edge around them.

#include <vector>

#include "tools/make_art/canvas.h"

namespace make_art {

class Layer {
 public:
  Layer(int width, int height);

  // Sets a pixel of part `part`; parts with lower numbers lie in front.
  void Set(int x, int y, int part, Rgb colour);
  bool Covered(int x, int y) const;
  int Part(int x, int y) const;  // -1 where nothing is drawn

  int width() const { return m_width; }
  int height() const { return m_height; }

  // Lays the layer onto `canvas`. Uncovered pixels touching a covered one
  // (eight neighbours) take `outline`; a covered pixel of an `edged` part
  // that touches a part lying behind it is darkened, so that a wing reads
  // apart from the body under it. `shadow` darkens the canvas where the
  // layer, moved by (dx, dy), would cover it (zero strength for none).
  struct Style {
    Rgb outline;
    std::vector<bool> edgedParts;
    double innerEdgeShade = 0.62;
    int shadowDx = 0;
    int shadowDy = 0;
    Rgb shadowColour;
    double shadowStrength = 0;
  };
  void Composite(Canvas& canvas, const Style& style) const;

 private:
  bool InBounds(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

  int m_width;
  int m_height;
  std::vector<int> m_part;
  std::vector<Rgb> m_colour;
};

}  // namespace make_art
