#include "platform/gdi/stretch_blt.h"

#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/stretch_core.h"

using namespace kp::gdi::detail;

namespace {

// The fill colour of a fill-only raster operation, as 0x00RRGGBB; false for
// a null brush or an operation that is not a fill.
bool FillColour(DcObject& dc, DWORD rop, std::uint32_t& rgb, bool& draws) {
  draws = true;
  switch (rop) {
    case BLACKNESS: rgb = 0; return true;
    case WHITENESS: rgb = 0x00FFFFFF; return true;
    case PATCOPY: {
      BrushObject* brush = Lookup<BrushObject>(dc.brush);
      draws = brush && brush->style == BS_SOLID;
      rgb = brush ? SwapRedBlue(brush->color) : 0;
      return true;
    }
    default: return false;
  }
}

// How the source columns of a stretched row lie.
enum class Columns { Unknown, Adjacent, Inside, Clipped };

Columns ShapeOf(const std::vector<int>& columns) {
  bool adjacent = true;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    if (columns[k] < 0) return Columns::Clipped;
    adjacent = adjacent && columns[k] == columns[0] + static_cast<int>(k);
  }
  return adjacent ? Columns::Adjacent : Columns::Inside;
}

}  // namespace

BOOL StretchBlt(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc,
                DWORD rop) {
  DcObject* dst = Lookup<DcObject>(hdcDest);
  if (!dst) return FALSE;
  if (rop != SRCCOPY) {
    if (w != wSrc || h != hSrc) return FALSE;
    return PatBlt(hdcDest, x, y, w, h, rop);
  }
  DcObject* src = Lookup<DcObject>(hdcSrc);
  if (!src || w < 0 || h < 0 || wSrc <= 0 || hSrc <= 0) return FALSE;
  if (w == 0 || h == 0) return TRUE;
  const PixelTarget to = TargetOf(*dst);
  PixelTarget from = TargetOf(*src);
  // Both rectangles in pixels: on a surface of more pixels than units the
  // target's pixels each take a source pixel, so a picture is scaled once,
  // from its own pixels, to the pixels it is shown on.
  long long sx = from.Device(xSrc), sy = from.Device(ySrc);
  const long long sw = from.Device(0LL + xSrc + wSrc) - sx, sh = from.Device(0LL + ySrc + hSrc) - sy;
  const long long dx = to.Device(x), dy = to.Device(y);
  const long long dw = to.Device(0LL + x + w) - dx, dh = to.Device(0LL + y + h) - dy;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return TRUE;
  // Copying within one store reads from a snapshot of the source rectangle,
  // so overlapping rectangles copy as if all reads came first.
  std::vector<std::uint32_t> snapshot;
  if (from.top && from.top == to.top) {
    const long long x0 = std::max<long long>(sx, 0), x1 = std::min<long long>(sx + sw, from.width);
    const long long y0 = std::max<long long>(sy, 0), y1 = std::min<long long>(sy + sh, from.height);
    if (x0 >= x1 || y0 >= y1) return TRUE;
    const int cw = static_cast<int>(x1 - x0), ch = static_cast<int>(y1 - y0);
    snapshot.resize(static_cast<std::size_t>(cw) * static_cast<std::size_t>(ch));
    for (int r = 0; r < ch; ++r)
      for (int c = 0; c < cw; ++c)
        snapshot[static_cast<std::size_t>(r) * cw + c] = from.Row(static_cast<int>(y0) + r)[x0 + c] & 0x00FFFFFF;
    PixelTarget copy;
    copy.top = snapshot.data();
    copy.step = cw;
    copy.width = cw;
    copy.height = ch;
    from = copy;
    sx -= x0;
    sy -= y0;
  }
  if (!to.writable) return TRUE;
  // Every row takes the same columns, so what they look like is worked out
  // once: a run of adjacent columns (an unscaled copy) is a straight copy,
  // and columns all inside the source need no test per pixel.
  Columns shape = Columns::Unknown;
  ForEachStretchedRow(from.width, from.height, sx, sy, sw, sh, to.width, to.height, dx, dy, dw, dh,
                      [&](int ty, int fy, int tx0, const std::vector<int>& columns) {
                        const std::size_t n = columns.size();
                        if (shape == Columns::Unknown) shape = ShapeOf(columns);
                        const std::uint32_t* in = from.Row(fy);
                        std::uint32_t* out = to.Row(ty) + tx0;
                        const std::uint32_t alpha = to.alpha;
                        if (shape == Columns::Adjacent) {
                          CopyRowWithAlpha(in + columns[0], out, n, alpha);
                        } else if (shape == Columns::Inside) {
                          for (std::size_t k = 0; k < n; ++k) out[k] = (in[columns[k]] & 0x00FFFFFF) | alpha;
                        } else {
                          for (std::size_t k = 0; k < n; ++k)
                            if (columns[k] >= 0) out[k] = (in[columns[k]] & 0x00FFFFFF) | alpha;
                        }
                      });
  return TRUE;
}

BOOL BitBlt(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xSrc, int ySrc, DWORD rop) {
  if (rop != SRCCOPY) return PatBlt(hdcDest, x, y, w, h, rop);
  return StretchBlt(hdcDest, x, y, w, h, hdcSrc, xSrc, ySrc, w, h, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return FALSE;
  std::uint32_t rgb = 0;
  bool draws = true;
  if (!FillColour(*dc, rop, rgb, draws)) return FALSE;
  long long left = x, right = 0LL + x + w, top = y, bottom = 0LL + y + h;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (draws) TargetOf(*dc).FillRect(left, top, right, bottom, rgb);
  return TRUE;
}
