#pragma once
// Prompts: every message box and file dialog of the system goes through one
// responder. The default shows Qt dialogs; a test installs its own (see
// platform/testing/scripted_prompts.h) to record each prompt and answer it.
// It sits in the window system, below the framework, because the window
// system supplies the default.

#include <optional>
#include <string>
#include <vector>

#include "platform/base/handles.h"
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
  std::string initialFolder;     // where the dialog opens; empty: where it likes
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
// The Qt dialogs (qt_prompt_responder.cpp).
PromptResponder& DefaultPromptResponder();

}  // namespace kp::prompts
