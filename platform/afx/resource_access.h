#pragma once
// The framework's view of module resources: the few lookups it needs, by
// module instance and id. Null or empty when the module has no such resource.

#include <optional>
#include <span>
#include <string>

#include "platform/resources/resource_table.h"

namespace kp::afx {
const kp::resources::DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id);
std::span<const BYTE> FindDialogInit(HINSTANCE module, UINT id);
const kp::resources::MenuTemplate* FindMenuTemplate(HINSTANCE module, UINT id);
std::optional<std::string> FindString(HINSTANCE module, UINT id);
}  // namespace kp::afx
