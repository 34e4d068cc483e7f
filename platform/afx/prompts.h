#pragma once
// Message boxes of the framework, captioned with the application's name.
// Every message box and file dialog of the system goes through the window
// system's one prompt responder (platform/qt/prompt_responder.h), which a
// test replaces to record each prompt and answer it.

#include <string>

#include "platform/base/handles.h"
#include "platform/base/module.h"
#include "platform/base/win_user.h"
#include "platform/qt/prompt_responder.h"

namespace kp::afx {
// The application name of a module: its file name without folder and
// extension. For the program's own module, the program's name.
std::string GetAppName(HINSTANCE module);
// The program's application name (CWinApp's, else the executable's name).
std::string GetAppName();
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
}  // namespace kp::afx

// A message box captioned with the calling module's application name. The
// module is taken where the call is written, so a control module's boxes
// carry its own name.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0, HINSTANCE hModule = AfxGetInstanceHandle());
