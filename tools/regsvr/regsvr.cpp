// regsvr: loads a COM module and calls its DllRegisterServer, or with -u
// its DllUnregisterServer, as a Windows installer registers a control.
//
//   regsvr [--machine DATADIR] PATH              register
//   regsvr [--machine DATADIR] -u PATH           unregister
//   regsvr [--machine DATADIR] --reset-registry  move a damaged registry file aside
//
// Without --machine the user's own registry file changes. With it, the
// machine-wide file of the data folder DATADIR does
// (DATADIR/kestrow-platform/classes.reg, which every user reads below their
// own when DATADIR is among XDG_DATA_DIRS), and the module's path is
// written relative to that file, so the installed tree can be moved. An
// install runs it that way.
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
#include <memory>
#include <string>
#include <vector>

#include "platform/com/class_factory.h"
#include "platform/com/com_runtime.h"
#include "platform/registry/registry_api.h"
#include "platform/registry/registry_locations.h"

namespace {
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kCannotLoad = 3;

int Usage() {
  std::fprintf(stderr,
               "usage: regsvr [--machine DATADIR] [-u] PATH\n"
               "       regsvr [--machine DATADIR] --reset-registry\n");
  return kUsage;
}

// Says so when a failure comes from a damaged registry file, and how to
// get past it.
void HintAtDamagedRegistry(const std::string& machineFolder) {
  const std::string writable = kp::registry::RegistryFilePath();
  for (const kp::registry::RegistryFileState& file : kp::registry::RegistryFileStates()) {
    if (file.state != ERROR_REGISTRY_CORRUPT) continue;
    if (file.path != writable) {
      std::fprintf(stderr, "regsvr: the machine-wide registry file %s is damaged\n", file.path.c_str());
      continue;
    }
    std::string option = machineFolder.empty() ? std::string() : "--machine " + machineFolder + " ";
    std::fprintf(stderr, "regsvr: the registry file %s is damaged; \"regsvr %s--reset-registry\" moves it aside\n",
                 file.path.c_str(), option.c_str());
  }
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

// An absolute path without symbolic links, so that dlopen loads this file
// and does not search the library path for its name.
bool ResolveModulePath(const char* given, std::string* path) {
  char resolved[PATH_MAX];
  if (::realpath(given, resolved) == nullptr) {
    std::fprintf(stderr, "regsvr: cannot load %s: %s\n", given, std::strerror(errno));
    return false;
  }
  *path = resolved;
  return true;
}

int Run(const char* given, const std::string& path, bool unregister, const std::string& machineFolder) {
  const char* function = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
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
    HintAtDamagedRegistry(machineFolder);
    return kFailed;
  }
  std::printf("regsvr: %s in %s succeeded (%s)\n", function, path.c_str(), kp::registry::RegistryFilePath().c_str());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string machineFolder;
  if (args.size() >= 2 && args[0] == "--machine") {
    machineFolder = args[1];
    if (machineFolder.empty()) return Usage();
    args.erase(args.begin(), args.begin() + 2);
  }
  bool unregister = false;
  if (args.size() == 2 && args[0] == "-u") {
    unregister = true;
    args.erase(args.begin());
  }
  if (args.size() != 1 || (args[0][0] == '-' && (unregister || args[0] != "--reset-registry"))) return Usage();

  const bool reset = args[0] == "--reset-registry";
  std::string path;
  if (!reset && !ResolveModulePath(args[0].c_str(), &path)) return kCannotLoad;
  // The module's folder is the one whose paths are kept relative.
  std::unique_ptr<kp::registry::MachineRegistryScope> scope;
  if (!machineFolder.empty())
    scope = std::make_unique<kp::registry::MachineRegistryScope>(
        machineFolder, reset ? machineFolder : path.substr(0, path.rfind('/')));
  return reset ? ResetRegistry() : Run(args[0].c_str(), path, unregister, machineFolder);
}
