#include "platform/afx/type_lib_cache.h"

#include "platform/com/type_library.h"

CTypeLibCache::~CTypeLibCache() {
  if (m_ptl != nullptr) m_ptl->Release();
}

HRESULT CTypeLibCache::GetTypeLib(REFGUID tlid, WORD wVerMajor, WORD wVerMinor, LCID lcid, LPTYPELIB* ppTypeLib) {
  if (ppTypeLib == nullptr) return E_POINTER;
  *ppTypeLib = nullptr;
  if (m_ptl == nullptr || m_lcid != lcid) {
    LPTYPELIB loaded = nullptr;
    HRESULT hr = LoadRegTypeLib(tlid, wVerMajor, wVerMinor, lcid, &loaded);
    if (FAILED(hr)) return hr;
    if (m_ptl != nullptr) m_ptl->Release();
    m_ptl = loaded;
    m_lcid = lcid;
  }
  m_ptl->AddRef();
  *ppTypeLib = m_ptl;
  return S_OK;
}
