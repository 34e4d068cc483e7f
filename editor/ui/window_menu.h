#pragma once
// The editor's own items of its window menu (right-click on the dialog's
// background, or Alt+Space), in one place: each is a system command id (the
// low four bits are the window system's own, so ids step by 0x10), the
// string that names it, the handler it runs and, for an item that is not
// always available, when it is enabled. The items follow the platform's
// own (Minimize, Close). Their enabled state is worked out anew each time
// the menu opens, since what it depends on (the chosen file and what Kestrow
// knows of it) changes while the editor runs. The handlers and the table
// are members of CKestrowDlg; window_menu.cpp holds the table.
//
// A row can also stand for a section whose items change while the editor
// runs: the recent shapes files, listed anew each time the menu opens, each
// with an id of its own from the row's id up, followed by a separator when
// there are any.

#include "platform/base/win_types.h"

class CKestrowDlg;

enum class WindowMenuSection {
  Item,         // one item, or a separator
  RecentFiles,  // the recent shapes files, ids from the row's id up by 0x10
};

struct WindowMenuItem {
  UINT id;      // the system command id; 0 for a separator
  UINT textId;  // the string resource that names it
  void (CKestrowDlg::*command)();
  // Null: always enabled.
  bool (CKestrowDlg::*enabled)() const;
  WindowMenuSection section = WindowMenuSection::Item;
};
