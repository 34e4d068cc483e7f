#pragma once
// COleControl: the base of an OLE control. It is a window object (CWnd)
// whose window a container asks for as a child of its own window, and a
// COM object with the faces a container uses:
//
//   IOleObject             client site, verbs (in-place activation,
//                          Properties), extent, misc status, close
//   IOleInPlaceObject      the control's window and where it goes
//   IPersistStreamInit     the control stream (DoPropExchange, binary)
//   IPersistPropertyBag    the same properties by name
//   IConnectionPointContainer  the event interface, fired with FireEvent
//   ISpecifyPropertyPages  the property pages (GetPropPageIDs)
//   IProvideClassInfo2     the class's type information and event interface
//   IDispatch              the dispatch map (and the primary dispatch IID)
//
// A control class declares its maps and identity:
//
//   class CMyCtrl : public COleControl {
//     DECLARE_DYNCREATE(CMyCtrl)
//     DECLARE_OLECREATE_EX(CMyCtrl)    // factory, guid, GetClassID
//     DECLARE_OLETYPELIB(CMyCtrl)      // GetTypeInfoCount, GetTypeLib, GetTypeLibCache
//     DECLARE_PROPPAGEIDS(CMyCtrl)     // GetPropPageIDs
//     DECLARE_OLECTLTYPE(CMyCtrl)      // GetUserTypeNameID, GetMiscStatus
//    public:
//     CMyCtrl() { InitializeIIDs(&DIID_DMy, &DIID_DMyEvents); }
//     void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) override;
//     void DoPropExchange(CPropExchange* pPX) override;
//     DECLARE_MESSAGE_MAP()   // with ON_OLEVERB(AFX_IDS_VERB_PROPERTIES, OnProperties)
//     DECLARE_DISPATCH_MAP()
//     DECLARE_EVENT_MAP()
//   };
//
// The window is a plain self-painting child window: OnDraw is called from
// its WM_PAINT with the client rectangle as bounds. Its size is the one
// the container gives; the extents (HIMETRIC) are persisted as they were
// loaded or set, independently of it.

#include <cstdarg>
#include <memory>
#include <string>

#include "platform/afx/event_map.h"
#include "platform/afx/interface_part.h"
#include "platform/afx/ole_verbs.h"
#include "platform/afx/prop_exchange.h"
#include "platform/afx/type_lib_cache.h"
#include "platform/afx/wnd.h"
#include "platform/com/connection_points.h"
#include "platform/com/ole_control.h"
#include "platform/com/ole_inplace.h"
#include "platform/com/ole_object.h"
#include "platform/com/persist.h"
#include "platform/com/property_page.h"

class CDC;

class COleControl : public CWnd {
  DECLARE_DYNAMIC(COleControl)
 public:
  COleControl();
  ~COleControl() override;

  // The control's dispatch interface and event interface, as its type
  // library names them; the constructor of a control class calls this.
  void InitializeIIDs(const IID* piidPrimary, const IID* piidEvents);

  // Raises event `dispid` with the arguments pbParams lists (EVENT_PARAM),
  // synchronously, to every connected sink in turn; a failing sink does not
  // keep the event from the others.
  void FireEvent(DISPID dispid, const BYTE* pbParams, ...);

  // Persistence. DoPropExchange runs for loading, saving and reset alike;
  // the base exchanges the extents and the stock-property mask.
  virtual void DoPropExchange(CPropExchange* pPX);
  // Exchanges "_Version"; loading keeps the stored version (GetVersion).
  BOOL ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert = TRUE);
  BOOL ExchangeExtent(CPropExchange* pPX);
  void ExchangeStockProps(CPropExchange* pPX);
  // Every property to its default (through DoPropExchange), then a repaint.
  virtual void OnResetState();
  void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }
  BOOL IsModified() const { return m_bModified; }

  // Drawing: called from the window's WM_PAINT.
  virtual void OnDraw(CDC* pDC, const CRect& rcBounds, const CRect& rcInvalid);
  // Repaints the control (all of it for a null rectangle).
  void InvalidateControl(LPCRECT lpRect = nullptr, BOOL bErase = TRUE);

  // Identity, supplied by the declaration macros.
  virtual HRESULT GetClassID(LPCLSID pclsid) = 0;
  virtual UINT GetUserTypeNameID();
  virtual DWORD GetMiscStatus();
  virtual LPCLSID GetPropPageIDs(ULONG& cPropPages);
  virtual CTypeLibCache* GetTypeLibCache();
  BOOL GetDispatchIID(IID* pIID) override;

  // The extent in HIMETRIC units.
  void GetControlExtent(LONG* pcx, LONG* pcy) const;
  void SetControlExtent(LONG cx, LONG cy);

  // The Properties verb: asks the container's site to show its property
  // frame, else shows the platform's property frame with the control's
  // pages, owned by the container's window. TRUE when a frame was shown.
  BOOL OnProperties(LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);
  // Runs a verb; the base looks in the message map's verb entries first.
  virtual HRESULT OnDoVerb(LONG iVerb, LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);

  // The module that holds the control's class (its resources, its strings).
  HINSTANCE GetControlModule() const;
  // The container's site, or null before SetClientSite.
  IOleClientSite* GetClientSite() const { return m_pClientSite; }
  // The control's window as the container's site asked for it.
  BOOL CreateControlWindow(HWND hWndParent, const RECT& rcPos);

 protected:
  static const AFX_EVENTMAP* GetThisEventMap();
  virtual const AFX_EVENTMAP* GetEventMap() const;
  LPUNKNOWN GetInterfaceHook(const void* iid) override;
  void OnFinalRelease() override;
  void PostNcDestroy() override;

  void OnPaint();
  void OnSetFocus(CWnd* pOldWnd);
  void OnKillFocus(CWnd* pNewWnd);

  DECLARE_MESSAGE_MAP()
  DECLARE_INTERFACE_MAP()

  // The interface parts (ole_control_parts.cpp).
  class XOleObject : public CInterfacePart<IOleObject> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT SetClientSite(IOleClientSite* pClientSite) override;
    HRESULT GetClientSite(IOleClientSite** ppClientSite) override;
    HRESULT SetHostNames(LPCOLESTR, LPCOLESTR) override;
    HRESULT Close(DWORD dwSaveOption) override;
    HRESULT DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                   LPCRECT lprcPosRect) override;
    HRESULT EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
    HRESULT GetUserClassID(CLSID* pClsid) override;
    HRESULT GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
    HRESULT SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    HRESULT GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
  } m_xOleObject{this};

  class XOleInPlaceObject : public CInterfacePart<IOleInPlaceObject> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT GetWindow(HWND* phwnd) override;
    HRESULT ContextSensitiveHelp(BOOL) override;
    HRESULT InPlaceDeactivate() override;
    HRESULT UIDeactivate() override;
    HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
  } m_xOleInPlaceObject{this};

  class XPersistStreamInit : public CInterfacePart<IPersistStreamInit> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT GetClassID(CLSID* pClassID) override;
    HRESULT IsDirty() override;
    HRESULT Load(IStream* pStm) override;
    HRESULT Save(IStream* pStm, BOOL fClearDirty) override;
    HRESULT GetSizeMax(ULARGE_INTEGER* pcbSize) override;
    HRESULT InitNew() override;
  } m_xPersistStreamInit{this};

  class XPersistPropertyBag : public CInterfacePart<IPersistPropertyBag> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT GetClassID(CLSID* pClassID) override;
    HRESULT InitNew() override;
    HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;
  } m_xPersistPropertyBag{this};

  class XConnPtContainer : public CInterfacePart<IConnectionPointContainer> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;
  } m_xConnPtContainer{this};

  class XSpecifyPropertyPages : public CInterfacePart<ISpecifyPropertyPages> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT GetPages(CAUUID* pPages) override;
  } m_xSpecifyPropertyPages{this};

  class XProvideClassInfo : public CInterfacePart<IProvideClassInfo2> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT GetClassInfo(ITypeInfo** ppTI) override;
    HRESULT GetGUID(DWORD dwGuidKind, GUID* pGUID) override;
  } m_xProvideClassInfo{this};

  friend class XOleObject;
  friend class XOleInPlaceObject;
  friend class XPersistStreamInit;
  friend class XPersistPropertyBag;
  friend class XConnPtContainer;
  friend class XSpecifyPropertyPages;
  friend class XProvideClassInfo;

  // What the parts share.
  HRESULT LoadFromStream(IStream* pStm);
  HRESULT LoadFromBag(IPropertyBag* pPropBag, IErrorLog* pErrorLog);
  void InitializeNew();
  void ReleaseClientSite();
  // Verbs of the message map (ON_OLEVERB), numbered from 0 in map order.
  struct VerbEntry {
    LONG lVerb;
    UINT idsName;
    const AFX_MSGMAP_ENTRY* entry;
  };
  std::vector<VerbEntry> CustomVerbs() const;
  HRESULT RunVerbEntry(const AFX_MSGMAP_ENTRY* entry, LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);
  HRESULT VerbActivate(LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);
  HRESULT VerbHide(LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);
  HRESULT VerbProperties(LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);
  // Destroys the window at the container's request (Close, InPlaceDeactivate).
  void DeactivateWindow();

  const IID* m_piidPrimary = nullptr;
  const IID* m_piidEvents = nullptr;
  std::unique_ptr<kp::com::ConnectionPoint> m_pEventConnPt;
  IOleClientSite* m_pClientSite = nullptr;
  IOleInPlaceSite* m_pInPlaceSite = nullptr;
  IOleControlSite* m_pControlSite = nullptr;
  LONG m_cxExtent = 2540;  // HIMETRIC; 1 inch until loaded or set
  LONG m_cyExtent = 2540;
  DWORD m_dwVersionLoaded = 0;
  BOOL m_bModified = FALSE;
  BOOL m_bInitialized = FALSE;
  BOOL m_bDeactivating = FALSE;
};

// The framework's string for the Properties verb; the module provides the
// text, or the verb is listed as "<unknown verb>".
constexpr UINT AFX_IDS_VERB_PROPERTIES = 0xFE41;

// GetUserTypeNameID and GetMiscStatus of a control class.
#define DECLARE_OLECTLTYPE(class_name) \
 protected:                            \
  UINT GetUserTypeNameID() override;   \
  DWORD GetMiscStatus() override;

#define IMPLEMENT_OLECTLTYPE(class_name, idsUserTypeName, dwOleMisc) \
  UINT class_name::GetUserTypeNameID() { return idsUserTypeName; }   \
  DWORD class_name::GetMiscStatus() { return dwOleMisc; }

// The control's property pages, by class id:
//   BEGIN_PROPPAGEIDS(CMyCtrl, 1)
//     PROPPAGEID(CMyPropPage::guid)
//   END_PROPPAGEIDS(CMyCtrl)
#define DECLARE_PROPPAGEIDS(class_name) \
 protected:                             \
  LPCLSID GetPropPageIDs(ULONG& cPropPages) override;

#define BEGIN_PROPPAGEIDS(class_name, count)              \
  LPCLSID class_name::GetPropPageIDs(ULONG& cPropPages) { \
    static CLSID _rgPropPageIDs[count] = {
#define PROPPAGEID(clsid) clsid,
#define END_PROPPAGEIDS(class_name)                           \
  }                                                           \
  ;                                                           \
  cPropPages = static_cast<ULONG>(std::size(_rgPropPageIDs)); \
  return _rgPropPageIDs;                                      \
  }
