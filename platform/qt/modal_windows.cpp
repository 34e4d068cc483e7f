#include "platform/qt/modal_windows.h"

#include <QApplication>

#include "platform/qt/window_record.h"

namespace kp::qt {

HWND ActiveModalWindow() {
  QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr ? HandleFromWidget(modal) : nullptr;
}

bool IsBlockedByModalWindow(HWND hWnd) {
  QWidget* modal = QApplication::activeModalWidget();
  QWidget* window = WidgetFromHandle(hWnd);
  if (modal == nullptr || window == nullptr) return false;
  return modal != window->window();
}

}  // namespace kp::qt
