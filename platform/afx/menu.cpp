#include "platform/afx/menu.h"

#include <memory>
#include <unordered_map>

#include "platform/afx/wnd.h"
#include "platform/user/window_functions.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {
// The temporary objects of FromHandle. They never own their menus: the
// window system destroys a menu without telling the framework, so an object
// whose menu is gone lets go of it and is dropped at the next FromHandle.
class TemporaryMenus {
 public:
  ~TemporaryMenus() {
    for (auto& [handle, menu] : m_menus) menu->Detach();
  }

  CMenu* Find(HMENU hMenu) {
    std::erase_if(m_menus, [](auto& entry) {
      if (IsMenu(entry.first)) return false;
      entry.second->Detach();
      return true;
    });
    auto& slot = m_menus[hMenu];
    if (!slot) {
      slot = std::make_unique<CMenu>();
      slot->m_hMenu = hMenu;
    }
    return slot.get();
  }

 private:
  std::unordered_map<HMENU, std::unique_ptr<CMenu>> m_menus;
};

TemporaryMenus& Temporaries() {
  static TemporaryMenus temporaries;
  return temporaries;
}
}  // namespace

CMenu::~CMenu() {
  if (m_hMenu) ::DestroyMenu(Detach());
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (!IsMenu(hMenu)) return nullptr;
  return Temporaries().Find(hMenu);
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

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

CString CMenu::GetMenuString(UINT nIDItem, UINT nFlags) const {
  const int length = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::GetMenuString(m_hMenu, nIDItem, text.data(), length + 1, nFlags);
  return CString(text.c_str());
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
  return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable);
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
}
