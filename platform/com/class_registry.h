#pragma once
// Reading a class's registration: where its server is.

#include <string>

#include "platform/base/guid.h"
#include "platform/base/hresult.h"

namespace kp::com {

// CLSID\{clsid}\InprocServer32 (default). REGDB_E_CLASSNOTREG when the
// class or its in-process entry is not registered, REGDB_E_READREGDB when
// the registry cannot be read.
HRESULT ReadInprocServerPath(REFCLSID clsid, std::string* path);

}  // namespace kp::com
