#pragma once
// The verb list a control hands its container (IOleObject::EnumVerbs).

#include <string>
#include <vector>

#include "platform/com/ole_object.h"

namespace kp::afx {

struct VerbDescription {
  LONG lVerb;
  std::string name;
  DWORD fuFlags;
  DWORD grfAttribs;
};

// A new enumerator over a copy of `verbs`, with one reference.
HRESULT CreateVerbEnumerator(std::vector<VerbDescription> verbs, IEnumOLEVERB** ppEnum);

}  // namespace kp::afx
