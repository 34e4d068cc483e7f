#include "platform/afx/ole_lock.h"

#include <dlfcn.h>
#include <link.h>

#include "platform/afx/ole_module_state.h"

namespace {
BOOL g_bUserCtrl = TRUE;
}  // namespace

namespace kp::afx {
HINSTANCE MainProgramInstance() {
  static const HINSTANCE program = [] {
    // The program is the module that holds the dynamic section of the
    // process's first link-map entry.
    void* self = dlopen(nullptr, RTLD_NOW | RTLD_NOLOAD);
    link_map* map = nullptr;
    HINSTANCE found = nullptr;
    if (self != nullptr && dlinfo(self, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr)
      found = ModuleFromAddress(map->l_ld);
    if (self != nullptr) dlclose(self);
    return found;
  }();
  return program;
}
}  // namespace kp::afx

void AfxOleLockApp(HINSTANCE hModule) { ++kp::afx::GetOleModuleState(hModule).nLockCount; }

void AfxOleUnlockApp(HINSTANCE hModule) {
  LONG& count = kp::afx::GetOleModuleState(hModule).nLockCount;
  // An unlock without its lock is ignored rather than letting the count go
  // negative, which would make the next lock look like the last release.
  if (count <= 0) return;
  if (--count == 0 && hModule == kp::afx::MainProgramInstance()) AfxOleOnReleaseAllObjects();
}

BOOL AfxOleCanExitApp(HINSTANCE hModule) { return kp::afx::GetOleModuleState(hModule).nLockCount == 0; }

LONG AfxOleGetLockCount(HINSTANCE hModule) { return kp::afx::GetOleModuleState(hModule).nLockCount; }

void AfxOleSetUserCtrl(BOOL bUserCtrl) { g_bUserCtrl = bUserCtrl ? TRUE : FALSE; }
BOOL AfxOleGetUserCtrl() { return g_bUserCtrl; }

namespace {
void (*g_pfnCloseMainWindow)() = nullptr;
}  // namespace

void kp::afx::SetOleCloseMainWindowHandler(void (*pfnClose)()) { g_pfnCloseMainWindow = pfnClose; }

void AfxOleOnReleaseAllObjects() {
  // The user's program stays up whatever its clients do.
  if (AfxOleGetUserCtrl()) return;
  // From here on the user owns the program; this also keeps a lock taken
  // while the window closes from starting a second shutdown.
  AfxOleSetUserCtrl(TRUE);
  if (g_pfnCloseMainWindow != nullptr) g_pfnCloseMainWindow();
}
