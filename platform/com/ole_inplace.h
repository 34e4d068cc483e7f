#pragma once
// In-place activation, reduced to what a hosted control needs: the
// container's site tells the control where its window goes, and the control
// reports its window.
//
// One difference from Windows: a window here takes its control id and style
// when it is created, so the site's GetWindowContext also gives the id and
// the style the container's template assigns to the control's window
// (Windows sets them on the window afterwards).

#include "platform/base/geometry.h"
#include "platform/base/handles.h"
#include "platform/com/unknown.h"

inline constexpr IID IID_IOleWindow = {0x00000114, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceObject = {
    0x00000113, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceSite = {
    0x00000119, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IOleWindow : public IUnknown {
 public:
  virtual HRESULT GetWindow(HWND* phwnd) = 0;
  virtual HRESULT ContextSensitiveHelp(BOOL fEnterMode) = 0;

 protected:
  ~IOleWindow() override;
};

class IOleInPlaceObject : public IOleWindow {
 public:
  // The object's window goes.
  virtual HRESULT InPlaceDeactivate() = 0;
  virtual HRESULT UIDeactivate() = 0;
  // Moves the object's window (pixels, in the parent's client area).
  virtual HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;

 protected:
  ~IOleInPlaceObject() override;
};

class IOleInPlaceSite : public IOleWindow {
 public:
  // S_OK when the container lets the object activate in place.
  virtual HRESULT CanInPlaceActivate() = 0;
  virtual HRESULT OnInPlaceActivate() = 0;
  virtual HRESULT OnUIActivate() = 0;
  // Where the object's window goes, and the control id and style it takes.
  virtual HRESULT GetWindowContext(LPRECT lprcPosRect, UINT* pnID, DWORD* pdwStyle) = 0;
  // The object's window is gone: the container lets go of the object.
  virtual HRESULT OnInPlaceDeactivate() = 0;
  virtual HRESULT OnPosRectChange(LPCRECT lprcPosRect) = 0;

 protected:
  ~IOleInPlaceSite() override;
};
