// Creating objects by class id: in process from a registered module, or
// through a local server.

#include <dlfcn.h>

#include "platform/com/class_registry.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime_state.h"
#include "platform/com/local_server.h"
#include "platform/com/module_loader.h"

namespace kp::com {
namespace {
HRESULT GetInprocClassObject(const std::string& path, REFCLSID clsid, REFIID riid, void** ppv) {
  LoadedModule module;
  HRESULT hr = LoadModule(path, &module);
  if (FAILED(hr)) return hr;
  auto entry = reinterpret_cast<PFN_DllGetClassObject>(dlsym(module.handle, "DllGetClassObject"));
  if (entry == nullptr) return CO_E_ERRORINDLL;
  return entry(clsid, riid, ppv);
}

LocalServerActivator g_localServerActivator = nullptr;
}  // namespace

void SetLocalServerActivator(LocalServerActivator activator) { g_localServerActivator = activator; }
}  // namespace kp::com

using namespace kp::com;

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_INVALIDARG;
  *ppv = nullptr;
  if (!detail::IsInitialized()) return CO_E_NOTINITIALIZED;
  if (dwClsContext & CLSCTX_INPROC_SERVER) {
    std::string path;
    HRESULT hr = ReadInprocServerPath(rclsid, &path);
    if (SUCCEEDED(hr)) return GetInprocClassObject(path, rclsid, riid, ppv);
    if (hr != REGDB_E_CLASSNOTREG) return hr;
  }
  if ((dwClsContext & CLSCTX_LOCAL_SERVER) && g_localServerActivator != nullptr)
    return g_localServerActivator(rclsid, riid, ppv);
  return REGDB_E_CLASSNOTREG;
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
  if (ppv == nullptr) return E_INVALIDARG;
  *ppv = nullptr;
  ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, factory.put_void());
  if (FAILED(hr)) return hr;
  if (!factory) return E_UNEXPECTED;
  return factory->CreateInstance(pUnkOuter, riid, ppv);
}
