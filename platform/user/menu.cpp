#include "platform/user/menu.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/handle_map.h"
#include "platform/qt/window_system.h"
#include "platform/resources/resources.h"

namespace {

struct MenuItemRecord {
  UINT flags = 0;
  UINT id = 0;
  std::string text;
  HMENU popup = nullptr;
};

struct MenuRecord {
  std::vector<MenuItemRecord> items;
  HINSTANCE module = nullptr;  // whose strings give the items' prompts
};

kp::base::HandleMap<HMENU, MenuRecord>& Table() {
  static kp::base::HandleMap<HMENU, MenuRecord> table(0x3E000);
  return table;
}

MenuRecord* Find(HMENU hMenu) { return Table().Find(hMenu); }

HMENU NewMenu(HINSTANCE module) { return Table().Add(MenuRecord{{}, module}); }

// Where an item is: its menu and its index there, found by position or,
// through the submenus too, by command id; {null, 0} when it is not there.
struct ItemPlace {
  MenuRecord* menu = nullptr;
  std::size_t index = 0;
};
ItemPlace Place(HMENU hMenu, UINT idOrPos, UINT flags) {
  MenuRecord* menu = Find(hMenu);
  if (menu == nullptr) return {};
  if (flags & MF_BYPOSITION) return idOrPos < menu->items.size() ? ItemPlace{menu, idOrPos} : ItemPlace{};
  for (std::size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItemRecord& item = menu->items[i];
    if (item.popup) {
      if (ItemPlace inner = Place(item.popup, idOrPos, flags); inner.menu != nullptr) return inner;
    } else if (!(item.flags & MF_SEPARATOR) && item.id == idOrPos) {
      return {menu, i};
    }
  }
  return {};
}

MenuItemRecord* Item(HMENU hMenu, UINT idOrPos, UINT flags) {
  const ItemPlace place = Place(hMenu, idOrPos, flags);
  return place.menu != nullptr ? &place.menu->items[place.index] : nullptr;
}

// The item AppendMenu, InsertMenu and ModifyMenu make; false when it names
// a popup that is not a menu.
bool MakeItem(UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem, MenuItemRecord& item) {
  item.flags = uFlags & ~MF_BYPOSITION;
  if (uFlags & MF_POPUP) {
    item.popup = reinterpret_cast<HMENU>(uIDNewItem);
    if (!IsMenu(item.popup)) return false;
  } else if (!(uFlags & MF_SEPARATOR)) {
    item.id = static_cast<UINT>(uIDNewItem);
  }
  if (!(uFlags & MF_SEPARATOR) && lpNewItem) item.text = lpNewItem;
  return true;
}

void Build(HMENU hMenu, const std::vector<kp::resources::MenuItem>& items, HINSTANCE module) {
  for (const auto& item : items) {
    if (item.flags & MF_POPUP) {
      HMENU sub = NewMenu(module);
      Build(sub, item.popup, module);
      AppendMenu(hMenu, MF_POPUP | (item.flags & (MF_GRAYED | MF_DISABLED)), reinterpret_cast<UINT_PTR>(sub),
                 item.text);
    } else if (item.text == nullptr || (item.flags & MF_SEPARATOR)) {
      AppendMenu(hMenu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenu(hMenu, item.flags & ~MF_POPUP, item.id, item.text);
    }
  }
}

// The prompt of a command: the first line of the string with its id.
std::string Prompt(HINSTANCE module, UINT id) {
  std::optional<std::string> text = kp::resources::FindStringResource(module, id);
  if (!text) return std::string();
  return text->substr(0, text->find('\n'));
}

}  // namespace

HMENU CreatePopupMenu() { return NewMenu(nullptr); }
BOOL IsMenu(HMENU hMenu) { return Find(hMenu) != nullptr; }

BOOL DestroyMenu(HMENU hMenu) {
  MenuRecord* found = Find(hMenu);
  if (found == nullptr) return FALSE;
  MenuRecord record = std::move(*found);
  Table().Remove(hMenu);
  for (auto& item : record.items)
    if (item.popup) DestroyMenu(item.popup);
  return TRUE;
}

HMENU LoadMenu(HINSTANCE hInstance, LPCTSTR lpMenuName) {
  if (!IS_INTRESOURCE(lpMenuName)) return nullptr;
  const kp::resources::MenuTemplate* tmpl = kp::resources::FindMenuTemplate(hInstance, RESOURCE_ID(lpMenuName));
  if (tmpl == nullptr) return nullptr;
  HMENU menu = NewMenu(hInstance);
  Build(menu, tmpl->items, hInstance);
  return menu;
}

BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem) {
  MenuRecord* menu = Find(hMenu);
  MenuItemRecord item;
  if (menu == nullptr || !MakeItem(uFlags, uIDNewItem, lpNewItem, item)) return FALSE;
  menu->items.push_back(std::move(item));
  return TRUE;
}

BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem) {
  MenuRecord* menu = Find(hMenu);
  if (menu == nullptr) return FALSE;
  ItemPlace place{menu, menu->items.size()};
  const bool atEnd =
      (uFlags & MF_BYPOSITION) && (uPosition == static_cast<UINT>(-1) || uPosition >= menu->items.size());
  if (!atEnd) place = Place(hMenu, uPosition, uFlags);
  MenuItemRecord item;
  if (place.menu == nullptr || !MakeItem(uFlags, uIDNewItem, lpNewItem, item)) return FALSE;
  place.menu->items.insert(place.menu->items.begin() + static_cast<std::ptrdiff_t>(place.index), std::move(item));
  return TRUE;
}

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
  const ItemPlace place = Place(hMenu, uPosition, uFlags);
  if (place.menu == nullptr) return FALSE;
  const HMENU popup = place.menu->items[place.index].popup;
  place.menu->items.erase(place.menu->items.begin() + static_cast<std::ptrdiff_t>(place.index));
  if (popup) DestroyMenu(popup);
  return TRUE;
}

BOOL ModifyMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem) {
  const ItemPlace place = Place(hMenu, uPosition, uFlags);
  MenuItemRecord item;
  if (place.menu == nullptr || !MakeItem(uFlags, uIDNewItem, lpNewItem, item)) return FALSE;
  // A submenu that the item no longer shows is destroyed, as Windows does.
  const HMENU old = place.menu->items[place.index].popup;
  place.menu->items[place.index] = std::move(item);
  if (old && old != reinterpret_cast<HMENU>(uIDNewItem)) DestroyMenu(old);
  return TRUE;
}

int GetMenuString(HMENU hMenu, UINT uIDItem, LPTSTR lpString, int nMaxCount, UINT uFlag) {
  const ItemPlace place = Place(hMenu, uIDItem, uFlag);
  if (place.menu == nullptr) return 0;
  const std::string& text = place.menu->items[place.index].text;
  if (lpString == nullptr) return static_cast<int>(text.size());
  if (nMaxCount <= 0) return 0;
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(nMaxCount - 1));
  text.copy(lpString, n);
  lpString[n] = '\0';
  return static_cast<int>(n);
}

int GetMenuItemCount(HMENU hMenu) {
  MenuRecord* menu = Find(hMenu);
  return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
  MenuItemRecord* item = Item(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
  if (item == nullptr || item->popup) return static_cast<UINT>(-1);
  return item->id;
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
  MenuItemRecord* item = Item(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
  return item ? item->popup : nullptr;
}

UINT EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
  MenuItemRecord* item = Item(hMenu, uIDEnableItem, uEnable);
  if (item == nullptr) return static_cast<UINT>(-1);
  UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
  item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
  return previous;
}

namespace kp::user {

std::size_t LiveMenuCount() { return Table().Size(); }

std::vector<qt::PopupItem> DescribeMenu(HMENU hMenu) {
  std::vector<qt::PopupItem> items;
  MenuRecord* menu = Find(hMenu);
  if (menu == nullptr) return items;
  for (const auto& item : menu->items) {
    qt::PopupItem shown;
    shown.separator = (item.flags & MF_SEPARATOR) != 0;
    shown.text = item.text;
    shown.id = item.id;
    shown.grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    shown.checked = (item.flags & MF_CHECKED) != 0;
    if (item.popup)
      shown.popup = DescribeMenu(item.popup);
    else if (!shown.separator)
      shown.statusTip = Prompt(menu->module, item.id);
    items.push_back(std::move(shown));
  }
  return items;
}

}  // namespace kp::user
