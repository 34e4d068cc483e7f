#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/cmd_target.h"
#include "platform/afx/tests/dispatch_test_support.h"

namespace event_sink_map_tests {

using namespace afx_test;

constexpr DISPID kBmpChange = 1;
constexpr DISPID kProgress = 2;

// A container like a dialog with two hosted controls.
class CBaseContainer : public CCmdTarget {
 public:
  std::vector<std::string> m_calls;
  BOOL m_bBaseHandles = TRUE;

 protected:
  BOOL OnSlotChangedInBase() {
    m_calls.push_back("base 1006");
    return m_bBaseHandles;
  }
  DECLARE_EVENTSINK_MAP()
};
BEGIN_EVENTSINK_MAP(CBaseContainer, CCmdTarget)
  ON_EVENT(CBaseContainer, 1006, kBmpChange, OnSlotChangedInBase, VTS_NONE)
END_EVENTSINK_MAP()

class CContainer : public CBaseContainer {
 public:
  BOOL m_bDerivedHandles = TRUE;

 protected:
  BOOL OnBmpChangeSlot1005() {
    m_calls.push_back("1005");
    return TRUE;
  }
  BOOL OnBmpChangeSlot1006() {
    m_calls.push_back("1006");
    return m_bDerivedHandles;
  }
  void OnProgress(LONG percent, LPCTSTR stage) { m_calls.push_back(std::to_string(percent) + " " + stage); }
  DECLARE_EVENTSINK_MAP()
};
BEGIN_EVENTSINK_MAP(CContainer, CBaseContainer)
  ON_EVENT(CContainer, 1005, kBmpChange, OnBmpChangeSlot1005, VTS_NONE)
  ON_EVENT(CContainer, 1006, kBmpChange, OnBmpChangeSlot1006, VTS_NONE)
  ON_EVENT(CContainer, 1005, kProgress, OnProgress, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

TEST(EventSinkMap, EventsAreRoutedByControlIdAndDispid) {
  CContainer container;
  Args none{};
  struct Row {
    UINT id;
    DISPID dispid;
    BOOL handled;
  } rows[] = {{1005, kBmpChange, TRUE}, {1006, kBmpChange, TRUE}, {1007, kBmpChange, FALSE}, {1006, 9, FALSE}};
  for (const Row& row : rows) EXPECT_EQ(container.OnEvent(row.id, row.dispid, none.get()), row.handled) << row.id;
  EXPECT_EQ(container.m_calls, (std::vector<std::string>{"1005", "1006"}));
}

TEST(EventSinkMap, AHandlerThatDeclinesPassesTheEventToTheBaseClassMap) {
  CContainer container;
  Args none{};
  container.m_bDerivedHandles = FALSE;
  EXPECT_TRUE(container.OnEvent(1006, kBmpChange, none.get()));
  container.m_bBaseHandles = FALSE;
  EXPECT_FALSE(container.OnEvent(1006, kBmpChange, none.get()));
  EXPECT_EQ(container.m_calls, (std::vector<std::string>{"1006", "base 1006", "1006", "base 1006"}));
}

TEST(EventSinkMap, ParametersAreUnpackedAndMismatchesReported) {
  CContainer container;
  Args progress{MakeI2(40), MakeBstr("scaling")};
  HRESULT hr = E_FAIL;
  EXPECT_TRUE(container.OnEvent(1005, kProgress, progress.get(), &hr));
  EXPECT_EQ(hr, S_OK);
  Args tooFew{MakeI4(40)};
  EXPECT_FALSE(container.OnEvent(1005, kProgress, tooFew.get(), &hr));
  EXPECT_EQ(hr, DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(container.m_calls, (std::vector<std::string>{"40 scaling"}));
}

}  // namespace event_sink_map_tests
