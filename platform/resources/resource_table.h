#pragma once
// The resources a module carries: dialog templates, dialog-init data,
// strings, menus, bitmaps, icons, version information and custom resources
// such as the type library. A module describes them in one ResourceTable and
// registers it once, when it is loaded, with KP_MODULE_RESOURCES; the lookup
// functions in resources.h then find them by module instance.
//
// Structured resources (dialogs, menus, strings, version) are C++ data.
// Resources that Windows keeps as bytes stay bytes in the Windows layout:
// bitmaps are packed DIBs (BITMAPINFOHEADER, colour table, pixels, no file
// header), icons are packed DIBs with their AND mask, dialog-init data is the
// sequence of {WORD id, WORD message, DWORD length, data} records ending with
// a zero WORD, and the type library is the bytes of our own format.

#include <span>
#include <string_view>
#include <vector>

#include "platform/base/guid.h"
#include "platform/base/handles.h"
#include "platform/base/module.h"
#include "platform/base/win_types.h"

namespace kp::resources {

// One item of a dialog template. Styles are the Windows bits (WS_, BS_, ES_,
// SS_, CBS_); the window class plus the style's type bits say what the item is.
struct DialogItem {
  enum class Class { Button, Edit, Static, ComboBox, Control };
  Class windowClass;
  int id;              // IDC_STATIC (-1) for none
  const char* text;    // caption; for an SS_ICON static, "#<icon id>"
  short x, y, cx, cy;  // dialog units
  DWORD style;
  DWORD exStyle = 0;
  const CLSID* clsid = nullptr;  // Class::Control only: the hosted control's class id
};

struct DialogTemplate {
  const char* caption;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;  // dialog units
  const char* fontName;
  short pointSize;
  std::vector<DialogItem> items;  // in template (and tab) order
};

struct MenuItem {
  const char* text;             // nullptr for a separator
  UINT id;                      // command id; 0 for popups and separators
  UINT flags;                   // MF_POPUP, MF_GRAYED, MF_SEPARATOR...
  std::vector<MenuItem> popup;  // the items of an MF_POPUP entry
};

struct MenuTemplate {
  std::vector<MenuItem> items;
};

struct VersionString {
  const char* name;  // "FileVersion", "ProductName", "OLESelfRegister"...
  const char* value;
};

struct VersionInfo {
  WORD fileVersion[4];
  WORD productVersion[4];
  WORD language;  // 0x0409
  WORD codePage;  // 0x04B0
  std::vector<VersionString> strings;
};

struct StringEntry {
  UINT id;
  const char* text;
};
struct DialogEntry {
  UINT id;
  const DialogTemplate* dialog;
};
struct MenuEntry {
  UINT id;
  const MenuTemplate* menu;
};
struct BytesEntry {
  UINT id;
  std::span<const BYTE> bytes;
};
struct IconEntry {
  UINT id;
  std::vector<std::span<const BYTE>> images;  // one packed DIB per size
};
struct CustomEntry {
  const char* type;  // e.g. "TYPELIB"
  UINT id;
  std::span<const BYTE> bytes;
};

struct ResourceTable {
  std::vector<StringEntry> strings;
  std::vector<DialogEntry> dialogs;
  std::vector<BytesEntry> dialogInit;  // RT_DLGINIT, keyed by the dialog's id
  std::vector<MenuEntry> menus;
  std::vector<BytesEntry> bitmaps;
  std::vector<IconEntry> icons;
  const VersionInfo* version = nullptr;
  std::vector<CustomEntry> custom;
};

// Makes `table` the resources of `module`. The table must outlive the module's
// use of it (modules are never unloaded). Registering again replaces.
void RegisterModuleResources(HINSTANCE module, const ResourceTable* table);

// The registrar KP_MODULE_RESOURCES creates in the module that owns `table`.
struct ModuleResourceRegistrar {
  ModuleResourceRegistrar(HINSTANCE module, const ResourceTable* table) { RegisterModuleResources(module, table); }
};

}  // namespace kp::resources

// Registers the module's table when the module is loaded. Use once per
// module, in the file that defines the table, after its definition.
#define KP_MODULE_RESOURCES(table)                                                                               \
  namespace {                                                                                                    \
  const ::kp::resources::ModuleResourceRegistrar kp_module_resource_registrar{AfxGetInstanceHandle(), &(table)}; \
  }
