#include "platform/afx/prompts.h"

#include "platform/afx/win_app.h"
#include "platform/user/window_functions.h"

namespace kp::afx {

std::string GetAppName(HINSTANCE module) {
  CWinApp* app = AfxGetApp();
  if (app && app->m_hInstance == module && app->m_pszAppName) return app->m_pszAppName;
  std::string name = GetModuleBaseName(module);
  return name.empty() ? GetAppName() : name;
}

std::string GetAppName() {
  if (CWinApp* app = AfxGetApp(); app && app->m_pszAppName) return app->m_pszAppName;
  return ExecutableBaseName();
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  prompts::MessageBoxRequest request;
  request.text = text ? text : "";
  request.caption = caption ? caption : GetAppName();
  request.type = type;
  request.owner = IsWindow(owner) ? owner : nullptr;
  return prompts::CurrentPromptResponder().ShowMessageBox(request);
}

}  // namespace kp::afx

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT, HINSTANCE hModule) {
  return kp::afx::ShowMessageBox(nullptr, lpszText, kp::afx::GetAppName(hModule).c_str(), nType);
}
