// The control module's application object, its two class factories (static
// members of the classes they create) with their registry entries, and its
// four exports.

#include "control/tavlet_ctrl.h"
#include "control/tavlet_prop_page.h"
#include "control/tavlet_resource_ids.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/ole_control_module.h"
#include "platform/afx/ole_dll.h"
#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_registration.h"

using namespace tavlet;

namespace {

class CTavletApp : public COleControlModule {
 public:
  BOOL InitInstance() override { return COleControlModule::InitInstance(); }
  int ExitInstance() override { return COleControlModule::ExitInstance(); }
};

CTavletApp theApp;

}  // namespace

// Each creation request makes a new object (not single use).
IMPLEMENT_OLECREATE_EX(CTavletCtrl, kCtrlProgId, CLSID_Tavlet.Data1, CLSID_Tavlet.Data2, CLSID_Tavlet.Data3,
                       CLSID_Tavlet.Data4[0], CLSID_Tavlet.Data4[1], CLSID_Tavlet.Data4[2], CLSID_Tavlet.Data4[3],
                       CLSID_Tavlet.Data4[4], CLSID_Tavlet.Data4[5], CLSID_Tavlet.Data4[6], CLSID_Tavlet.Data4[7])

BOOL CTavletCtrl::CTavletCtrlFactory::UpdateRegistry(BOOL bRegister) {
  if (bRegister)
    return AfxOleRegisterControlClass(AfxGetInstanceHandle(), m_clsid, GetProgID(), IDS_TAVLET, IDB_TAVLET,
                                      afxRegApartmentThreading, kMiscStatus, LIBID_TAVLETLib, kTypeLibMajor,
                                      kTypeLibMinor);
  return AfxOleUnregisterClass(m_clsid, GetProgID());
}

IMPLEMENT_OLECREATE_EX(CTavletPropPage, kPropPageProgId, CLSID_TavletPropPage.Data1, CLSID_TavletPropPage.Data2,
                       CLSID_TavletPropPage.Data3, CLSID_TavletPropPage.Data4[0], CLSID_TavletPropPage.Data4[1],
                       CLSID_TavletPropPage.Data4[2], CLSID_TavletPropPage.Data4[3], CLSID_TavletPropPage.Data4[4],
                       CLSID_TavletPropPage.Data4[5], CLSID_TavletPropPage.Data4[6], CLSID_TavletPropPage.Data4[7])

BOOL CTavletPropPage::CTavletPropPageFactory::UpdateRegistry(BOOL bRegister) {
  // No threading model is written for the page.
  if (bRegister) return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, IDS_TAVLET_PPG, 0);
  return AfxOleUnregisterClass(m_clsid, nullptr);
}

STDAPI DllRegisterServer() {
  if (!AfxOleRegisterTypeLib(AfxGetInstanceHandle(), LIBID_TAVLETLib)) return SELFREG_E_TYPELIB;
  if (!COleObjectFactoryEx::UpdateRegistryAll(TRUE)) return SELFREG_E_CLASS;
  return S_OK;
}

STDAPI DllUnregisterServer() {
  if (!AfxOleUnregisterTypeLib(LIBID_TAVLETLib, kTypeLibMajor, kTypeLibMinor, 0)) return SELFREG_E_TYPELIB;
  if (!COleObjectFactoryEx::UpdateRegistryAll(FALSE)) return SELFREG_E_CLASS;
  return S_OK;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) { return AfxDllGetClassObject(rclsid, riid, ppv); }

STDAPI DllCanUnloadNow() { return AfxDllCanUnloadNow(); }
