#include "platform/gdi/paths.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/path_recorder.h"

using namespace kp::gdi::detail;

namespace kp::gdi::detail {

void PathMoveTo(DcObject& dc, POINT p) {
  auto& figures = dc.path.figures;
  if (!figures.empty() && figures.back().size() == 1)
    figures.back()[0] = p;
  else
    figures.push_back({p});
}

void PathLineTo(DcObject& dc, POINT from, POINT to) {
  auto& figures = dc.path.figures;
  if (figures.empty()) figures.push_back({from});
  figures.back().push_back(to);
}

}  // namespace kp::gdi::detail

namespace {

using Wide = __int128;

// An x coordinate as the exact fraction num / den (den > 0).
struct Crossing {
  Wide num;
  Wide den;
};

bool Less(const Crossing& a, const Crossing& b) { return a.num * b.den < b.num * a.den; }

Wide FloorDiv(Wide a, Wide b) {  // b > 0
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
Wide CeilDiv(Wide a, Wide b) { return -FloorDiv(-a, b); }

// Fills the closed polygons by the even-odd rule, sampling pixel centres.
// Vertices are integers and centres half-integers, so a centre row never
// passes through a vertex; a centre exactly on a slanted edge is inside.
void FillFigures(const PixelTarget& t, const std::vector<std::vector<POINT>>& figures, std::uint32_t rgb) {
  long long yMin = 0, yMax = -1;
  bool any = false;
  for (const auto& f : figures)
    for (const POINT& p : f) {
      yMin = any ? std::min<long long>(yMin, p.y) : p.y;
      yMax = any ? std::max<long long>(yMax, p.y) : p.y;
      any = true;
    }
  if (!any) return;
  yMin = std::max<long long>(yMin, 0);
  yMax = std::min<long long>(yMax, t.height);
  std::vector<Crossing> crossings;
  for (long long j = yMin; j < yMax; ++j) {
    const Wide yc2 = 2 * static_cast<Wide>(j) + 1;  // twice the centre's y
    crossings.clear();
    for (const auto& f : figures) {
      for (std::size_t i = 0; i < f.size(); ++i) {
        const POINT& a = f[i];
        const POINT& b = f[(i + 1) % f.size()];  // the last edge closes the figure
        if (a.y == b.y) continue;
        const Wide ya2 = 2 * static_cast<Wide>(std::min(a.y, b.y)), yb2 = 2 * static_cast<Wide>(std::max(a.y, b.y));
        if (yc2 < ya2 || yc2 > yb2) continue;
        // x = a.x + (b.x - a.x) * (yc - a.y) / (b.y - a.y)
        Wide den = 2 * (static_cast<Wide>(b.y) - a.y);
        Wide num = static_cast<Wide>(a.x) * den + (static_cast<Wide>(b.x) - a.x) * (yc2 - 2 * static_cast<Wide>(a.y));
        if (den < 0) num = -num, den = -den;
        crossings.push_back({num, den});
      }
    }
    std::sort(crossings.begin(), crossings.end(), Less);
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const Crossing& l = crossings[k];
      const Crossing& r = crossings[k + 1];
      // Columns i with l <= i + 1/2 <= r.
      const Wide first = CeilDiv(2 * l.num - l.den, 2 * l.den);
      const Wide last = FloorDiv(2 * r.num - r.den, 2 * r.den);
      if (first > last) continue;
      const Wide lo = std::max<Wide>(first, -1), hi = std::min<Wide>(last + 1, static_cast<Wide>(t.width) + 1);
      t.FillSpan(static_cast<int>(j), static_cast<long long>(lo), static_cast<long long>(hi), rgb);
    }
  }
}

}  // namespace

BOOL BeginPath(HDC hdc) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return FALSE;
  dc->path = PathState{};
  dc->path.stage = PathState::Stage::Recording;
  dc->path.figures.push_back({dc->position});
  return TRUE;
}

BOOL EndPath(HDC hdc) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc || dc->path.stage != PathState::Stage::Recording) return FALSE;
  dc->path.stage = PathState::Stage::Closed;
  return TRUE;
}

BOOL FillPath(HDC hdc) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc || dc->path.stage != PathState::Stage::Closed) return FALSE;
  const std::vector<std::vector<POINT>> figures = std::move(dc->path.figures);
  dc->path = PathState{};
  BrushObject* brush = Lookup<BrushObject>(dc->brush);
  if (brush && brush->style == BS_SOLID) FillFigures(TargetOf(*dc), figures, SwapRedBlue(brush->color));
  return TRUE;
}
