#pragma once
// Property pages: a control names its pages (ISpecifyPropertyPages); a
// property frame creates each page by class id, hands it the objects it
// edits, shows it, and applies it.

#include "platform/base/geometry.h"
#include "platform/base/handles.h"
#include "platform/com/unknown.h"

struct MSG;
using LPMSG = MSG*;

inline constexpr IID IID_ISpecifyPropertyPages = {
    0xB196B28B, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IPropertyPage = {0xB196B28D, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IPropertyPageSite = {
    0xB196B290, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

// A counted array of GUIDs; pElems is the receiver's to free (CoTaskMemFree).
struct CAUUID {
  ULONG cElems;
  GUID* pElems;
};

// What a page tells its frame about itself. The strings are the frame's to
// free (CoTaskMemFree).
struct PROPPAGEINFO {
  ULONG cb;
  LPOLESTR pszTitle;
  SIZE size;  // pixels
  LPOLESTR pszDocString;
  LPOLESTR pszHelpFile;
  DWORD dwHelpContext;
};

// OnStatusChange flags.
constexpr DWORD PROPPAGESTATUS_DIRTY = 0x1;
constexpr DWORD PROPPAGESTATUS_VALIDATE = 0x2;
constexpr DWORD PROPPAGESTATUS_CLEAN = 0x4;

class ISpecifyPropertyPages : public IUnknown {
 public:
  virtual HRESULT GetPages(CAUUID* pPages) = 0;

 protected:
  ~ISpecifyPropertyPages() override;
};

class IPropertyPageSite : public IUnknown {
 public:
  virtual HRESULT OnStatusChange(DWORD dwFlags) = 0;
  virtual HRESULT GetLocaleID(LCID* pLocaleID) = 0;
  virtual HRESULT GetPageContainer(IUnknown** ppUnk) = 0;
  virtual HRESULT TranslateAccelerator(LPMSG pMsg) = 0;

 protected:
  ~IPropertyPageSite() override;
};

class IPropertyPage : public IUnknown {
 public:
  virtual HRESULT SetPageSite(IPropertyPageSite* pPageSite) = 0;
  // Creates the page's window as a child of hWndParent at *pRect.
  virtual HRESULT Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) = 0;
  // Destroys the page's window.
  virtual HRESULT Deactivate() = 0;
  virtual HRESULT GetPageInfo(PROPPAGEINFO* pPageInfo) = 0;
  // The objects the page edits; cObjects 0 lets go of them.
  virtual HRESULT SetObjects(ULONG cObjects, IUnknown** ppUnk) = 0;
  virtual HRESULT Show(UINT nCmdShow) = 0;
  virtual HRESULT Move(LPCRECT pRect) = 0;
  // S_OK when the page holds changes not yet applied, S_FALSE otherwise.
  virtual HRESULT IsPageDirty() = 0;
  // Writes the page's values to its objects.
  virtual HRESULT Apply() = 0;
  virtual HRESULT Help(LPCOLESTR pszHelpDir) = 0;
  virtual HRESULT TranslateAccelerator(LPMSG pMsg) = 0;

 protected:
  ~IPropertyPage() override;
};
