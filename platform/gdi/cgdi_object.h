#pragma once
// The framework's wrappers of GDI objects: CGdiObject and its pen, brush,
// bitmap and palette classes. As in the framework, an object owns the
// handle attached to it and deletes it when destroyed (Detach() gives it
// up), and FromHandle() returns a temporary wrapper that owns nothing: the
// platform keeps it while its handle is alive, so do not keep the pointer
// beyond the handle's life.

#include "platform/gdi/gdi_types.h"

class CDC;

class CGdiObject {
 public:
  HGDIOBJ m_hObject = nullptr;

  CGdiObject() = default;
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }

  // Takes ownership of h; FALSE when h is null or one is already attached.
  BOOL Attach(HGDIOBJ h);
  HGDIOBJ Detach();
  // Deletes the attached object (if any) and detaches it.
  BOOL DeleteObject();
  int GetObject(int count, LPVOID buffer) const;
  UINT GetObjectType() const;
  // Attaches a stock object (deleting it later is harmless).
  BOOL CreateStockObject(int index);

  static CGdiObject* FromHandle(HGDIOBJ h);
  // Drops every temporary wrapper (their handles are not deleted).
  static void DeleteTempMap();
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  // The framework throws when this fails; here the object stays empty,
  // which every call then reports as failure.
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  BOOL CreatePen(int style, int width, COLORREF color);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
  static CPen* FromHandle(HPEN h);
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  BOOL CreateSolidBrush(COLORREF color);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  static CBrush* FromHandle(HBRUSH h);
};

class CBitmap : public CGdiObject {
 public:
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits);
  int GetBitmap(BITMAP* bitmap) const;
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  static CBitmap* FromHandle(HBITMAP h);
};

class CPalette : public CGdiObject {
 public:
  BOOL CreatePalette(const LOGPALETTE* logpalette);
  int GetEntryCount() const;
  UINT GetPaletteEntries(UINT start, UINT count, LPPALETTEENTRY entries) const;
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
  static CPalette* FromHandle(HPALETTE h);
};
