#include "editor/ui/control_failure.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "interfaces/tavlet_ids.h"
#include "platform/afx/prompts.h"
#include "platform/afx/win_app.h"
#include "platform/base/module.h"
#include "platform/com/class_factory.h"
#include "platform/com/class_registry.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/module_loader.h"
#include "platform/registry/registry_api.h"
#include "platform/registry/registry_locations.h"

namespace {
bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

// Every registry file read, with its state, and where a machine-wide one
// was looked for when none was found.
std::string RegistryFilesRead() {
  std::string text;
  for (const kp::registry::RegistryFileState& file : kp::registry::RegistryFileStates())
    text += (text.empty() ? "" : " and ") + kp::registry::DescribeRegistryFile(file);
  if (kp::registry::FindMachineRegistryFile().empty()) {
    std::string folders;
    for (const std::string& folder : kp::registry::MachineDataFolders())
      folders += (folders.empty() ? "" : ":") + folder;
    text += "; no machine-wide kestrow-platform/classes.reg in " + (folders.empty() ? "(no folder)" : folders);
  }
  return text;
}

// The control module that belongs with this editor: in the installed tree's
// private folder, or beside the program in the build tree. The installed
// place when neither has one.
std::string ModuleBesideProgram(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(GetModuleFilePath(AfxGetInstanceHandle())).parent_path();
  for (const char* relative : {KESTROW_PRIVATE_FOLDER, "."}) {
    const std::string candidate = (folder / relative / name).lexically_normal().string();
    if (IsFile(candidate)) return candidate;
  }
  return (folder / KESTROW_PRIVATE_FOLDER / name).lexically_normal().string();
}

// What went wrong with the module the registration names; empty when its
// class object can be had.
std::string ModuleProblem(const std::string& path) {
  kp::com::ComPtr<IClassFactory> factory;
  HRESULT hr =
      CoGetClassObject(tavlet::CLSID_Tavlet, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.put_void());
  if (SUCCEEDED(hr)) return std::string();
  if (hr == CO_E_DLLNOTFOUND) return path + ", which is not there";
  if (hr == CO_E_ERRORINDLL) {
    std::string reason;
    kp::com::LoadedModule module;
    if (FAILED(kp::com::LoadModule(path, &module, &reason)) && !reason.empty())
      return path + ", which cannot be loaded: " + reason;
    return path + ", which has no DllGetClassObject";
  }
  return path + ", which failed with " + Hex(hr);
}
}  // namespace

std::string ControlFailureMessage() {
  std::string path;
  std::string tried;
  HRESULT hr = kp::com::ReadInprocServerPath(tavlet::CLSID_Tavlet, &path);
  if (hr == REGDB_E_CLASSNOTREG)
    tried = "none: the class is not registered in " + RegistryFilesRead();
  else if (FAILED(hr))
    tried = "none: the registry cannot be read: " + RegistryFilesRead();
  else
    tried = ModuleProblem(path);
  if (tried.empty()) return std::string();

  std::string module = ModuleBesideProgram(KESTROW_CONTROL_MODULE);
  std::string regsvr = module.substr(0, module.rfind('/') + 1) + KESTROW_REGSVR;
  return std::string("The bitmap drop control cannot be created, so the editor cannot open its window.\n") +
         "Control: " + tavlet::kCtrlProgId + " " + GuidToString(tavlet::CLSID_Tavlet) + "\n" +
         "Module tried: " + tried + "\n" + "Register it with: " + regsvr + " " + module + "\n";
}

int ReportMainDialogFailure() {
  std::string message = ControlFailureMessage();
  if (message.empty()) message = "The editor's main window could not be created.\n";
  std::fprintf(stderr, "%s: %s", AfxGetAppName() != nullptr ? AfxGetAppName() : "kestrow", message.c_str());
  std::fflush(stderr);
  AfxMessageBox(message.substr(0, message.size() - 1).c_str(), MB_OK | MB_ICONERROR);
  return 1;
}
