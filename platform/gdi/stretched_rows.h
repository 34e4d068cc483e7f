#pragma once
// A DC's pixels as a nearest-sample stretch takes them, read row by row
// straight from where they are stored: for work that turns every target
// pixel into something other than a pixel (an index into a palette), for
// which drawing a scaled copy first would only be one more pass over them.

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace kp::gdi {

// The source rectangle (0, 0, sw, sh) of a DC seen at dw x dh by the rule of
// StretchBlt: target pixel (x, y) takes source pixel (x * sw / dw,
// y * sh / dh), and takes none where that lies outside the DC's pixels. The
// rows point into the DC's own store, so they hold only while nothing draws
// into the DC, changes what is selected into it or deletes it.
class StretchedRows {
 public:
  StretchedRows(HDC source, int sw, int sh, int dw, int dh);

  // False when `source` is not a DC or an extent is not positive.
  bool ok() const { return m_ok; }
  // The source row of target row y (0 at the top), pixels 0x00RRGGBB with
  // whatever the store keeps in the top byte; null where it lies outside.
  const std::uint32_t* Row(int y) const;
  // Which source row target row y takes: equal numbers, equal rows.
  int SourceRow(int y) const;
  // The source column of each of the dw target columns, -1 where it lies
  // outside.
  const std::vector<int>& Columns() const { return m_columns; }
  // Whether every target column takes a source column.
  bool ColumnsInside() const { return m_columnsInside; }

 private:
  bool m_ok = false;
  const std::uint32_t* m_top = nullptr;
  std::ptrdiff_t m_step = 0;
  int m_height = 0;
  long long m_sh = 0;
  long long m_dh = 0;
  std::vector<int> m_columns;
  bool m_columnsInside = true;
};

}  // namespace kp::gdi
