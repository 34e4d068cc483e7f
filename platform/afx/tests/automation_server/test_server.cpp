// A program built like the editor: an application object that initialises
// OLE, registers its automation object (started by a client) or writes its
// registry entries (started with -Register), and runs a modal main dialog.
// Its automation object locks the program while it lives. It logs, one
// line at a time, to the file named by KP_TEST_SERVER_LOG:
//   created <pid> | destroyed <pid> | dialog ended <pid>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/afx/dialog.h"
#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_init.h"
#include "platform/afx/ole_lock.h"
#include "platform/afx/tests/automation_server/automation_server_ids.h"
#include "platform/afx/win_app.h"
#include "platform/resources/resource_table.h"

namespace {

void Log(const std::string& what) {
  const char* path = std::getenv("KP_TEST_SERVER_LOG");
  if (path == nullptr) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s %d\n", what.c_str(), static_cast<int>(::getpid()));
    std::fclose(f);
  }
}

constexpr UINT IDD_MAIN = 100;
// clang-format off
const kp::resources::DialogTemplate kMain = {
    "Test Server", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 120, 60, "MS Sans Serif", 8,
    {{kp::resources::DialogItem::Class::Button, IDOK, "OK", 35, 20, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP}},
};
// clang-format on
const kp::resources::ResourceTable kResources = [] {
  kp::resources::ResourceTable table;
  table.dialogs = {{IDD_MAIN, &kMain}};
  return table;
}();

}  // namespace

KP_MODULE_RESOURCES(kResources)

class CTestProxy : public CCmdTarget {
  DECLARE_DYNCREATE(CTestProxy)
 public:
  CTestProxy() {
    EnableAutomation();
    AfxOleLockApp();
    Log("created");
  }
  ~CTestProxy() override {
    Log("destroyed");
    AfxOleUnlockApp();
  }

 protected:
  LONG GetProcessId() { return static_cast<LONG>(::getpid()); }
  DECLARE_DISPATCH_MAP()
};

IMPLEMENT_DYNCREATE(CTestProxy, CCmdTarget)
BEGIN_DISPATCH_MAP(CTestProxy, CCmdTarget)
DISP_FUNCTION(CTestProxy, "GetProcessId", GetProcessId, VT_I4, VTS_NONE)
END_DISPATCH_MAP()

COleObjectFactory g_factory(automation_server::CLSID_TestServer, RUNTIME_CLASS(CTestProxy), TRUE,
                            automation_server::kProgId);

class CTestServerApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    if (!AfxOleInit()) return FALSE;
    if (std::strstr(m_lpCmdLine, "-Register") != nullptr) {
      COleObjectFactory::UpdateRegistryAll(TRUE);
      return FALSE;
    }
    if (RunEmbedded() || RunAutomated()) {
      AfxOleSetUserCtrl(FALSE);
      COleObjectFactory::RegisterAll();
    } else {
      COleObjectFactory::UpdateRegistryAll(TRUE);
    }
    CDialog dlg(IDD_MAIN);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    Log("dialog ended");
    return FALSE;
  }
};

CTestServerApp theApp;
