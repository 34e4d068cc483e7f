#include "platform/afx/ole_control_module.h"

#include <cstdlib>
#include <map>
#include <string>

IMPLEMENT_DYNAMIC(COleControlModule, CWinApp)

namespace {
struct ModuleAppEntry {
  COleControlModule* app = nullptr;
  bool started = false;
};

std::map<HINSTANCE, ModuleAppEntry>& ModuleApps() {
  // Never destroyed: modules end their applications at exit in any order.
  static auto* apps = new std::map<HINSTANCE, ModuleAppEntry>();
  return *apps;
}

void EndStartedModules() {
  for (auto& [module, entry] : ModuleApps()) {
    if (!entry.started || entry.app == nullptr) continue;
    entry.started = false;
    entry.app->ExitInstance();
  }
}
}  // namespace

COleControlModule::COleControlModule(HINSTANCE hModule)
    : CWinApp(ModuleApp{}, GetModuleBaseName(hModule).c_str(), hModule) {
  ModuleApps()[hModule].app = this;
}

COleControlModule::~COleControlModule() {
  auto it = ModuleApps().find(m_hInstance);
  if (it != ModuleApps().end() && it->second.app == this) ModuleApps().erase(it);
}

BOOL COleControlModule::InitInstance() { return TRUE; }
int COleControlModule::ExitInstance() { return 0; }

void kp::afx::StartControlModule(HINSTANCE hModule) {
  auto it = ModuleApps().find(hModule);
  if (it == ModuleApps().end() || it->second.started || it->second.app == nullptr) return;
  it->second.started = true;
  // Scheduled now, after the module's static objects exist, so it runs
  // before they are destroyed.
  static bool scheduled = false;
  if (!scheduled) {
    scheduled = true;
    std::atexit(&EndStartedModules);
  }
  it->second.app->InitInstance();
}
