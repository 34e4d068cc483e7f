#include "platform/afx/ole_factory.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/afx/ole_control_module.h"
#include "platform/afx/ole_lock.h"
#include "platform/afx/ole_module_state.h"
#include "platform/afx/ole_registration.h"
#include "platform/com/com_runtime.h"

IMPLEMENT_DYNAMIC(COleObjectFactory, CCmdTarget)

BEGIN_INTERFACE_MAP(COleObjectFactory, CCmdTarget)
INTERFACE_PART(COleObjectFactory, IID_IClassFactory, ClassFactory)
END_INTERFACE_MAP()

COleObjectFactory::COleObjectFactory(REFCLSID clsid, CRuntimeClass* pRuntimeClass, BOOL bMultiInstance,
                                     LPCTSTR lpszProgID, HINSTANCE hModule)
    : m_clsid(clsid),
      m_pRuntimeClass(pRuntimeClass),
      m_bMultiInstance(bMultiInstance),
      m_strProgID(lpszProgID != nullptr ? lpszProgID : ""),
      m_hModule(hModule) {
  kp::afx::GetOleModuleState(m_hModule).factories.push_back(this);
}

COleObjectFactory::~COleObjectFactory() {
  Revoke();
  auto& list = kp::afx::GetOleModuleState(m_hModule).factories;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

COleObjectFactory* COleObjectFactory::FindFactory(REFCLSID clsid, HINSTANCE hModule) {
  for (COleObjectFactory* factory : kp::afx::GetOleModuleState(hModule).factories)
    if (factory->m_clsid == clsid) return factory;
  return nullptr;
}

BOOL COleObjectFactory::Register() {
  if (IsRegistered()) return TRUE;
  const DWORD flags = m_bMultiInstance ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE;
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(m_clsid, &m_xClassFactory, CLSCTX_LOCAL_SERVER, flags, &cookie))) return FALSE;
  m_dwRegister = cookie;
  return TRUE;
}

void COleObjectFactory::Revoke() {
  if (!IsRegistered()) return;
  CoRevokeClassObject(m_dwRegister);
  m_dwRegister = 0;
}

BOOL COleObjectFactory::UpdateRegistry(BOOL bRegister) {
  if (bRegister) return AfxOleRegisterServerClass(m_clsid, GetProgID(), m_hModule);
  return AfxOleUnregisterClass(m_clsid, GetProgID());
}

BOOL COleObjectFactory::RegisterAll(HINSTANCE hModule) {
  BOOL bResult = TRUE;
  for (COleObjectFactory* factory : kp::afx::GetOleModuleState(hModule).factories)
    if (!factory->Register()) bResult = FALSE;
  return bResult;
}

void COleObjectFactory::RevokeAll(HINSTANCE hModule) {
  for (COleObjectFactory* factory : kp::afx::GetOleModuleState(hModule).factories) factory->Revoke();
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL bRegister, HINSTANCE hModule) {
  kp::afx::StartControlModule(hModule);
  // A copy: a factory's registry update may not, but could, add factories.
  std::vector<COleObjectFactory*> factories = kp::afx::GetOleModuleState(hModule).factories;
  for (COleObjectFactory* factory : factories)
    if (!factory->UpdateRegistry(bRegister)) return FALSE;
  return TRUE;
}

CCmdTarget* COleObjectFactory::OnCreateObject() {
  if (m_pRuntimeClass == nullptr || !m_pRuntimeClass->IsDerivedFrom(RUNTIME_CLASS(CCmdTarget))) return nullptr;
  return static_cast<CCmdTarget*>(m_pRuntimeClass->CreateObject());
}

void COleObjectFactory::OnFinalRelease() {}

HRESULT COleObjectFactory::XClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
  auto* pFactory = static_cast<COleObjectFactory*>(m_pOwner);
  CCmdTarget* pTarget = nullptr;
  try {
    pTarget = pFactory->OnCreateObject();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (pTarget == nullptr) return E_OUTOFMEMORY;
  pTarget->m_moduleLock.Attach(pFactory->m_hModule);
  // The object starts with its creator's reference; after handing out the
  // interface asked for, that reference goes. When the object does not
  // answer the interface it is destroyed here.
  HRESULT hr = pTarget->ExternalQueryInterface(&riid, ppvObject);
  pTarget->InternalRelease();
  return hr;
}

HRESULT COleObjectFactory::XClassFactory::LockServer(BOOL fLock) {
  HINSTANCE hModule = static_cast<COleObjectFactory*>(m_pOwner)->m_hModule;
  if (fLock)
    AfxOleLockApp(hModule);
  else
    AfxOleUnlockApp(hModule);
  return S_OK;
}
