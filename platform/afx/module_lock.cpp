#include "platform/afx/module_lock.h"

#include "platform/afx/ole_lock.h"

CModuleLock::~CModuleLock() {
  if (m_hModule != nullptr) AfxOleUnlockApp(m_hModule);
}

void CModuleLock::Attach(HINSTANCE hModule) {
  if (hModule != nullptr) AfxOleLockApp(hModule);
  if (m_hModule != nullptr) AfxOleUnlockApp(m_hModule);
  m_hModule = hModule;
}
