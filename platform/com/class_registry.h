#pragma once
// Reading a class's registration: where its server is.

#include <string>
#include <vector>

#include "platform/base/guid.h"
#include "platform/base/hresult.h"

namespace kp::com {

// CLSID\{clsid}\InprocServer32 (default). REGDB_E_CLASSNOTREG when the
// class or its in-process entry is not registered, REGDB_E_READREGDB when
// the registry cannot be read.
HRESULT ReadInprocServerPath(REFCLSID clsid, std::string* path);

// CLSID\{clsid}\LocalServer32 (default), split into the program and its
// arguments: the whole value is the program, unless it starts with a
// double quote, in which case the quoted part is the program and the words
// after it are arguments.
HRESULT ReadLocalServerCommand(REFCLSID clsid, std::vector<std::string>* command);

}  // namespace kp::com
