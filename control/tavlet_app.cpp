// The control module's application object and its four exports. The
// class factories are static members of the two classes they create.

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
