// Popup menus: the framework's menu data shown as a QMenu.
#include <QAction>
#include <QMenu>

#include "platform/qt/window_record.h"

namespace kp::qt {
namespace {

void Fill(QMenu* menu, const std::vector<PopupItem>& items) {
  for (const PopupItem& item : items) {
    if (item.separator) {
      menu->addSeparator();
      continue;
    }
    QString text = QString::fromStdString(item.text);
    if (!item.popup.empty()) {
      QMenu* sub = menu->addMenu(text);
      sub->setEnabled(!item.grayed);
      Fill(sub, item.popup);
      continue;
    }
    QAction* action = menu->addAction(text);
    action->setData(item.id);
    action->setEnabled(!item.grayed);
    if (item.checked) {
      action->setCheckable(true);
      action->setChecked(true);
    }
    if (!item.statusTip.empty()) action->setStatusTip(QString::fromStdString(item.statusTip));
  }
}

}  // namespace

UINT TrackPopupMenu(const std::vector<PopupItem>& items, POINT screen, HWND owner) {
  QMenu menu(WidgetFromHandle(owner));
  Fill(&menu, items);
  BeginMenuTracking();
  QAction* chosen = menu.exec(QPoint(screen.x, screen.y));
  EndMenuTracking();
  return chosen ? chosen->data().toUInt() : 0;
}

}  // namespace kp::qt
