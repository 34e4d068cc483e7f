#include "platform/afx/ole_dll.h"

#include "platform/afx/ole_control_module.h"
#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_lock.h"

HRESULT AfxDllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv, HINSTANCE hModule) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  kp::afx::StartControlModule(hModule);
  COleObjectFactory* pFactory = COleObjectFactory::FindFactory(rclsid, hModule);
  if (pFactory == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  return pFactory->ExternalQueryInterface(&riid, ppv);
}

HRESULT AfxDllCanUnloadNow(HINSTANCE hModule) { return AfxOleCanExitApp(hModule) ? S_OK : S_FALSE; }
