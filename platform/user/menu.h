#pragma once
// Menus of the window system: HMENU handles name menu records (items with
// text, command id and state, or a popup), loaded from a module's menu
// resource or built by AppendMenu. Windows show them (TrackPopupMenu and the
// window menu, in window_functions.h).

#include <cstddef>
#include <vector>

#include "platform/base/handles.h"
#include "platform/base/win_user.h"
#include "platform/qt/window_system.h"

HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);
HMENU LoadMenu(HINSTANCE hInstance, LPCTSTR lpMenuName);
BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
// The item is named by its position (MF_BYPOSITION) or by its command id,
// which is looked for in the submenus too. InsertMenu puts the new item
// before it (at position -1 or one past the last: at the end); DeleteMenu
// removes it and destroys its submenu; ModifyMenu replaces it, keeping its
// place. FALSE when no such item is there or the new one is not valid.
BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL ModifyMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
// The item's text, '&' included; the length copied (at most nMaxCount - 1
// characters and a terminator), the length itself with a null buffer, and
// 0 for no such item.
int GetMenuString(HMENU hMenu, UINT uIDItem, LPTSTR lpString, int nMaxCount, UINT uFlag);
int GetMenuItemCount(HMENU hMenu);
UINT GetMenuItemID(HMENU hMenu, int nPos);  // -1 for a popup, 0 for a separator
HMENU GetSubMenu(HMENU hMenu, int nPos);
UINT EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);  // previous state or -1

namespace kp::user {
// The number of live menus (for leak tests).
std::size_t LiveMenuCount();
// The menu's items as the window system shows them, with each command's
// prompt from the string table of the module that loaded it. Empty for no
// menu.
std::vector<qt::PopupItem> DescribeMenu(HMENU hMenu);
}  // namespace kp::user
