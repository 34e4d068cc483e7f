#include "platform/com/module_loader.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <map>

#include "platform/base/module.h"

namespace kp::com {
namespace {
std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

struct Search {
  std::string wanted;
  bool found = false;
  bool isProgram = false;
};

// Finds an already loaded object whose file is `wanted`.
int Visit(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<Search*>(data);
  bool isProgram = info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
  std::string path = isProgram ? RealPath("/proc/self/exe") : RealPath(info->dlpi_name);
  if (path.empty() || path != search->wanted) return 0;
  search->found = true;
  search->isProgram = isProgram;
  return 1;
}

HINSTANCE InstanceOf(void* handle) {
  link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return nullptr;
  return ModuleFromAddress(map->l_ld);
}

std::map<std::string, LoadedModule>& Loaded() {
  static std::map<std::string, LoadedModule> loaded;
  return loaded;
}
}  // namespace

HRESULT LoadModule(const std::string& path, LoadedModule* module, std::string* reason) {
  auto fail = [&](HRESULT hr, std::string why) {
    if (reason != nullptr) *reason = std::move(why);
    return hr;
  };
  if (path.empty() || path[0] != '/') return fail(CO_E_DLLNOTFOUND, "the module path is not absolute: " + path);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return fail(CO_E_DLLNOTFOUND, "no module file at " + path);
  std::string real = RealPath(path);
  auto it = Loaded().find(real);
  if (it != Loaded().end()) {
    *module = it->second;
    return S_OK;
  }
  Search search{real};
  dl_iterate_phdr(Visit, &search);
  void* handle = nullptr;
  if (search.found && search.isProgram) {
    // A program cannot be opened again by name; it is already here.
    handle = dlopen(nullptr, RTLD_NOW);
  } else {
    dlerror();
    handle = dlopen(real.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  if (handle == nullptr) {
    const char* why = dlerror();
    return fail(CO_E_ERRORINDLL, why != nullptr ? why : "the module cannot be loaded");
  }
  LoadedModule loaded{handle, InstanceOf(handle)};
  if (loaded.instance == nullptr) return fail(CO_E_ERRORINDLL, "the module's load address is unknown");
  Loaded()[real] = loaded;
  *module = loaded;
  return S_OK;
}

}  // namespace kp::com
