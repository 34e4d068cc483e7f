#pragma once
// What the OLE part of the framework keeps per module: the lock count and
// the list of class factories. One table for the process, in the platform
// library, keyed by module instance.

#include <vector>

#include "platform/base/handles.h"
#include "platform/base/win_types.h"

class COleObjectFactory;

namespace kp::afx {

struct OleModuleState {
  LONG nLockCount = 0;
  std::vector<COleObjectFactory*> factories;  // in construction order
};

OleModuleState& GetOleModuleState(HINSTANCE hModule);

}  // namespace kp::afx
