#pragma once
// Prompts: every message box and file dialog of the system goes through one
// responder. The default shows Qt dialogs; a test installs its own (see
// platform/testing/scripted_prompts.h) to record each prompt and answer it.

#include <optional>
#include <string>
#include <vector>

#include "platform/base/handles.h"
#include "platform/base/module.h"
#include "platform/base/win_user.h"

namespace kp::prompts {

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  UINT type = MB_OK;  // MB_OK, MB_YESNO... and the icon bits
  HWND owner = nullptr;
};

// One filter of a file dialog: its description and its patterns, each
// pattern separated by ';' as in the framework's form ("*.bmp;*.dib").
struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;
};

struct FileDialogRequest {
  bool open = true;  // the open kind (button "Open"), or the save kind
  std::string title;
  std::string filter;  // as the program gave it, "Shapes Files (*.shp2)|*.shp2||"
  std::vector<FileFilter> filters;
  std::string initialName;
  std::string defaultExtension;  // without the dot
  DWORD flags = 0;               // OFN_ flags
  HWND owner = nullptr;
};

// Answers prompts. A file dialog answer is the name the user chose, as the
// dialog returns it, or nothing when the user cancelled; the framework then
// adds the default extension and checks existence and overwriting.
class PromptResponder {
 public:
  virtual ~PromptResponder();
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
  virtual std::optional<std::string> ShowFileDialog(const FileDialogRequest& request) = 0;
};

// Installs a responder (null: back to the default) and returns the one it replaces.
PromptResponder* InstallPromptResponder(PromptResponder* responder);
PromptResponder& CurrentPromptResponder();
// The Qt dialogs (platform/qt).
PromptResponder& DefaultPromptResponder();

}  // namespace kp::prompts

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
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0,
                  HINSTANCE hModule = AfxGetInstanceHandle());
