#pragma once
// CDC, the framework's device context class. A CDC owns the DC attached to
// it and deletes it when destroyed, as the framework's does; window DCs
// (CPaintDC, CClientDC) derive from it and detach their DC first. Selection
// calls return temporary wrappers of the previous object (see
// cgdi_object.h).

#include "platform/base/geometry.h"
#include "platform/gdi/cgdi_object.h"
#include "platform/gdi/gdi_types.h"

class CDC {
 public:
  HDC m_hDC = nullptr;

  CDC() = default;
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  // Takes ownership of hdc; FALSE when hdc is null or one is attached.
  BOOL Attach(HDC hdc);
  HDC Detach();
  static CDC* FromHandle(HDC hdc);
  static void DeleteTempMap();

  // A memory DC compatible with dc (NULL: with the screen).
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();

  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectObject(CGdiObject* object);
  HGDIOBJ SelectObject(HGDIOBJ object);
  CGdiObject* SelectStockObject(int index);
  CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
  UINT RealizePalette();

  int SetStretchBltMode(int mode);
  int GetStretchBltMode() const;
  COLORREF SetBkColor(COLORREF color);
  COLORREF SetTextColor(COLORREF color);
  int SetBkMode(int mode);
  int GetDeviceCaps(int index) const;

  BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, DWORD rop);
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop);
  BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
  void FillRect(LPCRECT rect, CBrush* brush);
  void FillSolidRect(LPCRECT rect, COLORREF color);
  void FillSolidRect(int x, int y, int width, int height, COLORREF color);
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT point) const;
  COLORREF SetPixel(int x, int y, COLORREF color);

  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT point);
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT point);
  BOOL Polyline(const POINT* points, int count);
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(LPCRECT rect);

  BOOL BeginPath();
  BOOL EndPath();
  BOOL AbortPath();
  BOOL FillPath();

  BOOL DrawIcon(int x, int y, HICON icon);
  BOOL DrawIcon(POINT point, HICON icon);
};
