#include "platform/gdi/stretched_rows.h"

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/stretch_core.h"

using namespace kp::gdi::detail;

namespace kp::gdi {

StretchedRows::StretchedRows(HDC source, int sw, int sh, int dw, int dh) {
  DcObject* dc = Lookup<DcObject>(source);
  if (!dc || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const PixelTarget pixels = TargetOf(*dc);
  // A surface of more pixels than units is read at its pixels.
  sw = static_cast<int>(pixels.Device(sw));
  sh = static_cast<int>(pixels.Device(sh));
  m_ok = true;
  m_top = pixels.top;
  m_step = pixels.step;
  m_height = pixels.top ? pixels.height : 0;
  m_sh = sh;
  m_dh = dh;
  const int width = pixels.top ? pixels.width : 0;
  m_columns.resize(static_cast<std::size_t>(dw));
  for (int x = 0; x < dw; ++x) {
    const long long column = NearestSample(x, sw, dw);
    m_columns[static_cast<std::size_t>(x)] = column < width ? static_cast<int>(column) : -1;
    m_columnsInside = m_columnsInside && column < width;
  }
}

int StretchedRows::SourceRow(int y) const { return static_cast<int>(NearestSample(y, m_sh, m_dh)); }

const std::uint32_t* StretchedRows::Row(int y) const {
  const int row = SourceRow(y);
  return row < m_height ? m_top + static_cast<std::ptrdiff_t>(row) * m_step : nullptr;
}

}  // namespace kp::gdi
