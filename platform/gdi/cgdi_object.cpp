#include "platform/gdi/cgdi_object.h"

#include "platform/gdi/bitmap.h"
#include "platform/gdi/cdc.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/pens_brushes.h"
#include "platform/gdi/temp_map.h"

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ h) {
  if (!h || m_hObject) return FALSE;
  m_hObject = h;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int count, LPVOID buffer) const { return ::GetObject(m_hObject, count, buffer); }
UINT CGdiObject::GetObjectType() const { return ::GetObjectType(m_hObject); }

BOOL CGdiObject::CreateStockObject(int index) { return Attach(::GetStockObject(index)); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) { return kp::gdi::detail::TempWrapper<CGdiObject>(h); }

void CGdiObject::DeleteTempMap() {
  kp::gdi::detail::ClearTempWrappers<CGdiObject>();
  kp::gdi::detail::ClearTempWrappers<CPen>();
  kp::gdi::detail::ClearTempWrappers<CBrush>();
  kp::gdi::detail::ClearTempWrappers<CBitmap>();
  kp::gdi::detail::ClearTempWrappers<CPalette>();
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
CPen* CPen::FromHandle(HPEN h) { return kp::gdi::detail::TempWrapper<CPen>(h); }

BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
CBrush* CBrush::FromHandle(HBRUSH h) { return kp::gdi::detail::TempWrapper<CBrush>(h); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc ? dc->GetSafeHdc() : nullptr, width, height));
}
BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
  return Attach(::CreateBitmap(width, height, planes, bitCount, bits));
}
int CBitmap::GetBitmap(BITMAP* bitmap) const { return ::GetObject(m_hObject, sizeof(BITMAP), bitmap); }
CBitmap* CBitmap::FromHandle(HBITMAP h) { return kp::gdi::detail::TempWrapper<CBitmap>(h); }

BOOL CPalette::CreatePalette(const LOGPALETTE* logpalette) { return Attach(::CreatePalette(logpalette)); }
int CPalette::GetEntryCount() const {
  WORD count = 0;
  return ::GetObject(m_hObject, sizeof count, &count) ? count : 0;
}
UINT CPalette::GetPaletteEntries(UINT start, UINT count, LPPALETTEENTRY entries) const {
  return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), start, count, entries);
}
CPalette* CPalette::FromHandle(HPALETTE h) { return kp::gdi::detail::TempWrapper<CPalette>(h); }
