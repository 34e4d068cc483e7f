#include "control/tests/tavlet_module.h"

#include <dlfcn.h>

#include "platform/base/module.h"

namespace tavlet_test {
HINSTANCE LoadTavletModule() {
  void* module = dlopen(TAVLET_MODULE, RTLD_NOW | RTLD_LOCAL);
  void* entry = module != nullptr ? dlsym(module, "DllGetClassObject") : nullptr;
  return entry != nullptr ? ModuleFromAddress(entry) : nullptr;
}
}  // namespace tavlet_test
