#pragma once
// CKestrowApp: the program's application object. It initialises OLE and
// control containment, registers the automation object (a normal start) or
// offers it to the client that started the program, runs the main dialog
// modally and ends the program when the dialog ends.

#include "platform/afx/win_app.h"

class CKestrowApp : public CWinApp {
 public:
  BOOL InitInstance() override;

 protected:
  // Help has no viewer on this platform; the command is still routed.
  void OnHelp();
  DECLARE_MESSAGE_MAP()
};
