#include "platform/testing/scripted_prompts.h"

#include <gtest/gtest.h>

namespace kp::testing {

ScriptedPrompts::ScriptedPrompts() : m_previous(kp::prompts::InstallPromptResponder(this)) {}

ScriptedPrompts::~ScriptedPrompts() { kp::prompts::InstallPromptResponder(m_previous); }

ScriptedPrompts& ScriptedPrompts::AnswerMessageBox(int result) {
  m_script.push_back(Answer{true, result, std::nullopt});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::AnswerFileDialog(std::string path) {
  m_script.push_back(Answer{false, 0, std::move(path)});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::CancelFileDialog() {
  m_script.push_back(Answer{false, 0, std::nullopt});
  return *this;
}

int ScriptedPrompts::ShowMessageBox(const kp::prompts::MessageBoxRequest& request) {
  m_messageBoxes.push_back(request);
  if (m_script.empty() || !m_script.front().messageBox) {
    ADD_FAILURE() << "Unexpected message box \"" << request.text << "\" (caption \"" << request.caption << "\")";
    UINT buttons = request.type & MB_TYPEMASK;
    return buttons == MB_YESNO ? IDNO : buttons == MB_OK ? IDOK : IDCANCEL;
  }
  int result = m_script.front().result;
  m_script.pop_front();
  return result;
}

std::optional<std::string> ScriptedPrompts::ShowFileDialog(const kp::prompts::FileDialogRequest& request) {
  m_fileDialogs.push_back(request);
  if (m_script.empty() || m_script.front().messageBox) {
    ADD_FAILURE() << "Unexpected file dialog \"" << request.title << "\"";
    return std::nullopt;
  }
  std::optional<std::string> path = m_script.front().path;
  m_script.pop_front();
  return path;
}

}  // namespace kp::testing
