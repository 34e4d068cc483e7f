// Changing menus in place, the way a program keeps a list in a menu up to
// date: items inserted, deleted and replaced by position or by command.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/user/menu.h"

namespace {

// A menu as text: "Text:id" per item, "-" for a separator, "Text[...]" for
// a popup with its items.
std::string Describe(HMENU menu) {
  std::string text;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (i > 0) text += ' ';
    char name[64];
    GetMenuString(menu, static_cast<UINT>(i), name, sizeof name, MF_BYPOSITION);
    if (HMENU popup = GetSubMenu(menu, i)) {
      text += std::string(name) + "[" + Describe(popup) + "]";
    } else if (GetMenuItemID(menu, i) == 0 && name[0] == '\0') {
      text += "-";
    } else {
      text += std::string(name) + ":" + std::to_string(GetMenuItemID(menu, i));
    }
  }
  return text;
}

TEST(Menu, ItemsAreInsertedDeletedAndReplacedByPositionOrCommand) {
  const struct {
    const char* what;
    std::function<BOOL(HMENU)> change;
    BOOL result;
    const char* after;
  } rows[] = {
      {"insert first", [](HMENU m) { return InsertMenu(m, 0, MF_BYPOSITION, 9, "X"); }, TRUE, "X:9 A:1 - B:2 P[C:3]"},
      {"insert at -1 appends", [](HMENU m) { return InsertMenu(m, static_cast<UINT>(-1), MF_BYPOSITION, 9, "X"); },
       TRUE, "A:1 - B:2 P[C:3] X:9"},
      {"insert past the end appends",
       [](HMENU m) { return InsertMenu(m, 7, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr); }, TRUE, "A:1 - B:2 P[C:3] -"},
      {"insert before a command in a submenu", [](HMENU m) { return InsertMenu(m, 3, MF_BYCOMMAND, 9, "X"); }, TRUE,
       "A:1 - B:2 P[X:9 C:3]"},
      {"insert before a missing command", [](HMENU m) { return InsertMenu(m, 77, MF_BYCOMMAND, 9, "X"); }, FALSE,
       "A:1 - B:2 P[C:3]"},
      {"delete by command", [](HMENU m) { return DeleteMenu(m, 2, MF_BYCOMMAND); }, TRUE, "A:1 - P[C:3]"},
      {"delete by position", [](HMENU m) { return DeleteMenu(m, 1, MF_BYPOSITION); }, TRUE, "A:1 B:2 P[C:3]"},
      {"delete a missing position", [](HMENU m) { return DeleteMenu(m, 4, MF_BYPOSITION); }, FALSE, "A:1 - B:2 P[C:3]"},
      {"modify keeps the place", [](HMENU m) { return ModifyMenu(m, 1, MF_BYCOMMAND, 5, "A2"); }, TRUE,
       "A2:5 - B:2 P[C:3]"},
      {"modify into a separator", [](HMENU m) { return ModifyMenu(m, 2, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr); },
       TRUE, "A:1 - - P[C:3]"},
      {"modify with a popup that is no menu",
       [](HMENU m) { return ModifyMenu(m, 0, MF_BYPOSITION | MF_POPUP, 0, "Q"); }, FALSE, "A:1 - B:2 P[C:3]"},
  };
  for (const auto& row : rows) {
    HMENU menu = CreatePopupMenu();
    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, 3, "C");
    AppendMenu(menu, MF_STRING, 1, "A");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING, 2, "B");
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "P");
    EXPECT_EQ(row.change(menu), row.result) << row.what;
    EXPECT_EQ(Describe(menu), row.after) << row.what;
    DestroyMenu(menu);
    EXPECT_FALSE(IsMenu(popup)) << row.what;
  }
}

TEST(Menu, DeletingOrReplacingAPopupItemDestroysItsMenu) {
  const std::size_t live = kp::user::LiveMenuCount();
  HMENU menu = CreatePopupMenu();
  for (auto remove : {+[](HMENU m) { return DeleteMenu(m, 0, MF_BYPOSITION); },
                      +[](HMENU m) { return ModifyMenu(m, 0, MF_BYPOSITION, 4, "D"); }}) {
    HMENU popup = CreatePopupMenu();
    ASSERT_TRUE(InsertMenu(menu, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "P"));
    EXPECT_TRUE(remove(menu));
    EXPECT_FALSE(IsMenu(popup));
  }
  char text[8] = {};
  EXPECT_EQ(GetMenuString(menu, 4, text, sizeof text, MF_BYCOMMAND), 1);
  EXPECT_STREQ(text, "D");
  DestroyMenu(menu);
  EXPECT_EQ(kp::user::LiveMenuCount(), live);
}

TEST(Menu, GetMenuStringCopiesWhatFitsAndSaysHowLongTheTextIs) {
  HMENU menu = CreatePopupMenu();
  AppendMenu(menu, MF_STRING, 7, "&Recent");
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetMenuString(menu, 7, nullptr, 0, MF_BYCOMMAND), 7);
  EXPECT_EQ(GetMenuString(menu, 7, small, 4, MF_BYCOMMAND), 3);
  EXPECT_STREQ(small, "&Re");
  EXPECT_EQ(GetMenuString(menu, 8, small, 4, MF_BYCOMMAND), 0);
  DestroyMenu(menu);
}

}  // namespace
