#include "tools/make_art/layer.h"

namespace make_art {

Layer::Layer(int width, int height)
    : m_width(width), m_height(height), m_part(static_cast<std::size_t>(width) * height, -1),
      m_colour(static_cast<std::size_t>(width) * height) {}

void Layer::Set(int x, int y, int part, Rgb colour) {
  if (!InBounds(x, y)) return;
  m_part[static_cast<std::size_t>(y) * m_width + x] = part;
  m_colour[static_cast<std::size_t>(y) * m_width + x] = colour;
}

bool Layer::Covered(int x, int y) const { return Part(x, y) >= 0; }

int Layer::Part(int x, int y) const { return InBounds(x, y) ? m_part[static_cast<std::size_t>(y) * m_width + x] : -1; }

void Layer::Composite(Canvas& canvas, const Style& style) const {
  if (style.shadowStrength > 0) {
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x)
        if (Covered(x - style.shadowDx, y - style.shadowDy) && !Covered(x, y))
          canvas.At(x, y) = Mix(canvas.At(x, y), style.shadowColour, style.shadowStrength);
  }
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const int part = Part(x, y);
      if (part < 0) {
        bool touches = false;
        for (int dy = -1; dy <= 1 && !touches; ++dy)
          for (int dx = -1; dx <= 1 && !touches; ++dx) touches = Covered(x + dx, y + dy);
        if (touches) canvas.At(x, y) = style.outline;
        continue;
      }
      Rgb c = m_colour[static_cast<std::size_t>(y) * m_width + x];
      if (static_cast<std::size_t>(part) < style.edgedParts.size() && style.edgedParts[part]) {
        static constexpr int kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : kSteps) {
          if (Part(x + step[0], y + step[1]) > part) {
            c = Shade(c, style.innerEdgeShade);
            break;
          }
        }
      }
      canvas.At(x, y) = c;
    }
  }
}

}  // namespace make_art
