#include "platform/afx/ole_module_state.h"

#include <map>

namespace kp::afx {

OleModuleState& GetOleModuleState(HINSTANCE hModule) {
  // Never destroyed: static factories of every module remove themselves
  // from their list while the process exits, in whatever order the
  // modules' destructors run.
  static auto* states = new std::map<HINSTANCE, OleModuleState>();
  return (*states)[hModule];
}

}  // namespace kp::afx
