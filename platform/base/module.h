#pragma once
// Module instances. An HINSTANCE is the load address of one executable or
// shared object. Every module finds its own through the toolchain's hidden
// __dso_handle symbol, of which each executable and shared object has its own
// copy, so AfxGetInstanceHandle() names the module it is compiled into even
// when called through a header of the platform library.

#include <string>

#include "platform/base/handles.h"

extern "C" {
extern void* __dso_handle;
}

// The module containing `address`, or null when no loaded module does.
HINSTANCE ModuleFromAddress(const void* address);
// Full path of a loaded module's file; empty when the instance is unknown.
std::string GetModuleFilePath(HINSTANCE module);
// The module's file name without folder and extension ("Tavlet" for
// ".../Tavlet.ocx"): the framework's application name.
std::string GetModuleBaseName(HINSTANCE module);

namespace {
// Internal linkage on purpose: each module must get its own copy.
[[maybe_unused]] HINSTANCE AfxGetInstanceHandle() { return ModuleFromAddress(&__dso_handle); }
}  // namespace
