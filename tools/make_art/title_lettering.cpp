#include "tools/make_art/title_lettering.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace make_art {
namespace {

constexpr double kXHeight = 0.7;
constexpr double kPen = 0.115;   // half the stroke width, in capital heights
constexpr double kSlant = 0.16;  // x shift per unit of height
constexpr double kGap = 0.16;    // space between letters

using Stroke = std::vector<Vec>;

struct Glyph {
  double advance;
  std::vector<Stroke> strokes;
};

// An arc around `centre` with radii (rx, ry) from angle a0 to a1 (degrees,
// counter-clockwise from +x), as a polyline.
Stroke Arc(Vec centre, double rx, double ry, double a0, double a1) {
  Stroke s;
  const int steps = 24;
  for (int i = 0; i <= steps; ++i) {
    const double a = (a0 + (a1 - a0) * i / steps) * kPi / 180;
    s.push_back({centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)});
  }
  return s;
}

Stroke Join(Stroke a, const Stroke& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<Glyph> Word() {
  const double h = kXHeight, m = kXHeight / 2;
  std::vector<Glyph> glyphs;
  // K
  glyphs.push_back({0.74, {{{0, 0}, {0, 1}}, {{0.66, 1}, {0.04, 0.4}}, {{0.24, 0.59}, {0.7, 0}}}});
  // e: the bar, then round from its right end over the top and down
  glyphs.push_back({0.66, {Join({{0.06, m + 0.02}, {0.6, m + 0.02}}, Arc({0.33, m}, 0.28, m, 5, 320))}});
  // s
  glyphs.push_back(
      {0.56, {Join(Arc({0.28, h * 0.73}, 0.22, h * 0.26, 30, 270), Arc({0.28, h * 0.27}, 0.24, h * 0.27, 90, -150))}});
  // t
  glyphs.push_back(
      {0.46, {Join({{0.17, 0.95}, {0.17, 0.16}}, Arc({0.35, 0.16}, 0.18, 0.16, 180, 300)), {{0.0, h}, {0.42, h}}}});
  // r
  glyphs.push_back({0.5, {{{0.04, h}, {0.04, 0}}, Arc({0.32, h * 0.4}, 0.28, h * 0.55, 180, 80)}});
  // o
  glyphs.push_back({0.66, {Arc({0.32, m}, 0.29, m, 0, 360)}});
  // w
  glyphs.push_back({0.92, {{{0, h}, {0.2, 0}, {0.45, h * 0.78}, {0.7, 0}, {0.9, h}}}});
  return glyphs;
}

double DistanceToGlyph(const Glyph& g, Vec p) {
  double best = 1e9;
  for (const Stroke& s : g.strokes)
    for (std::size_t i = 0; i + 1 < s.size(); ++i) best = std::min(best, DistanceToSegment(s[i], s[i + 1], p));
  return best;
}

Rgb Gold(double y) {
  // Pale gold at the top of a letter, deep orange at its foot.
  const double t = std::clamp(1.0 - y, 0.0, 1.0);
  if (t < 0.45) return Mix({255, 246, 176}, {252, 208, 84}, t / 0.45);
  return Mix({252, 208, 84}, {220, 112, 30}, (t - 0.45) / 0.55);
}

}  // namespace

void DrawTitle(Layer& layer, const TitleStyle& style) {
  const std::vector<Glyph> glyphs = Word();
  double width = -kGap;
  for (const Glyph& g : glyphs) width += g.advance + kGap;
  double penX = -width / 2;
  const double mid = kXHeight / 2;
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    const Glyph& g = glyphs[i];
    const double turn = std::clamp(style.reveal - static_cast<double>(i), 0.0, 1.0);
    if (turn > 0) {
      // Vertical scale of a letter turning over about its middle line.
      const double squeeze = std::sin(turn * kPi / 2);
      // Picture pixel centre to the letter's own coordinates.
      const auto local = [&](double px, double py) {
        double ly = (style.baselineCentre.y - py) / style.capHeight;
        ly = mid + (ly - mid) / squeeze;
        return Vec{(px - style.baselineCentre.x) / style.capHeight - penX - kSlant * ly, ly};
      };
      const auto inked = [&](Vec q) { return DistanceToGlyph(g, q) <= kPen; };
      for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
          const Vec q = local(x + 0.5, y + 0.5);
          if (q.x < -0.3 || q.x > g.advance + 0.3 || q.y < -0.3 || q.y > 1.3 || !inked(q)) continue;
          // The back of a turning letter is darker than its face; edges that
          // face the light (up and to the left) catch a highlight.
          Rgb c = Shade(Gold(q.y), 0.55 + 0.45 * squeeze);
          if (!inked(local(x - 0.5, y - 0.5))) c = Mix(c, {255, 255, 236}, 0.55);
          layer.Set(x, y, 0, c);
        }
    }
    penX += g.advance + kGap;
  }
}

}  // namespace make_art
