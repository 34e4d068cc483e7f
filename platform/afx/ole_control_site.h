#pragma once
// COleControlSite: the container's side of one hosted control. It creates
// the control by class id (in process), loads it from its stream or
// initialises it as new, has it make its window in the container, connects
// the control's events to the container's event-sink map, and keeps the
// control's IDispatch for CWnd::InvokeHelper.
//
// A site lives while its control's window does: it is found by that window
// (FromWindow), and when the window goes (its container closing) the site
// disconnects the events and lets go of the control.

#include <vector>

#include "platform/afx/interface_part.h"
#include "platform/com/connection_point.h"
#include "platform/com/ole_control.h"
#include "platform/com/ole_inplace.h"
#include "platform/com/ole_object.h"

class CWnd;

class COleControlSite : public CCmdTarget {
 public:
  explicit COleControlSite(CWnd* pWndContainer);
  ~COleControlSite() override;

  // Makes the control and its window: a child of the container with id nID,
  // style dwStyle and rectangle `rect` (pixels). pStream holds the
  // control's persisted stream, or is null for a new control. On failure
  // (class not registered, module missing, load failure, no window)
  // everything made is released and the failure returned.
  HRESULT CreateControl(REFCLSID clsid, DWORD dwStyle, const RECT& rect, UINT nID, const std::vector<BYTE>* pStream);

  // The site of a hosted control's window, or null.
  static COleControlSite* FromWindow(HWND hWnd);

  HWND GetWindow() const { return m_hWnd; }
  UINT GetCtrlID() const { return m_nID; }
  IDispatch* GetDispatch() const { return m_pDispatch; }
  LPUNKNOWN GetControlUnknown() const { return m_pObject; }

  // Disconnects the events and lets go of the control; once only.
  void Teardown();

 protected:
  LPUNKNOWN GetInterfaceHook(const void* iid) override;
  DECLARE_INTERFACE_MAP()

  class XOleClientSite : public CInterfacePart<IOleClientSite> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT SaveObject() override { return S_OK; }
    HRESULT ShowObject() override { return S_OK; }
    HRESULT OnShowWindow(BOOL) override { return S_OK; }
    HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }
  } m_xOleClientSite{this};

  class XOleInPlaceSite : public CInterfacePart<IOleInPlaceSite> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT GetWindow(HWND* phwnd) override;
    HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT CanInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceActivate() override { return S_OK; }
    HRESULT OnUIActivate() override { return S_OK; }
    HRESULT GetWindowContext(LPRECT lprcPosRect, UINT* pnID, DWORD* pdwStyle) override;
    HRESULT OnInPlaceDeactivate() override;
    HRESULT OnPosRectChange(LPCRECT lprcPosRect) override;
  } m_xOleInPlaceSite{this};

  class XOleControlSite : public CInterfacePart<IOleControlSite> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT OnFocus(BOOL) override { return S_OK; }
    // The container has no frame of its own: the control shows the
    // platform's.
    HRESULT ShowPropertyFrame() override { return E_NOTIMPL; }
  } m_xOleControlSite{this};

  // The sink of the control's events: routes them by this site's control
  // id through the container's event-sink map.
  class XEventSink : public CInterfacePart<IDispatch> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
  } m_xEventSink{this};

  friend class XOleInPlaceSite;
  friend class XEventSink;

  void ConnectEvents();

  CWnd* m_pWndContainer;
  UINT m_nID = 0;
  DWORD m_dwStyle = 0;
  RECT m_rect{};
  HWND m_hWnd = nullptr;
  IOleObject* m_pObject = nullptr;
  IDispatch* m_pDispatch = nullptr;
  IConnectionPoint* m_pEventConnPt = nullptr;
  DWORD m_dwEventCookie = 0;
  IID m_iidEvents = GUID_NULL;
  bool m_bRegistered = false;
  bool m_bTornDown = false;
};

// Lets dialogs host controls: every template item that names a class id is
// created through COleControlSite when the dialog is created. A control
// that cannot be created makes the dialog fail (DoModal returns -1).
void AfxEnableControlContainer();
