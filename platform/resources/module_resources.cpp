// The process-wide table of which module carries which resources. It lives
// in the platform library so that every module registers into, and looks up
// from, the same one.

#include <dlfcn.h>
#include <link.h>

#include <map>

#include "platform/resources/resources.h"

namespace kp::resources {
namespace {
std::map<HINSTANCE, const ResourceTable*>& Tables() {
  static std::map<HINSTANCE, const ResourceTable*> tables;
  return tables;
}

// The main program's instance: the module that holds its dynamic section.
HINSTANCE MainProgram() {
  static HINSTANCE program = [] {
    void* self = dlopen(nullptr, RTLD_NOW);
    link_map* map = nullptr;
    if (self == nullptr || dlinfo(self, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return HINSTANCE{};
    return ModuleFromAddress(map->l_ld);
  }();
  return program;
}
}  // namespace

void RegisterModuleResources(HINSTANCE module, const ResourceTable* table) { Tables()[module] = table; }

const ResourceTable* FindModuleResources(HINSTANCE module) {
  if (module == nullptr) module = MainProgram();
  auto it = Tables().find(module);
  return it == Tables().end() ? nullptr : it->second;
}

}  // namespace kp::resources
