#pragma once
// COleControlModule: the application object of a control module. A module
// defines one, as a static object; it never becomes the process's
// application object (the program's CWinApp stays that).
//
//   class CMyApp : public COleControlModule {
//    public:
//     BOOL InitInstance() override;
//     int ExitInstance() override;
//   };
//   CMyApp theApp;
//
// InitInstance runs when the module is first asked for a class object or
// to register, ExitInstance when the process ends.

#include "platform/afx/win_app.h"

class COleControlModule : public CWinApp {
  DECLARE_DYNAMIC(COleControlModule)
 public:
  // The module defaults to the one whose static object this is.
  explicit COleControlModule(HINSTANCE hModule = AfxGetInstanceHandle());
  ~COleControlModule() override;

  BOOL InitInstance() override;
  int ExitInstance() override;
};

namespace kp::afx {
// Runs the InitInstance of the module's application object, once.
void StartControlModule(HINSTANCE hModule);
}  // namespace kp::afx
