#include "platform/afx/menu.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/afx/message_dispatch.h"
#include "platform/afx/wnd.h"
#include "platform/qt/window_system.h"
#include "platform/resources/resources.h"
#include "platform/user/window_functions.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

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

struct MenuTable {
  std::unordered_map<HMENU, MenuRecord> menus;
  std::unordered_map<HMENU, std::unique_ptr<CMenu>> temporary;
  std::unordered_map<HWND, HMENU> windowMenus;
  std::uintptr_t next = 0x3E000;  // values are never reused
};

MenuTable& Table() {
  static MenuTable table;
  return table;
}

MenuRecord* Find(HMENU hMenu) {
  auto it = Table().menus.find(hMenu);
  return it == Table().menus.end() ? nullptr : &it->second;
}

HMENU NewMenu(HINSTANCE module) {
  auto& table = Table();
  HMENU h = reinterpret_cast<HMENU>(table.next);
  table.next += 0x10;
  table.menus[h].module = module;
  return h;
}

MenuItemRecord* Item(HMENU hMenu, UINT idOrPos, UINT flags) {
  MenuRecord* menu = Find(hMenu);
  if (menu == nullptr) return nullptr;
  if (flags & MF_BYPOSITION) return idOrPos < menu->items.size() ? &menu->items[idOrPos] : nullptr;
  for (auto& item : menu->items) {
    if (item.popup) {
      if (MenuItemRecord* inner = Item(item.popup, idOrPos, flags)) return inner;
    } else if (!(item.flags & MF_SEPARATOR) && item.id == idOrPos) {
      return &item;
    }
  }
  return nullptr;
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

std::vector<kp::qt::PopupItem> Describe(HMENU hMenu) {
  std::vector<kp::qt::PopupItem> items;
  MenuRecord* menu = Find(hMenu);
  if (menu == nullptr) return items;
  for (const auto& item : menu->items) {
    kp::qt::PopupItem shown;
    shown.separator = (item.flags & MF_SEPARATOR) != 0;
    shown.text = item.text;
    shown.id = item.id;
    shown.grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    shown.checked = (item.flags & MF_CHECKED) != 0;
    if (item.popup)
      shown.popup = Describe(item.popup);
    else if (!shown.separator)
      shown.statusTip = Prompt(menu->module, item.id);
    items.push_back(std::move(shown));
  }
  return items;
}

void InitPopups(HMENU hMenu, UINT index, HWND owner, bool windowMenu) {
  SendMessage(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu),
              MAKELPARAM(static_cast<WORD>(index), windowMenu));
  MenuRecord* menu = Find(hMenu);
  if (menu == nullptr) return;
  std::vector<HMENU> subs;
  for (const auto& item : menu->items) subs.push_back(item.popup);
  for (UINT i = 0; i < subs.size(); ++i)
    if (subs[i] && IsMenu(subs[i])) InitPopups(subs[i], i, owner, windowMenu);
}

}  // namespace

HMENU CreatePopupMenu() { return NewMenu(nullptr); }
BOOL IsMenu(HMENU hMenu) { return Find(hMenu) != nullptr; }

BOOL DestroyMenu(HMENU hMenu) {
  auto& table = Table();
  auto it = table.menus.find(hMenu);
  if (it == table.menus.end()) return FALSE;
  MenuRecord record = std::move(it->second);
  table.menus.erase(it);
  auto temp = table.temporary.find(hMenu);
  if (temp != table.temporary.end()) {
    temp->second->Detach();
    table.temporary.erase(temp);
  }
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
  if (menu == nullptr) return FALSE;
  MenuItemRecord item;
  item.flags = uFlags;
  if (uFlags & MF_POPUP) {
    item.popup = reinterpret_cast<HMENU>(uIDNewItem);
    if (!IsMenu(item.popup)) return FALSE;
  } else if (!(uFlags & MF_SEPARATOR)) {
    item.id = static_cast<UINT>(uIDNewItem);
  }
  if (!(uFlags & MF_SEPARATOR) && lpNewItem) item.text = lpNewItem;
  menu->items.push_back(std::move(item));
  return TRUE;
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

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*) {
  if (!IsMenu(hMenu) || !IsWindow(hWnd)) return FALSE;
  UINT chosen = kp::afx::ShowPopupMenu(hMenu, POINT{x, y}, hWnd, false);
  if (uFlags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  // As on Windows, the command is posted: it runs after the caller is done
  // with the menu.
  if (chosen != 0) PostMessage(hWnd, WM_COMMAND, chosen, 0);
  return TRUE;
}

namespace kp::afx {

std::size_t LiveMenuCount() { return Table().menus.size(); }

UINT ShowPopupMenu(HMENU hMenu, POINT screen, HWND owner, bool windowMenu) {
  InitPopups(hMenu, 0, owner, windowMenu);
  if (!IsMenu(hMenu) || !IsWindow(owner)) return 0;
  return kp::qt::TrackPopupMenu(Describe(hMenu), screen, owner);
}

HMENU GetWindowMenu(HWND hWnd, bool revert) {
  auto& menus = Table().windowMenus;
  auto it = menus.find(hWnd);
  if (revert) {
    if (it != menus.end()) {
      ::DestroyMenu(it->second);
      menus.erase(it);
    }
    return nullptr;
  }
  if (it != menus.end() && IsMenu(it->second)) return it->second;
  DWORD style = kp::qt::GetStyle(hWnd);
  if (!IsWindow(hWnd) || !(style & WS_SYSMENU)) return nullptr;
  HMENU menu = ::CreatePopupMenu();
  if (style & WS_MINIMIZEBOX) ::AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
  ::AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close");
  menus[hWnd] = menu;
  return menu;
}

void ForgetWindowMenu(HWND hWnd) { GetWindowMenu(hWnd, true); }

void ShowWindowMenu(HWND hWnd, POINT screen) {
  HMENU menu = GetWindowMenu(hWnd, false);
  if (menu == nullptr) return;
  UINT chosen = ShowPopupMenu(menu, screen, hWnd, true);
  if (chosen != 0)
    PostMessage(hWnd, WM_SYSCOMMAND, chosen, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
}

}  // namespace kp::afx

CMenu::~CMenu() {
  if (m_hMenu) ::DestroyMenu(Detach());
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (!IsMenu(hMenu)) return nullptr;
  auto& slot = Table().temporary[hMenu];
  if (!slot) {
    slot = std::make_unique<CMenu>();
    slot->m_hMenu = hMenu;
  }
  return slot.get();
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (m_hMenu != nullptr || !IsMenu(hMenu)) return FALSE;
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  m_hMenu = nullptr;
  return h;
}

BOOL CMenu::LoadMenu(UINT nIDResource, HINSTANCE hModule) {
  return Attach(::LoadMenu(hModule, MAKEINTRESOURCE(nIDResource)));
}

BOOL CMenu::DestroyMenu() { return ::DestroyMenu(Detach()); }
CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
  return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable);
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
}
