#include <gtest/gtest.h>

#include "platform/afx/ole_control.h"

namespace event_map_tests {

class CBaseCtrl : public COleControl {
 public:
  HRESULT GetClassID(LPCLSID) override { return E_NOTIMPL; }
  const AFX_EVENTMAP* Events() const { return GetEventMap(); }

 protected:
  DECLARE_EVENT_MAP()
};
BEGIN_EVENT_MAP(CBaseCtrl, COleControl)
  EVENT_CUSTOM("Ready", FireReady, VTS_NONE)
END_EVENT_MAP()

class CDerivedCtrl : public CBaseCtrl {
 protected:
  DECLARE_EVENT_MAP()
};
BEGIN_EVENT_MAP(CDerivedCtrl, CBaseCtrl)
  EVENT_CUSTOM("BmpChange", FireBmpChange, VTS_NONE)
  EVENT_CUSTOM("Progress", FireProgress, VTS_I4 VTS_BSTR)
  EVENT_CUSTOM_ID("Error", 100, FireError, VTS_I4)
END_EVENT_MAP()

TEST(EventMap, EventsAreNumberedByPositionUnlessGivenAnId) {
  CDerivedCtrl control;
  const AFX_EVENTMAP* map = control.Events();
  struct Row {
    const char* name;
    DISPID id;
  } rows[] = {{"BmpChange", 1}, {"bmpchange", 1}, {"Progress", 2}, {"Error", 100}, {"Ready", 0x00010001}};
  for (const Row& row : rows) EXPECT_EQ(AfxFindEventByName(map, row.name), row.id) << row.name;
  EXPECT_EQ(AfxFindEventByName(map, "NoSuchEvent"), DISPID_UNKNOWN);

  const AFX_EVENTMAP_ENTRY* progress = AfxFindEventById(map, 2);
  ASSERT_NE(progress, nullptr);
  EXPECT_STREQ(progress->lpszName, "Progress");
  EXPECT_STREQ(reinterpret_cast<const char*>(progress->pbParams), VTS_I4 VTS_BSTR);
  EXPECT_EQ(AfxFindEventById(map, 3), nullptr);
  EXPECT_EQ(AfxFindEventByName(CBaseCtrl().Events(), "Ready"), 1) << "a class's own first event is 1";
}

}  // namespace event_map_tests
