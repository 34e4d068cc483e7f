#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/event_firing.h"
#include "platform/afx/interface_part.h"
#include "platform/afx/ole_dispatch_exception.h"

namespace event_firing_tests {

constexpr IID DIID_TestEvents = {0x2A7B9E30, 0x1C44, 0x4E0B, {0x8F, 0x21, 0x6D, 0x3C, 0x10, 0x55, 0x90, 0x01}};
constexpr DISPID kBmpChange = 1;
constexpr DISPID kProgress = 2;

std::vector<std::string> g_log;

// A container's sink: its IDispatch answers the event interface.
class CSink : public CCmdTarget {
 public:
  CSink(std::string name, bool fail) : m_name(std::move(name)), m_bFail(fail) { EnableAutomation(); }

 protected:
  void OnBmpChange() {
    g_log.push_back(m_name + " BmpChange");
    if (m_bFail) AfxThrowOleDispatchException(1, "sink failed");
  }
  void OnProgress(LONG percent, LPCTSTR stage) {
    g_log.push_back(m_name + " " + std::to_string(percent) + " " + stage);
  }

  std::string m_name;
  bool m_bFail;
  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()
};
BEGIN_DISPATCH_MAP(CSink, CCmdTarget)
DISP_FUNCTION_ID(CSink, "BmpChange", kBmpChange, OnBmpChange, VT_EMPTY, VTS_NONE)
DISP_FUNCTION_ID(CSink, "Progress", kProgress, OnProgress, VT_EMPTY, VTS_I4 VTS_BSTR)
END_DISPATCH_MAP()
BEGIN_INTERFACE_MAP(CSink, CCmdTarget)
INTERFACE_PART(CSink, DIID_TestEvents, Dispatch)
END_INTERFACE_MAP()

// The object raising the events: a container of one connection point.
class CSource : public CCmdTarget {
 public:
  class XContainer : public CInterfacePart<IConnectionPointContainer> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override {
      kp::com::ConnectionPoint* points[] = {&static_cast<CSource*>(m_pOwner)->m_events};
      return kp::com::FindConnectionPointIn(points, riid, ppCP);
    }
  } m_xContainer{this};
  kp::com::ConnectionPoint m_events{&m_xContainer, DIID_TestEvents};
};

TEST(FireEvent, EverySinkGetsTheEventInTurnEvenAfterOneFails) {
  g_log.clear();
  CSource source;
  CSink failing("first", true);
  CSink second("second", false);
  DWORD cookies[2] = {};
  ASSERT_EQ(source.m_events.Advise(failing.GetIDispatch(FALSE), &cookies[0]), S_OK);
  ASSERT_EQ(source.m_events.Advise(second.GetIDispatch(FALSE), &cookies[1]), S_OK);

  EXPECT_EQ(AfxFireEvent(source.m_events, kBmpChange, EVENT_PARAM(VTS_NONE)), DISP_E_EXCEPTION)
      << "the first failure is reported once every sink has run";
  EXPECT_EQ(AfxFireEvent(source.m_events, kProgress, EVENT_PARAM(VTS_I4 VTS_BSTR), static_cast<LONG>(50), "loading"),
            S_OK);
  EXPECT_EQ(g_log,
            (std::vector<std::string>{"first BmpChange", "second BmpChange", "first 50 loading", "second 50 loading"}));

  ASSERT_EQ(source.m_events.Unadvise(cookies[0]), S_OK);
  g_log.clear();
  EXPECT_EQ(AfxFireEvent(source.m_events, kBmpChange, EVENT_PARAM(VTS_NONE)), S_OK);
  EXPECT_EQ(g_log, std::vector<std::string>{"second BmpChange"});
  source.m_events.DisconnectAll();
}

TEST(FireEvent, ASinkThatDoesNotAnswerTheEventInterfaceCannotConnect) {
  CSource source;
  class CPlain : public CCmdTarget {
   public:
    CPlain() { EnableAutomation(); }
  } plain;
  DWORD cookie = 0;
  EXPECT_EQ(source.m_events.Advise(plain.GetIDispatch(FALSE), &cookie), CONNECT_E_CANNOTCONNECT);
}

}  // namespace event_firing_tests
