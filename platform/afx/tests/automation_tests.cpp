#include <gtest/gtest.h>

#include "platform/afx/cmd_target.h"

namespace automation_tests {

// The dispatch interface id an automation object announces for itself.
constexpr IID IID_IProxyDispatch = {0x6C1E03A1, 0x22B4, 0x4F3A, {0x9D, 0x11, 0x3A, 0x5E, 0x71, 0x02, 0xC4, 0x88}};
constexpr IID IID_INotAnswered = {0x6C1E03A2, 0x22B4, 0x4F3A, {0x9D, 0x11, 0x3A, 0x5E, 0x71, 0x02, 0xC4, 0x88}};

int g_destroyed = 0;

// An automation object with no methods, like a program's application proxy.
class CProxy : public CCmdTarget {
  DECLARE_DYNCREATE(CProxy)
 public:
  CProxy() { EnableAutomation(); }
  ~CProxy() override { ++g_destroyed; }
  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()
};
IMPLEMENT_DYNCREATE(CProxy, CCmdTarget)
BEGIN_DISPATCH_MAP(CProxy, CCmdTarget)
END_DISPATCH_MAP()
BEGIN_INTERFACE_MAP(CProxy, CCmdTarget)
INTERFACE_PART(CProxy, IID_IProxyDispatch, Dispatch)
END_INTERFACE_MAP()

// The same map on an object that never enables automation.
class CSilent : public CCmdTarget {
 public:
  DECLARE_INTERFACE_MAP()
};
BEGIN_INTERFACE_MAP(CSilent, CCmdTarget)
INTERFACE_PART(CSilent, IID_IProxyDispatch, Dispatch)
END_INTERFACE_MAP()

TEST(Automation, TheDispatchInterfaceIdIsAnsweredWithTheObjectsIDispatch) {
  CProxy proxy;
  IDispatch* dispatch = proxy.GetIDispatch(FALSE);
  ASSERT_NE(dispatch, nullptr);
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_IProxyDispatch}) {
    void* p = nullptr;
    ASSERT_EQ(dispatch->QueryInterface(*iid, &p), S_OK);
    EXPECT_EQ(p, dispatch);
    static_cast<IUnknown*>(p)->Release();
  }
  void* p = &proxy;
  EXPECT_EQ(dispatch->QueryInterface(IID_INotAnswered, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(CCmdTarget::FromIDispatch(dispatch), &proxy);
}

TEST(Automation, WithoutEnableAutomationThereIsNoIDispatch) {
  CSilent silent;
  EXPECT_EQ(silent.GetIDispatch(TRUE), nullptr);
  void* p = nullptr;
  EXPECT_EQ(silent.ExternalQueryInterface(&IID_IDispatch, &p), E_NOINTERFACE);
  EXPECT_EQ(silent.ExternalQueryInterface(&IID_IProxyDispatch, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
}

TEST(Automation, TheLastReleaseDeletesTheObjectOnce) {
  g_destroyed = 0;
  auto* proxy = static_cast<CProxy*>(RUNTIME_CLASS(CProxy)->CreateObject());
  IDispatch* dispatch = proxy->GetIDispatch(TRUE);  // 2 references: the creator's and this
  EXPECT_EQ(dispatch->AddRef(), 3u);
  EXPECT_EQ(dispatch->Release(), 2u);
  EXPECT_EQ(proxy->InternalRelease(), 1u);  // the creator lets go
  EXPECT_EQ(g_destroyed, 0);
  EXPECT_EQ(dispatch->Release(), 0u);
  EXPECT_EQ(g_destroyed, 1);
}

TEST(Automation, AnObjectReleasedDuringItsOwnTeardownIsNotDeletedTwice) {
  struct CSelfReleasing : CCmdTarget {
    ~CSelfReleasing() override {
      // What a container does when it lets go of an object that is going.
      ExternalAddRef();
      ExternalRelease();
      ++g_destroyed;
    }
  };
  g_destroyed = 0;
  auto* object = new CSelfReleasing;
  EXPECT_EQ(object->ExternalRelease(), 0u);
  EXPECT_EQ(g_destroyed, 1);
}

}  // namespace automation_tests
