#include <gtest/gtest.h>

#include <set>

#include "editor/ui/editor_ids.h"
#include "editor/ui/kestrow_dlg.h"
#include "interfaces/tavlet_ids.h"

namespace {

// Opens the dialog's protected tables to the test.
class MapsOfKestrowDlg : public CKestrowDlg {
 public:
  using CKestrowDlg::GetThisEventSinkMap;
  using CKestrowDlg::GetThisMessageMap;
};

TEST(KestrowDlgMaps, EveryCommandOfTheTableHasItsEntry) {
  CKestrowDlg dlg;
  // clang-format off
  const struct {
    UINT message;
    UINT code;
    UINT id;
  } entries[] = {
      {WM_COMMAND, BN_CLICKED, 1012},    {WM_COMMAND, BN_CLICKED, 1010},     {WM_COMMAND, BN_CLICKED, 1009},
      {WM_COMMAND, BN_CLICKED, 1061},    {WM_COMMAND, BN_CLICKED, 1052},     {WM_COMMAND, CBN_SELCHANGE, 1008},
      {WM_COMMAND, 0, ID_APP_ABOUT},     {WM_SYSCOMMAND, 0, 0},              {WM_CLOSE, 0, 0},
      {WM_PAINT, 0, 0},                  {WM_QUERYDRAGICON, 0, 0},           {WM_DESTROY, 0, 0},
      {WM_COMMAND, 0, IDOK},             {WM_COMMAND, 0, IDCANCEL},
  };
  // clang-format on
  for (const auto& e : entries)
    EXPECT_NE(dlg.FindMessageEntry(e.message, e.code, e.id), nullptr)
        << "message " << e.message << " code " << e.code << " id " << e.id;
  EXPECT_EQ(dlg.FindMessageEntry(WM_COMMAND, BN_CLICKED, 1046), nullptr) << "the check box has no handler";
}

// Messages from WM_USER up to WM_APP belong to the window classes (a
// dialog's WM_USER + 1 is DM_SETDEFID), so the dialog's own messages are
// taken from the application's range, WM_APP to 0xBFFF.
TEST(KestrowDlgMaps, TheDialogsOwnMessagesAreInTheApplicationsRange) {
  const AFX_MSGMAP* map = MapsOfKestrowDlg::GetThisMessageMap();
  int own = 0;
  for (std::size_t i = 0; i < map->nEntries; ++i) {
    const UINT message = map->lpEntries[i].nMessage;
    if (message < WM_USER || message >= 0xC000) continue;
    ++own;
    EXPECT_GE(message, WM_APP) << "message " << message << " is a window class's";
  }
  EXPECT_GE(own, 1) << "the start-up problem is one of the dialog's own messages";
}

TEST(KestrowDlgMaps, TheEventSinkMapHasExactlyThirtyBmpChangeEntriesOneForEachTextureSlot) {
  const AFX_EVENTSINKMAP* map = MapsOfKestrowDlg::GetThisEventSinkMap();
  ASSERT_EQ(map->nEntries, 30u);
  std::set<UINT> ids;
  for (std::size_t i = 0; i < map->nEntries; ++i) {
    const AFX_EVENTSINKMAP_ENTRY& entry = map->lpEntries[i];
    EXPECT_EQ(entry.dispid, 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(entry.pbParams), "") << "BmpChange has no parameters";
    EXPECT_EQ(entry.nCtrlID, i < 2 ? 1005 + i : 1016 + i) << "entry " << i;
    ids.insert(entry.nCtrlID);
  }
  EXPECT_EQ(ids.size(), 30u);
  EXPECT_EQ(ids.count(1007), 0u);
  EXPECT_EQ(ids.count(1011), 0u);
}

TEST(KestrowDlgMaps, TheDialogIsKnownByItsRunTimeClassAndTheWrapperIsCreatableByName) {
  EXPECT_NE(CRuntimeClass::FromName("CKestrowDlg"), nullptr);
  CObject* wrapper = CRuntimeClass::CreateObject("CTavlet");
  ASSERT_NE(wrapper, nullptr);
  EXPECT_TRUE(wrapper->IsKindOf(RUNTIME_CLASS(CTavlet)));
  delete wrapper;
}

}  // namespace
