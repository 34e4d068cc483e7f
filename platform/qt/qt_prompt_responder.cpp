// The default prompts: Qt's message box and Qt's own (never the native) file dialog.
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <unordered_map>

#include "platform/qt/name_filter.h"
#include "platform/qt/prompt_responder.h"
#include "platform/qt/window_record.h"

namespace kp::qt {
namespace {

struct ButtonSet {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton;
};

class QtPromptResponder : public kp::prompts::PromptResponder {
 public:
  int ShowMessageBox(const kp::prompts::MessageBoxRequest& request) override {
    static const std::unordered_map<UINT, ButtonSet> sets = {
        {MB_OK, {QMessageBox::Ok, QMessageBox::Ok}},
        {MB_OKCANCEL, {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok}},
        {MB_YESNO, {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes}},
        {MB_YESNOCANCEL, {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes}},
    };
    static const std::unordered_map<UINT, QMessageBox::Icon> icons = {
        {MB_ICONERROR, QMessageBox::Critical},
        {MB_ICONQUESTION, QMessageBox::Question},
        {MB_ICONWARNING, QMessageBox::Warning},
        {MB_ICONINFORMATION, QMessageBox::Information},
    };
    static const std::unordered_map<int, int> results = {
        {QMessageBox::Ok, IDOK},
        {QMessageBox::Cancel, IDCANCEL},
        {QMessageBox::Yes, IDYES},
        {QMessageBox::No, IDNO},
    };
    auto set = sets.find(request.type & MB_TYPEMASK);
    ButtonSet buttons = set != sets.end() ? set->second : ButtonSet{QMessageBox::Ok, QMessageBox::Ok};
    auto icon = icons.find(request.type & MB_ICONMASK);
    QMessageBox box(icon != icons.end() ? icon->second : QMessageBox::NoIcon, QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), buttons.buttons, WidgetFromHandle(request.owner));
    box.setDefaultButton(buttons.defaultButton);
    int chosen = box.exec();
    auto result = results.find(chosen);
    if (result != results.end()) return result->second;
    // Closed without a button: Cancel where there is one, else the only answer.
    return (buttons.buttons & QMessageBox::Cancel) ? IDCANCEL : (buttons.buttons & QMessageBox::No) ? IDNO : IDOK;
  }

  std::optional<std::string> ShowFileDialog(const kp::prompts::FileDialogRequest& request) override {
    QFileDialog dialog(WidgetFromHandle(request.owner), QString::fromStdString(request.title));
    // The framework adds the extension, checks existence and asks before
    // overwriting, the same whoever answers.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode((request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& filter : request.filters) filters << QString::fromStdString(ToQtNameFilter(filter));
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    // The name is chosen in the folder the program asked for; one that is
    // gone leaves the dialog where it would open anyway.
    if (!request.initialFolder.empty() && QFileInfo(QString::fromStdString(request.initialFolder)).isDir())
      dialog.setDirectory(QString::fromStdString(request.initialFolder));
    if (!request.initialName.empty()) dialog.selectFile(QString::fromStdString(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
  }
};

}  // namespace
}  // namespace kp::qt

kp::prompts::PromptResponder& kp::prompts::DefaultPromptResponder() {
  static kp::qt::QtPromptResponder responder;
  return responder;
}
