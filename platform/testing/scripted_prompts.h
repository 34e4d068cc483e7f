#pragma once
// Scripted prompts for tests. While a ScriptedPrompts object lives, every
// message box and file dialog is recorded and answered from its script, in
// order. A prompt the script did not expect (none left, or of the other
// kind) fails the running test with the prompt's text and is answered as a
// cancel would be, so nothing ever waits for a person.
//
//   kp::testing::ScriptedPrompts prompts;
//   prompts.AnswerFileDialog("/tmp/x/shapes.shp2").AnswerMessageBox(IDYES);
//   ... run the command ...
//   EXPECT_EQ(prompts.MessageBoxes()[0].text, "Clear image from memory?");
//   EXPECT_TRUE(prompts.ScriptDone());

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/afx/prompts.h"

namespace kp::testing {

class ScriptedPrompts : public kp::prompts::PromptResponder {
 public:
  ScriptedPrompts();
  ~ScriptedPrompts() override;
  ScriptedPrompts(const ScriptedPrompts&) = delete;
  ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

  // The next message box returns this (IDOK, IDYES, IDNO, IDCANCEL).
  ScriptedPrompts& AnswerMessageBox(int result);
  // The next file dialog returns this name, as if typed and confirmed.
  ScriptedPrompts& AnswerFileDialog(std::string path);
  ScriptedPrompts& CancelFileDialog();

  const std::vector<kp::prompts::MessageBoxRequest>& MessageBoxes() const { return m_messageBoxes; }
  const std::vector<kp::prompts::FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }
  // True when every scripted answer was used.
  bool ScriptDone() const { return m_script.empty(); }

  int ShowMessageBox(const kp::prompts::MessageBoxRequest& request) override;
  std::optional<std::string> ShowFileDialog(const kp::prompts::FileDialogRequest& request) override;

 private:
  struct Answer {
    bool messageBox;
    int result;
    std::optional<std::string> path;
  };
  std::deque<Answer> m_script;
  std::vector<kp::prompts::MessageBoxRequest> m_messageBoxes;
  std::vector<kp::prompts::FileDialogRequest> m_fileDialogs;
  kp::prompts::PromptResponder* m_previous;
};

}  // namespace kp::testing
