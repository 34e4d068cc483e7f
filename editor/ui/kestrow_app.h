#pragma once
// CKestrowApp: the program's application object. It initialises OLE and
// control containment, registers the automation object (a normal start) or
// offers it to the client that started the program, runs the main dialog
// modally, with the shapes file named on the command line if any, and ends
// the program when the dialog ends. A main dialog that could not be made
// (its drop controls cannot be created) is reported, and the program ends
// with a non-zero status.

#include "platform/afx/win_app.h"

class CKestrowApp : public CWinApp {
 public:
  BOOL InitInstance() override;
  int ExitInstance() override;

 protected:
  // Help has no viewer on this platform; the command is still routed.
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  int m_nExitCode = 0;
};
