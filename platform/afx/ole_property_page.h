#pragma once
// COlePropertyPage: a property page of a control, a child dialog from a
// template of its module that a property frame shows. Its data exchange
// binds controls to the edited objects' properties by name:
//
//   void CMyPropPage::DoDataExchange(CDataExchange* pDX) {
//     DDP_Check(pDX, IDC_ENABLED, m_bEnabled, "Enabled");
//     DDX_Check(pDX, IDC_ENABLED, m_bEnabled);
//     DDP_PostProcessing(pDX);
//   }
//
// When the page opens, each DDP_ reads its property from the first object
// (IDispatch, by name) into the member and the DDX_ shows it; when the page
// is applied, the DDX_ reads the control and DDP_PostProcessing writes each
// property to every object. A page holds changes once the user works one of
// its controls (SetModifiedFlag), and only then does Apply write.

#include <string>
#include <vector>

#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"
#include "platform/afx/interface_part.h"
#include "platform/com/property_page.h"

class COlePropertyPage : public CDialog {
  DECLARE_DYNAMIC(COlePropertyPage)
 public:
  // The template and the caption string come from hModule, by default the
  // module whose code constructs the page.
  COlePropertyPage(UINT idDlg, UINT idCaption, HINSTANCE hModule = AfxGetInstanceHandle());
  ~COlePropertyPage() override;

  // The page's class id (DECLARE_OLECREATE_EX supplies it).
  virtual HRESULT GetClassID(LPCLSID pclsid);

  // Marks the page as holding changes (or not) and tells the frame.
  void SetModifiedFlag(BOOL bModified = TRUE);
  BOOL IsModified() const { return m_bDirty; }

  // Used by the DDP_ functions: reads a property of the first object, and
  // queues a property to be written to every object.
  BOOL GetPropertyFromObject(LPCTSTR pszPropName, VARTYPE vt, void* pvProp);
  void QueuePropertyPut(LPCTSTR pszPropName, VARTYPE vt, const void* pvProp);
  // Writes the queued properties; FALSE when one could not be written.
  BOOL WriteQueuedProperties();

 protected:
  // A control of the page that the user works makes the page dirty.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnFinalRelease() override;
  DECLARE_INTERFACE_MAP()

  class XPropertyPage : public CInterfacePart<IPropertyPage> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT SetPageSite(IPropertyPageSite* pPageSite) override;
    HRESULT Activate(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;
    HRESULT Deactivate() override;
    HRESULT GetPageInfo(PROPPAGEINFO* pPageInfo) override;
    HRESULT SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
    HRESULT Show(UINT nCmdShow) override;
    HRESULT Move(LPCRECT pRect) override;
    HRESULT IsPageDirty() override;
    HRESULT Apply() override;
    HRESULT Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT TranslateAccelerator(LPMSG) override { return S_FALSE; }
  } m_xPropertyPage{this};
  friend class XPropertyPage;

  void ReleaseObjects();

  struct PendingPut {
    std::string name;
    VARTYPE vt;
    const void* pvProp;
  };

  UINT m_idCaption;
  IPropertyPageSite* m_pPageSite = nullptr;
  std::vector<LPDISPATCH> m_objects;
  std::vector<PendingPut> m_pendingPuts;
  BOOL m_bDirty = FALSE;
};

// A check box bound to a BOOL property of the edited objects.
void DDP_Check(CDataExchange* pDX, int nIDC, int& member, LPCTSTR pszPropName);
// Completes the page's exchange: writes the properties when applying.
void DDP_PostProcessing(CDataExchange* pDX);
