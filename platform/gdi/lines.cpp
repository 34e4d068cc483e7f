#include "platform/gdi/lines.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/path_recorder.h"

using namespace kp::gdi::detail;

namespace {

void Stamp(const PixelTarget& t, long long x, long long y, int width, std::uint32_t rgb) {
  if (width <= 1) {
    if (t.Contains(x, y)) t.Put(static_cast<int>(x), static_cast<int>(y), rgb);
    return;
  }
  const long long lo = -(width / 2);
  t.FillRect(x + lo, y + lo, x + lo + width, y + lo + width, rgb);
}

// Draws (x0, y0) .. (x1, y1), last pixel excluded.
void DrawSegment(const PixelTarget& t, const PenObject& pen, long long x0, long long y0, long long x1, long long y1) {
  if (pen.style == PS_NULL || !t.writable) return;
  const std::uint32_t rgb = SwapRedBlue(pen.color);
  const long long dx = x1 - x0, dy = y1 - y0;
  const long long adx = std::llabs(dx), ady = std::llabs(dy);
  const long long n = std::max(adx, ady);
  if (n == 0) return;
  const bool xMajor = adx >= ady;
  const long long a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
  const long long sa = (xMajor ? dx : dy) < 0 ? -1 : 1, sb = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const long long da = xMajor ? adx : ady, db = xMajor ? ady : adx;
  // Only steps whose major coordinate can touch the target are visited, so a
  // line running far outside costs nothing.
  const long long extent = xMajor ? t.width : t.height;
  const long long margin = std::max(pen.width, 1);
  long long kBegin = 0, kEnd = n;
  if (sa > 0) {
    kBegin = std::max(kBegin, -margin - a0);
    kEnd = std::min(kEnd, extent + margin - a0);
  } else {
    kBegin = std::max(kBegin, a0 - extent - margin);
    kEnd = std::min(kEnd, a0 + margin + 1);
  }
  for (long long k = kBegin; k < kEnd; ++k) {
    const long long a = a0 + sa * k;
    const long long b = b0 + sb * static_cast<long long>((2 * static_cast<__int128>(k) * db + da) / (2 * da));
    if (xMajor)
      Stamp(t, a, b, pen.width, rgb);
    else
      Stamp(t, b, a, pen.width, rgb);
  }
}

struct Drawing {
  DcObject* dc;
  PenObject* pen;
  PixelTarget target;
};

bool Begin(HDC hdc, Drawing& d) {
  d.dc = Lookup<DcObject>(hdc);
  if (!d.dc) return false;
  d.pen = Lookup<PenObject>(d.dc->pen);
  if (!d.pen) return false;
  d.target = TargetOf(*d.dc);
  return true;
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->position;
  dc->position = POINT{x, y};
  if (IsRecording(*dc)) PathMoveTo(*dc, dc->position);
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  Drawing d;
  if (!Begin(hdc, d)) return FALSE;
  const POINT from = d.dc->position;
  d.dc->position = POINT{x, y};
  if (IsRecording(*d.dc)) {
    PathLineTo(*d.dc, from, d.dc->position);
    return TRUE;
  }
  DrawSegment(d.target, *d.pen, from.x, from.y, x, y);
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
  Drawing d;
  if (!points || count < 2 || !Begin(hdc, d)) return FALSE;
  if (IsRecording(*d.dc)) {
    PathMoveTo(*d.dc, points[0]);
    for (int i = 1; i < count; ++i) PathLineTo(*d.dc, points[i - 1], points[i]);
    return TRUE;
  }
  for (int i = 1; i < count; ++i)
    DrawSegment(d.target, *d.pen, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
  return TRUE;
}
