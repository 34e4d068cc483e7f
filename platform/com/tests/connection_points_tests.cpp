#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_points.h"
#include "platform/com/tests/com_module_fixture.h"

namespace kp::com::testing {
namespace {
// A container's event sink: records each event it receives in a shared
// log, then answers as told.
class EventSink final : public ComObject<Implements<IDispatch, IID_IDispatch, DIID_DTestControlEvents>> {
 public:
  enum class Answer { Ok, Fail, Throw };
  EventSink(std::string name, std::vector<std::string>& log, Answer answer = Answer::Ok)
      : m_name(std::move(name)), m_log(log), m_answer(answer) {}

  HRESULT GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    m_log.push_back(m_name + ":" + std::to_string(id) + (flags == DISPATCH_METHOD ? "" : "?"));
    if (m_onEvent) m_onEvent();
    if (m_answer == Answer::Throw) throw std::runtime_error("sink failed");
    return m_answer == Answer::Fail ? E_FAIL : S_OK;
  }

  std::function<void()> m_onEvent;

 private:
  void OnFinalRelease() override {}  // a local of the test

  std::string m_name;
  std::vector<std::string>& m_log;
  Answer m_answer;
};

// A sink that answers nothing but IUnknown.
class DeafSink final : public ComObject<Implements<IUnknown>> {
  void OnFinalRelease() override {}  // a local of the test
};

class ConnectionPoints : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_EQ(RegisterTestModule(), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_TestControl, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, m_control.put_void()),
              S_OK);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(m_control.As(IID_IConnectionPointContainer, container), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(DIID_DTestControlEvents, m_point.put()), S_OK);
  }

  // Makes the control change its bitmap, which raises Changed.
  void ChangeBitmap() {
    LONG pixel = 7;
    VARIANT args[3];
    for (VARIANT& v : args) VariantInit(&v);
    args[2].vt = VT_BYREF | VT_I4;
    args[2].plVal = &pixel;
    args[1].vt = VT_I2;
    args[1].iVal = 1;
    args[0].vt = VT_I2;
    args[0].iVal = 1;
    DISPPARAMS params{args, nullptr, 3, 0};
    ASSERT_EQ(m_control->Invoke(DispSumPixels, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
  }

  ComPtr<IDispatch> m_control;
  ComPtr<IConnectionPoint> m_point;
  std::vector<std::string> m_log;
};

TEST_F(ConnectionPoints, EventsReachEverySinkInTheOrderTheyConnected) {
  EventSink first("first", m_log), second("second", m_log);
  DWORD a = 0, b = 0;
  ASSERT_EQ(m_point->Advise(&first, &a), S_OK);
  ASSERT_EQ(m_point->Advise(&second, &b), S_OK);
  EXPECT_NE(a, b);
  ChangeBitmap();
  EXPECT_EQ(m_log, (std::vector<std::string>{"first:1", "second:1"}));
  ASSERT_EQ(m_point->Unadvise(a), S_OK);
  ChangeBitmap();
  EXPECT_EQ(m_log.back(), "second:1");
  EXPECT_EQ(m_log.size(), 3u);
  ASSERT_EQ(m_point->Unadvise(b), S_OK);
  EXPECT_EQ(first.References(), 1u);
  EXPECT_EQ(second.References(), 1u);
}

TEST_F(ConnectionPoints, AFailingSinkDoesNotStopTheNext) {
  EventSink failing("failing", m_log, EventSink::Answer::Fail);
  EventSink throwing("throwing", m_log, EventSink::Answer::Throw);
  EventSink last("last", m_log);
  DWORD cookie = 0;
  ASSERT_EQ(m_point->Advise(&failing, &cookie), S_OK);
  ASSERT_EQ(m_point->Advise(&throwing, &cookie), S_OK);
  ASSERT_EQ(m_point->Advise(&last, &cookie), S_OK);
  ChangeBitmap();
  EXPECT_EQ(m_log, (std::vector<std::string>{"failing:1", "throwing:1", "last:1"}));
  // The control goes before its sinks do, and lets go of every one.
  m_point.Reset();
  m_control.Reset();
  EXPECT_EQ(failing.References(), 1u);
  EXPECT_EQ(throwing.References(), 1u);
  EXPECT_EQ(last.References(), 1u);
}

TEST_F(ConnectionPoints, RefusesSinksAndCookiesItDoesNotKnow) {
  DeafSink deaf;
  DWORD cookie = 123;
  EXPECT_EQ(m_point->Advise(&deaf, &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  EXPECT_EQ(m_point->Unadvise(4711), CONNECT_E_NOCONNECTION);
  IID iid{};
  ASSERT_EQ(m_point->GetConnectionInterface(&iid), S_OK);
  EXPECT_EQ(iid, DIID_DTestControlEvents);
  ComPtr<IConnectionPointContainer> owner;
  ASSERT_EQ(m_point->GetConnectionPointContainer(owner.put()), S_OK);
  ComPtr<IDispatch> ownerDispatch;
  ASSERT_EQ(owner.As(IID_IDispatch, ownerDispatch), S_OK);
  EXPECT_EQ(ownerDispatch.get(), m_control.get());
  ComPtr<IConnectionPoint> other;
  EXPECT_EQ(owner->FindConnectionPoint(DIID_DTestControl, other.put()), CONNECT_E_NOCONNECTION);
}

// The helper on its own, inside an object of the test's.
class Source final : public ComObject<Implements<IConnectionPointContainer, IID_IConnectionPointContainer>> {
 public:
  HRESULT EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override {
    ConnectionPoint* points[] = {&m_events};
    return FindConnectionPointIn(points, riid, ppCP);
  }
  ConnectionPoint m_events{this, DIID_DTestControlEvents};

 private:
  void OnFinalRelease() override {}  // a local of the test
};

TEST(ConnectionPointHelper, ReportsTheFirstFailureAfterCallingEverySink) {
  std::vector<std::string> log;
  Source source;
  EventSink ok("ok", log), failing("failing", log, EventSink::Answer::Fail), after("after", log);
  DWORD cookie = 0;
  source.m_events.Advise(&ok, &cookie);
  source.m_events.Advise(&failing, &cookie);
  source.m_events.Advise(&after, &cookie);
  EXPECT_EQ(source.m_events.ConnectionCount(), 3u);
  EXPECT_EQ(source.m_events.FireDispatch(5, nullptr), E_FAIL);
  EXPECT_EQ(log, (std::vector<std::string>{"ok:5", "failing:5", "after:5"}));
  // The point counts with its owner.
  ULONG before = source.References();
  source.m_events.AddRef();
  EXPECT_EQ(source.References(), before + 1);
  source.m_events.Release();
  source.m_events.DisconnectAll();
  EXPECT_EQ(ok.References(), 1u);
  EXPECT_EQ(source.m_events.FireDispatch(5, nullptr), S_OK);
}

TEST(ConnectionPointHelper, SkipsASinkDisconnectedByAnEarlierOne) {
  std::vector<std::string> log;
  Source source;
  EventSink first("first", log), second("second", log);
  DWORD firstCookie = 0, secondCookie = 0;
  source.m_events.Advise(&first, &firstCookie);
  source.m_events.Advise(&second, &secondCookie);
  first.m_onEvent = [&] { source.m_events.Unadvise(secondCookie); };
  EXPECT_EQ(source.m_events.FireDispatch(1, nullptr), S_OK);
  EXPECT_EQ(log, std::vector<std::string>{"first:1"});
  EXPECT_EQ(second.References(), 1u);
  source.m_events.DisconnectAll();
}
}  // namespace
}  // namespace kp::com::testing
