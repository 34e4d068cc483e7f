#include <gtest/gtest.h>

#include <vector>

#include "platform/afx/cmd_target.h"

// Named, not anonymous: run-time classes are registered globally by name.
namespace cmd_target_tests {

class CCounterBase : public CCmdTarget {
  DECLARE_DYNCREATE(CCounterBase)
 public:
  std::vector<UINT> m_calls;

 protected:
  void OnFirst() { m_calls.push_back(1); }
  void OnShared() { m_calls.push_back(10); }
  void OnUpdateFirst(CCmdUI*) { m_calls.push_back(100); }
  DECLARE_MESSAGE_MAP()
};

class CCounterDerived : public CCounterBase {
  DECLARE_DYNCREATE(CCounterDerived)
 protected:
  void OnShared() { m_calls.push_back(20); }
  void OnRange(UINT id) { m_calls.push_back(id); }
  LRESULT OnCustom(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w) + l; }
  DECLARE_MESSAGE_MAP()
};

class CPlain : public CCmdTarget {
  DECLARE_DYNAMIC(CPlain)
};

IMPLEMENT_DYNCREATE(CCounterBase, CCmdTarget)
IMPLEMENT_DYNCREATE(CCounterDerived, CCounterBase)
IMPLEMENT_DYNAMIC(CPlain, CCmdTarget)

BEGIN_MESSAGE_MAP(CCounterBase, CCmdTarget)
  ON_COMMAND(500, OnFirst)
  ON_COMMAND(501, OnShared)
  ON_UPDATE_COMMAND_UI(500, OnUpdateFirst)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CCounterDerived, CCounterBase)
  ON_COMMAND(501, OnShared)
  ON_COMMAND_RANGE(600, 609, OnRange)
  ON_MESSAGE(WM_USER + 5, OnCustom)
END_MESSAGE_MAP()

TEST(RuntimeClass, CreatesRegisteredClassesByName) {
  CObject* made = CRuntimeClass::CreateObject("CCounterDerived");
  ASSERT_NE(made, nullptr);
  EXPECT_STREQ(made->GetRuntimeClass()->m_lpszClassName, "CCounterDerived");
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCounterBase)));
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(made->IsKindOf(RUNTIME_CLASS(CPlain)));
  delete made;
}

TEST(RuntimeClass, DynamicOnlyAndUnknownNamesMakeNothing) {
  EXPECT_EQ(CRuntimeClass::FromName("CPlain"), RUNTIME_CLASS(CPlain));
  EXPECT_EQ(CRuntimeClass::CreateObject("CPlain"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
  EXPECT_EQ(CRuntimeClass::CreateObject(nullptr), nullptr);
}

TEST(MessageMap, DerivedEntriesWinAndBaseEntriesAreInherited) {
  CCounterDerived target;
  EXPECT_TRUE(target.OnCmdMsg(500, CN_COMMAND, nullptr));
  EXPECT_TRUE(target.OnCmdMsg(501, CN_COMMAND, nullptr));
  EXPECT_TRUE(target.OnCmdMsg(500, CN_UPDATE_COMMAND_UI, nullptr));
  EXPECT_FALSE(target.OnCmdMsg(501, CN_UPDATE_COMMAND_UI, nullptr));
  EXPECT_FALSE(target.OnCmdMsg(502, CN_COMMAND, nullptr));
  EXPECT_EQ(target.m_calls, (std::vector<UINT>{1, 20, 100}));
}

TEST(MessageMap, RangesPassTheIdAndStopAtTheirBounds) {
  CCounterDerived target;
  struct Row {
    UINT id;
    BOOL handled;
  } rows[] = {{599, FALSE}, {600, TRUE}, {605, TRUE}, {609, TRUE}, {610, FALSE}};
  for (const Row& row : rows) EXPECT_EQ(target.OnCmdMsg(row.id, CN_COMMAND, nullptr), row.handled) << row.id;
  EXPECT_EQ(target.m_calls, (std::vector<UINT>{600, 605, 609}));
}

TEST(MessageMap, WindowMessagesMatchOnTheMessageAlone) {
  CCounterDerived target;
  const AFX_MSGMAP_ENTRY* entry = target.FindMessageEntry(WM_USER + 5, 0, 0);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->pfn(&target, 40, 2, nullptr), 42);
  EXPECT_EQ(target.FindMessageEntry(WM_USER + 6, 0, 0), nullptr);
  CCounterBase base;
  EXPECT_EQ(base.FindMessageEntry(WM_USER + 5, 0, 0), nullptr);
}

}  // namespace cmd_target_tests
