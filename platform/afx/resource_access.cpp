#include "platform/afx/resource_access.h"

#include <unordered_map>

namespace kp::resources {
namespace {
std::unordered_map<HINSTANCE, const ResourceTable*>& Tables() {
  static std::unordered_map<HINSTANCE, const ResourceTable*> tables;
  return tables;
}
}  // namespace

// The resources library owns this registration; until it is linked in, the
// framework keeps the tables itself.
__attribute__((weak)) void RegisterModuleResources(HINSTANCE module, const ResourceTable* table) {
  Tables()[module] = table;
}
}  // namespace kp::resources

namespace kp::afx {
namespace {
const kp::resources::ResourceTable* TableOf(HINSTANCE module) {
  auto& tables = kp::resources::Tables();
  auto it = tables.find(module);
  return it == tables.end() ? nullptr : it->second;
}
}  // namespace

const kp::resources::DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id) {
  if (const auto* table = TableOf(module))
    for (const auto& entry : table->dialogs)
      if (entry.id == id) return entry.dialog;
  return nullptr;
}

std::span<const BYTE> FindDialogInit(HINSTANCE module, UINT id) {
  if (const auto* table = TableOf(module))
    for (const auto& entry : table->dialogInit)
      if (entry.id == id) return entry.bytes;
  return {};
}

const kp::resources::MenuTemplate* FindMenuTemplate(HINSTANCE module, UINT id) {
  if (const auto* table = TableOf(module))
    for (const auto& entry : table->menus)
      if (entry.id == id) return entry.menu;
  return nullptr;
}

std::optional<std::string> FindString(HINSTANCE module, UINT id) {
  if (const auto* table = TableOf(module))
    for (const auto& entry : table->strings)
      if (entry.id == id) return std::string(entry.text);
  return std::nullopt;
}
}  // namespace kp::afx
