#include <gtest/gtest.h>

#include "editor/ui/auto_proxy.h"
#include "editor/ui/automation_ids.h"
#include "editor/ui/kestrow_dlg.h"
#include "platform/afx/ole_lock.h"
#include "platform/afx/win_app.h"
#include "platform/com/dispatch.h"

namespace {

// The main dialog with its automation link open to the test.
class LinkedDlg : public CKestrowDlg {
 public:
  using CKestrowDlg::m_pAutoProxy;
};

// The application object the factory's objects look at.
class ProxyTest : public ::testing::Test {
 protected:
  CWinApp m_app;
};

CKestrowDlgAutoProxy* NewProxy() {
  return static_cast<CKestrowDlgAutoProxy*>(RUNTIME_CLASS(CKestrowDlgAutoProxy)->CreateObject());
}

TEST_F(ProxyTest, LinksWithTheMainDialogAndLocksTheProgramUntilItsLastReleaseUnlinks) {
  LinkedDlg dlg;
  m_app.m_pMainWnd = &dlg;
  const LONG locks = AfxOleGetLockCount();

  CKestrowDlgAutoProxy* proxy = NewProxy();
  ASSERT_NE(proxy, nullptr);
  EXPECT_EQ(proxy->m_pDialog, &dlg);
  EXPECT_EQ(dlg.m_pAutoProxy, proxy);
  EXPECT_EQ(AfxOleGetLockCount(), locks + 1);

  proxy->ExternalAddRef();
  EXPECT_EQ(proxy->ExternalRelease(), 1u);
  EXPECT_EQ(dlg.m_pAutoProxy, proxy) << "a reference is still held";
  proxy->ExternalRelease();
  EXPECT_EQ(dlg.m_pAutoProxy, nullptr);
  EXPECT_EQ(AfxOleGetLockCount(), locks);
  m_app.m_pMainWnd = nullptr;
}

TEST_F(ProxyTest, TheDialogGoingFirstClearsTheProxysPointer) {
  CKestrowDlgAutoProxy* proxy = nullptr;
  {
    LinkedDlg dlg;
    m_app.m_pMainWnd = &dlg;
    proxy = NewProxy();
    ASSERT_EQ(proxy->m_pDialog, &dlg);
    m_app.m_pMainWnd = nullptr;
  }
  EXPECT_EQ(proxy->m_pDialog, nullptr);
  proxy->ExternalRelease();
}

TEST_F(ProxyTest, AnswersItsDispatchInterfaceAndHasNoMembers) {
  CKestrowDlgAutoProxy* proxy = NewProxy();
  EXPECT_EQ(proxy->m_pDialog, nullptr) << "no main window, nothing to link";
  IDispatch* byIid = nullptr;
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(proxy->ExternalQueryInterface(&IID_IKestrow, reinterpret_cast<void**>(&byIid)), S_OK);
  ASSERT_EQ(proxy->ExternalQueryInterface(&IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  EXPECT_EQ(byIid, dispatch);
  LPOLESTR names[] = {const_cast<LPOLESTR>("Visible")};
  DISPID id = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
  byIid->Release();
  dispatch->Release();
  proxy->ExternalRelease();
}

}  // namespace
