#pragma once
// The widgets that stand for windows. Each turns its Qt events into the
// window messages the framework expects and sends them to its HWND.

#include <QAbstractButton>
#include <QWidget>

#include "platform/qt/window_record.h"

namespace kp::qt {

// Dialogs and custom windows: they paint through WM_ERASEBKGND / WM_PAINT
// into their backing image and report mouse, keyboard, drop and close events.
class SurfaceWidget : public QWidget {
 public:
  SurfaceWidget(HWND handle, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  HWND m_handle;
};

// A BS_OWNERDRAW push button: a button whose face the parent draws on
// WM_DRAWITEM into the button's backing image.
class OwnerDrawButton : public QAbstractButton {
 public:
  OwnerDrawButton(HWND handle, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  HWND m_handle;
};

// Presents a self-drawn window: asks for the paint messages when part of it
// is invalid, then shows the backing image, smoothing off.
void PaintSelfDrawn(QWidget* widget, HWND handle, const QRect& area);

}  // namespace kp::qt
