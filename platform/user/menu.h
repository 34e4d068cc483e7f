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
