#include "editor/import/convert_bitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "editor/import/palette_matcher.h"
#include "editor/import/scaled_pixels.h"
#include "platform/gdi/gdi.h"

namespace {

// Where the indices of target row y (0 at the top) go: column order puts
// pixel (x, y) at byte x * dh + y, bottom-up row order at (dh - 1 - y) * dw +
// x. Row y - 1 lies one byte before row y in column order and a row after
// it in bottom-up order.
struct OutputRows {
  BYTE* output;
  int dw;
  int dh;
  bool bottomUpRows;

  BYTE* Start(int y) const {
    return output + (bottomUpRows ? static_cast<std::ptrdiff_t>(dh - 1 - y) * dw : static_cast<std::ptrdiff_t>(y));
  }
  std::ptrdiff_t Step() const { return bottomUpRows ? 1 : dh; }
  // Target row y takes the same source row as row y - 1: the same indices.
  void RepeatRowAbove(int y) const {
    BYTE* to = Start(y);
    if (bottomUpRows) {
      std::memcpy(to, to + dw, static_cast<std::size_t>(dw));
      return;
    }
    for (std::ptrdiff_t x = 0; x < dw; ++x) to[x * dh] = to[x * dh - 1];
  }
};

std::vector<int> EveryColumn(int width) {
  std::vector<int> columns(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) columns[static_cast<std::size_t>(x)] = x;
  return columns;
}

// The source read unscaled at the target coordinates, one GetPixel call per
// pixel: white where the source has no pixel.
void MapUnscaled(HDC source, const OutputRows& rows, PaletteMatcher& matcher) {
  const std::vector<int> columns = EveryColumn(rows.dw);
  std::vector<DWORD> colours(static_cast<std::size_t>(rows.dw));
  for (int y = 0; y < rows.dh; ++y) {
    for (int x = 0; x < rows.dw; ++x) colours[static_cast<std::size_t>(x)] = RgbOf(GetPixel(source, x, y));
    matcher.MapRow(colours.data(), columns.data(), rows.dw, rows.Start(y), rows.Step());
  }
}

// The source scaled by the floor rule, read straight from its pixels. A
// target pixel with no source pixel is black, as a fresh scratch bitmap
// would leave it.
void MapScaled(const kp::gdi::StretchedRows& source, const OutputRows& rows, PaletteMatcher& matcher) {
  std::vector<DWORD> staged;
  std::vector<int> every;
  for (int y = 0; y < rows.dh; ++y) {
    if (y > 0 && source.SourceRow(y) == source.SourceRow(y - 1)) {
      rows.RepeatRowAbove(y);
      continue;
    }
    const std::uint32_t* row = source.Row(y);
    if (row != nullptr && source.ColumnsInside()) {
      matcher.MapRow(row, source.Columns().data(), rows.dw, rows.Start(y), rows.Step());
      continue;
    }
    if (every.empty()) {
      every = EveryColumn(rows.dw);
      staged.resize(every.size());
    }
    for (std::size_t x = 0; x < staged.size(); ++x) {
      const int column = source.Columns()[x];
      staged[x] = row != nullptr && column >= 0 ? row[column] : 0;
    }
    matcher.MapRow(staged.data(), every.data(), rows.dw, rows.Start(y), rows.Step());
  }
}

}  // namespace

BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            const SetPalette& palette, int count) {
  return ConvertBitmapToPalette(output, dw, dh, source, sw, sh, bottomUpRows, palette, count, BestSimdLevel());
}

BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            const SetPalette& palette, int count, SimdLevel level) {
  if (dw <= 0 || dh <= 0) return TRUE;  // nothing to fill, no matcher to make
  PaletteMatcher matcher(palette, count, level);
  return ConvertBitmapToPalette(output, dw, dh, source, sw, sh, bottomUpRows, matcher);
}

BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            PaletteMatcher& matcher) {
  if (dw <= 0 || dh <= 0) return TRUE;  // nothing to fill
  // No larger than a bitmap may be, even when no scratch bitmap is made.
  if (static_cast<std::uint64_t>(dw) * static_cast<std::uint64_t>(dh) * 4 > kp::gdi::kMaxBitmapBytes) return FALSE;

  const OutputRows rows{output, dw, dh, bottomUpRows != FALSE};
  // Without a DC to scale through the source is read unscaled. The scaling
  // itself needs no scratch bitmap: the scaled rows are read straight from
  // the source.
  kp::gdi::ScopedMemoryDC scratchDc(source);
  if (!scratchDc) {
    MapUnscaled(source, rows, matcher);
    return TRUE;
  }
  const kp::gdi::StretchedRows scaled(source, sw, sh, dw, dh);
  if (!scaled.ok()) return FALSE;
  MapScaled(scaled, rows, matcher);
  return TRUE;
}
