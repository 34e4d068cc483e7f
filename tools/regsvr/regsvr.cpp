// regsvr: loads a COM module and calls its DllRegisterServer, or with -u
// its DllUnregisterServer, as a Windows installer registers a control.
//
//   regsvr PATH              register
//   regsvr -u PATH           unregister
//   regsvr --reset-registry  move a damaged registry file aside
//
// Exit status: 0 on success; 1 when the module's function reports a
// failure (its HRESULT is printed in hex); 2 for a wrong command line; 3
// when the module cannot be loaded or lacks the function.

#include <dlfcn.h>
#include <stdlib.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/com/class_factory.h"
#include "platform/com/com_runtime.h"
#include "platform/registry/registry_api.h"

namespace {
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kCannotLoad = 3;

int Usage() {
  std::fprintf(stderr, "usage: regsvr [-u] PATH\n       regsvr --reset-registry\n");
  return kUsage;
}

// Says so when a failure comes from a damaged registry file, and how to
// get past it.
void HintAtDamagedRegistry() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &key) == ERROR_REGISTRY_CORRUPT)
    std::fprintf(stderr, "regsvr: the registry file %s is damaged; \"regsvr --reset-registry\" moves it aside\n",
                 kp::registry::RegistryFilePath().c_str());
  if (key != nullptr) RegCloseKey(key);
}

int ResetRegistry() {
  std::string savedAs;
  LONG result = kp::registry::ResetCorruptFile(&savedAs);
  if (result != ERROR_SUCCESS) {
    std::fprintf(stderr, "regsvr: cannot reset the registry file %s (error %ld)\n",
                 kp::registry::RegistryFilePath().c_str(), static_cast<long>(result));
    return kFailed;
  }
  if (savedAs.empty())
    std::printf("regsvr: the registry file is sound; nothing was changed\n");
  else
    std::printf("regsvr: the damaged registry file was moved to %s\n", savedAs.c_str());
  return 0;
}

int Run(const char* given, bool unregister) {
  const char* function = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  // An absolute path, so that dlopen loads this file and does not search
  // the library path for its name.
  char path[PATH_MAX];
  if (::realpath(given, path) == nullptr) {
    std::fprintf(stderr, "regsvr: cannot load %s: %s\n", given, std::strerror(errno));
    return kCannotLoad;
  }
  void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    std::fprintf(stderr, "regsvr: cannot load %s: %s\n", given, dlerror());
    return kCannotLoad;
  }
  auto entry = reinterpret_cast<PFN_DllRegisterServer>(dlsym(module, function));
  if (entry == nullptr) {
    std::fprintf(stderr, "regsvr: %s does not export %s\n", given, function);
    return kCannotLoad;
  }
  OleInitialize(nullptr);
  HRESULT hr = entry();
  OleUninitialize();
  // The module stays loaded: it may have made objects that outlive this call.
  if (FAILED(hr)) {
    std::fprintf(stderr, "regsvr: %s failed: 0x%08X\n", function, static_cast<unsigned>(hr));
    HintAtDamagedRegistry();
    return kFailed;
  }
  std::printf("regsvr: %s in %s succeeded\n", function, path);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--reset-registry") == 0) return ResetRegistry();
  if (argc == 2 && argv[1][0] != '-') return Run(argv[1], false);
  if (argc == 3 && std::strcmp(argv[1], "-u") == 0) return Run(argv[2], true);
  return Usage();
}
