#pragma once
// CDC, the framework's device context class. A CDC owns the DC attached to
// it and deletes it when destroyed, as the framework's does; window DCs
// (CPaintDC, CClientDC) derive from it and detach their DC first.

#include "platform/base/geometry.h"
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

  // A memory DC compatible with dc (NULL: with the screen).
  BOOL CreateCompatibleDC(CDC* dc);

  int SetStretchBltMode(int mode);

  CPoint MoveTo(int x, int y);
  BOOL LineTo(int x, int y);
  BOOL Polyline(const POINT* points, int count);

  BOOL BeginPath();
  BOOL EndPath();
  BOOL FillPath();

  BOOL DrawIcon(int x, int y, HICON icon);
};
