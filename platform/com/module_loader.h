#pragma once
// Loading COM modules: dlopen with RTLD_NOW | RTLD_LOCAL, so one module's
// symbols never bind another's, and never dlclose, because a module that
// has made Qt objects cannot be unmapped safely (DllCanUnloadNow still
// answers truthfully; the runtime just never acts on it).

#include <string>

#include "platform/base/handles.h"
#include "platform/base/hresult.h"

namespace kp::com {

struct LoadedModule {
  void* handle = nullptr;        // for dlsym
  HINSTANCE instance = nullptr;  // the module's load address
};

// Loads the module at the absolute path `path`, or finds it when it is
// already part of the process (the main program included). Returns
// CO_E_DLLNOTFOUND when there is no such file and CO_E_ERRORINDLL when the
// file is not a loadable module; *reason then says why.
HRESULT LoadModule(const std::string& path, LoadedModule* module, std::string* reason = nullptr);

}  // namespace kp::com
