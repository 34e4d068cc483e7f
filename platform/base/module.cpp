#include "platform/base/module.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>

HINSTANCE ModuleFromAddress(const void* address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_fbase == nullptr) return nullptr;
  return static_cast<HINSTANCE>(info.dli_fbase);
}

namespace {
struct PathSearch {
  std::uintptr_t base;
  std::string path;
  bool found;
};

int VisitModule(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<PathSearch*>(data);
  // The load base of a module is the lowest address of its loadable segments.
  std::uintptr_t lowest = UINTPTR_MAX;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type == PT_LOAD) {
      std::uintptr_t start = info->dlpi_addr + info->dlpi_phdr[i].p_vaddr;
      if (start < lowest) lowest = start;
    }
  }
  if (lowest != search->base && info->dlpi_addr != search->base) return 0;
  search->found = true;
  search->path = info->dlpi_name ? info->dlpi_name : "";
  return 1;
}
}  // namespace

std::string GetModuleFilePath(HINSTANCE module) {
  if (module == nullptr) return std::string();
  PathSearch search{reinterpret_cast<std::uintptr_t>(module), std::string(), false};
  dl_iterate_phdr(VisitModule, &search);
  if (!search.found) return std::string();
  if (search.path.empty()) {
    // The main program reports no name; the kernel knows it.
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    return std::string(buffer, static_cast<std::size_t>(n));
  }
  char resolved[PATH_MAX];
  if (realpath(search.path.c_str(), resolved) != nullptr) return resolved;
  return search.path;
}

std::string GetModuleBaseName(HINSTANCE module) {
  std::string path = GetModuleFilePath(module);
  std::size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}
