#pragma once
// The embedding interfaces a container and a hosted control speak, reduced
// to what control containment uses: the container gives the control its
// client site, runs its verbs (in-place activation, Properties), asks for
// its extent, status bits and verbs, and closes it.

#include "platform/base/geometry.h"
#include "platform/base/handles.h"
#include "platform/com/unknown.h"

struct MSG;
using LPMSG = MSG*;
using SIZEL = SIZE;

inline constexpr IID IID_IOleClientSite = {
    0x00000118, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleObject = {0x00000112, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IEnumOLEVERB = {0x00000104, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Verbs: 0 and up are the object's own (0 is its primary verb), the
// negative ones standard.
constexpr LONG OLEIVERB_PRIMARY = 0;
constexpr LONG OLEIVERB_SHOW = -1;
constexpr LONG OLEIVERB_OPEN = -2;
constexpr LONG OLEIVERB_HIDE = -3;
constexpr LONG OLEIVERB_UIACTIVATE = -4;
constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;
constexpr LONG OLEIVERB_DISCARDUNDOSTATE = -6;
constexpr LONG OLEIVERB_PROPERTIES = -7;

constexpr DWORD OLEVERBATTRIB_NEVERDIRTIES = 0x1;
constexpr DWORD OLEVERBATTRIB_ONCONTAINERMENU = 0x2;

constexpr DWORD OLEMISC_RECOMPOSEONRESIZE = 0x1;
constexpr DWORD OLEMISC_ONLYICONIC = 0x2;
constexpr DWORD OLEMISC_INSERTNOTREPLACE = 0x4;
constexpr DWORD OLEMISC_STATIC = 0x8;
constexpr DWORD OLEMISC_CANTLINKINSIDE = 0x10;
constexpr DWORD OLEMISC_CANLINKBYOLE1 = 0x20;
constexpr DWORD OLEMISC_ISLINKOBJECT = 0x40;
constexpr DWORD OLEMISC_INSIDEOUT = 0x80;
constexpr DWORD OLEMISC_ACTIVATEWHENVISIBLE = 0x100;
constexpr DWORD OLEMISC_INVISIBLEATRUNTIME = 0x400;
constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x20000;

constexpr DWORD DVASPECT_CONTENT = 1;

// Close options.
constexpr DWORD OLECLOSE_SAVEIFDIRTY = 0;
constexpr DWORD OLECLOSE_NOSAVE = 1;
constexpr DWORD OLECLOSE_PROMPTSAVE = 2;

// GetUserType forms.
constexpr DWORD USERCLASSTYPE_FULL = 1;
constexpr DWORD USERCLASSTYPE_SHORT = 2;
constexpr DWORD USERCLASSTYPE_APPNAME = 3;

constexpr HRESULT OLEOBJ_S_INVALIDVERB = KP_HRESULT(0x00040180);
constexpr HRESULT OLEOBJ_E_NOVERBS = KP_HRESULT(0x80040180);
constexpr HRESULT OLEOBJ_E_INVALIDVERB = KP_HRESULT(0x80040181);
constexpr HRESULT OLE_E_NOTRUNNING = KP_HRESULT(0x80040005);

struct OLEVERB {
  LONG lVerb;
  LPOLESTR lpszVerbName;  // the enumerator's caller frees it (CoTaskMemFree)
  DWORD fuFlags;          // MF_ flags for a menu item
  DWORD grfAttribs;       // OLEVERBATTRIB_
};
using LPOLEVERB = OLEVERB*;

class IEnumOLEVERB : public IUnknown {
 public:
  // S_FALSE when fewer than celt were left.
  virtual HRESULT Next(ULONG celt, OLEVERB* rgelt, ULONG* pceltFetched) = 0;
  virtual HRESULT Skip(ULONG celt) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(IEnumOLEVERB** ppenum) = 0;

 protected:
  ~IEnumOLEVERB() override;
};

// The container's side of one embedded object.
class IOleClientSite : public IUnknown {
 public:
  virtual HRESULT SaveObject() = 0;
  virtual HRESULT ShowObject() = 0;
  virtual HRESULT OnShowWindow(BOOL fShow) = 0;
  virtual HRESULT RequestNewObjectLayout() = 0;

 protected:
  ~IOleClientSite() override;
};
using LPOLECLIENTSITE = IOleClientSite*;

class IOleObject : public IUnknown {
 public:
  virtual HRESULT SetClientSite(IOleClientSite* pClientSite) = 0;
  virtual HRESULT GetClientSite(IOleClientSite** ppClientSite) = 0;
  virtual HRESULT SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) = 0;
  // Deactivates the object (its window goes) and lets go of the site's
  // connections; the object stays until its last reference goes.
  virtual HRESULT Close(DWORD dwSaveOption) = 0;
  // Runs a verb. For in-place activation the object makes its window as a
  // child of hwndParent at *lprcPosRect (pixels, in the parent's client
  // area); pActiveSite is the site asking.
  virtual HRESULT DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                         LPCRECT lprcPosRect) = 0;
  virtual HRESULT EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) = 0;
  virtual HRESULT GetUserClassID(CLSID* pClsid) = 0;
  // The object's type name, allocated with CoTaskMemAlloc.
  virtual HRESULT GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) = 0;
  // Extents are in HIMETRIC units (0.01 mm).
  virtual HRESULT SetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
  virtual HRESULT GetExtent(DWORD dwDrawAspect, SIZEL* psizel) = 0;
  virtual HRESULT GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) = 0;

 protected:
  ~IOleObject() override;
};
using LPOLEOBJECT = IOleObject*;
