#include "platform/qt/window_widgets.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "platform/base/win_user_ext.h"
#include "platform/qt/drop_files.h"

namespace kp::qt {
namespace {

WPARAM MouseKeyFlags(const QMouseEvent* event) {
  WPARAM flags = 0;
  if (event->buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
  if (event->buttons() & Qt::RightButton) flags |= MK_RBUTTON;
  if (event->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (event->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

LPARAM PointParam(QPoint p) { return MAKELPARAM(static_cast<WORD>(p.x()), static_cast<WORD>(p.y())); }

// The local files of a drag; empty when it carries anything else, which the
// shell would not offer as a file drop either.
std::vector<std::string> LocalFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    files.push_back(url.toLocalFile().toStdString());
  }
  return files;
}

// The virtual key of a key press, or 0 for one the windows here do not
// take as a key of their own: letters, digits, Insert and Delete.
int VirtualKeyOf(const QKeyEvent* event) {
  const int key = event->key();
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (key == Qt::Key_Insert) return VK_INSERT;
  if (key == Qt::Key_Delete) return VK_DELETE;
  return 0;
}

// Whether a drag is one this window started: a window is not offered its
// own drag back.
bool IsOwnDrag(const QWidget* widget, const QDropEvent* event) { return event->source() == widget; }

// The id of the push button Enter presses: the focused push button, else
// the default push button, else IDOK. Returns 0 when that button is disabled.
int DefaultCommandId(WindowRecord* dialog, HWND* button) {
  *button = nullptr;
  HWND focus = GetFocus();
  WindowRecord* focused = FindRecord(focus);
  if (focused && focused->parent == dialog->handle && focused->kind == WindowKind::PushButton) {
    *button = focus;
    return focused->id;
  }
  for (HWND child : dialog->children) {
    WindowRecord* r = FindRecord(child);
    if (r && r->kind == WindowKind::PushButton && (r->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      if (!IsWindowEnabled(child)) return 0;
      *button = child;
      return r->id;
    }
  }
  HWND ok = kp::qt::GetDlgItem(dialog->handle, IDOK);
  if (ok && !IsWindowEnabled(ok)) return 0;
  *button = ok;
  return IDOK;
}

}  // namespace

SurfaceWidget::SurfaceWidget(HWND handle, QWidget* parent) : QWidget(parent), m_handle(handle) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceWidget::paintEvent(QPaintEvent* event) { PaintSelfDrawn(this, m_handle, event->rect()); }

void SurfaceWidget::resizeEvent(QResizeEvent*) {
  WindowRecord* record = FindRecord(m_handle);
  if (record == nullptr) return;
  SyncBackingSize(record);
  record->invalid = QRegion(rect());
  record->eraseNeeded = true;
  if (record->lastSizeSent != size()) {
    record->lastSizeSent = size();
    DeliverMessage(m_handle, WM_SIZE, isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED,
                   MAKELPARAM(static_cast<WORD>(width()), static_cast<WORD>(height())));
  }
}

void SurfaceWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  WindowRecord* record = FindRecord(m_handle);
  if (record == nullptr) return;
  record->invalid = QRegion(rect());
  record->eraseNeeded = true;
  DeliverMessage(m_handle, WM_SIZE, isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED,
                 MAKELPARAM(static_cast<WORD>(width()), static_cast<WORD>(height())));
}

void SurfaceWidget::mousePressEvent(QMouseEvent* event) {
  UINT message = event->button() == Qt::LeftButton    ? WM_LBUTTONDOWN
                 : event->button() == Qt::RightButton ? WM_RBUTTONDOWN
                                                      : 0;
  if (message == 0) return QWidget::mousePressEvent(event);
  event->accept();
  DeliverMessage(m_handle, message, MouseKeyFlags(event), PointParam(event->position().toPoint()));
}

void SurfaceWidget::mouseReleaseEvent(QMouseEvent* event) {
  UINT message = event->button() == Qt::LeftButton    ? WM_LBUTTONUP
                 : event->button() == Qt::RightButton ? WM_RBUTTONUP
                                                      : 0;
  if (message == 0) return QWidget::mouseReleaseEvent(event);
  event->accept();
  DeliverMessage(m_handle, message, MouseKeyFlags(event), PointParam(event->position().toPoint()));
}

void SurfaceWidget::mouseMoveEvent(QMouseEvent* event) {
  // Qt reports moves only while a button is down, which is when the windows
  // here look at them (to start a drag).
  event->accept();
  DeliverMessage(m_handle, WM_MOUSEMOVE, MouseKeyFlags(event), PointParam(event->position().toPoint()));
}

void SurfaceWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  // A double click starts with a press Windows reports as a double click;
  // the framework's handlers here only need the press.
  mousePressEvent(event);
}

void SurfaceWidget::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  // The menu key reports no position (-1, -1), as on Windows.
  LPARAM where = event->reason() == QContextMenuEvent::Keyboard ? LPARAM(-1) : PointParam(event->globalPos());
  DeliverMessage(m_handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_handle), where);
}

void SurfaceWidget::keyPressEvent(QKeyEvent* event) {
  WindowRecord* record = FindRecord(m_handle);
  if (record == nullptr || (event->modifiers() & Qt::AltModifier)) return QWidget::keyPressEvent(event);
  if (record->kind != WindowKind::Dialog) {
    // A window with the focus gets its keys as WM_KEYDOWN; the dialog
    // manager's own (Tab, Enter, Esc, the arrows) go on to its dialog.
    const int key = VirtualKeyOf(event);
    if (key == 0) return QWidget::keyPressEvent(event);
    event->accept();
    DeliverMessage(m_handle, WM_KEYDOWN, static_cast<WPARAM>(key), event->isAutoRepeat() ? LPARAM(0x40000001) : 1);
    return;
  }
  // The dialog manager's keys: Enter presses the default button, Esc cancels.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    HWND button = nullptr;
    int id = DefaultCommandId(record, &button);
    if (id != 0)
      DeliverMessage(m_handle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    HWND cancel = kp::qt::GetDlgItem(m_handle, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel)) return;
    DeliverMessage(m_handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    return;
  }
  QWidget::keyPressEvent(event);
}

void SurfaceWidget::closeEvent(QCloseEvent* event) {
  // The close box asks; the window decides through WM_CLOSE (a dialog's
  // default is Cancel) and is destroyed only by the framework.
  event->ignore();
  DeliverMessage(m_handle, WM_CLOSE, 0, 0);
}

void SurfaceWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (!IsOwnDrag(this, event) && !LocalFiles(event->mimeData()).empty())
    event->acceptProposedAction();
  else
    event->ignore();
}

void SurfaceWidget::dragMoveEvent(QDragMoveEvent* event) {
  if (!IsOwnDrag(this, event) && !LocalFiles(event->mimeData()).empty())
    event->acceptProposedAction();
  else
    event->ignore();
}

void SurfaceWidget::dropEvent(QDropEvent* event) {
  std::vector<std::string> files = IsOwnDrag(this, event) ? std::vector<std::string>() : LocalFiles(event->mimeData());
  if (files.empty()) return event->ignore();
  event->acceptProposedAction();
  QPoint at = event->position().toPoint();
  HDROP drop = CreateDropHandle(files, POINT{at.x(), at.y()});
  DeliverMessage(m_handle, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  // The default handling releases the drop; a handler that skipped it must
  // not leak it. A released handle is simply not found again.
  DragFinish(drop);
}

OwnerDrawButton::OwnerDrawButton(HWND handle, QWidget* parent) : QAbstractButton(parent), m_handle(handle) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void OwnerDrawButton::paintEvent(QPaintEvent* event) { PaintSelfDrawn(this, m_handle, event->rect()); }

void OwnerDrawButton::resizeEvent(QResizeEvent*) {
  WindowRecord* record = FindRecord(m_handle);
  if (record == nullptr) return;
  SyncBackingSize(record);
  record->invalid = QRegion(rect());
}

void PaintSelfDrawn(QWidget* widget, HWND handle, const QRect& area) {
  WindowRecord* record = FindRecord(handle);
  if (record == nullptr) return;
  SyncBackingSize(record);
  if (!record->invalid.isEmpty()) {
    if (record->kind == WindowKind::OwnerDrawButton) {
      // The owner draws the whole face; the request says what state it is in.
      record->invalid = QRegion();
      auto* button = static_cast<QAbstractButton*>(widget);
      DRAWITEMSTRUCT item{};
      item.CtlType = ODT_BUTTON;
      item.CtlID = static_cast<UINT>(record->id);
      item.itemAction = ODA_DRAWENTIRE;
      item.itemState = (button->isDown() ? ODS_SELECTED : 0) | (button->hasFocus() ? ODS_FOCUS : 0);
      item.hwndItem = handle;
      item.hDC = CreateBackingDC(record);
      item.rcItem = RECT{0, 0, widget->width(), widget->height()};
      DeliverMessage(record->parent, WM_DRAWITEM, static_cast<WPARAM>(record->id), reinterpret_cast<LPARAM>(&item));
      DeleteBackingDC(item.hDC);
    } else {
      if (record->eraseNeeded) {
        record->eraseNeeded = false;
        HDC dc = CreateBackingDC(record);
        DeliverMessage(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        DeleteBackingDC(dc);
      }
      DeliverMessage(handle, WM_PAINT, 0, 0);
    }
    // The handlers may have destroyed the window; one whose WM_PAINT did not
    // validate is still done painting.
    record = FindRecord(handle);
    if (record == nullptr) return;
    record->invalid = QRegion();
  }
  // The image has the screen's pixels: drawn whole at the origin, each of
  // its pixels lands on one of the screen's, and the paint event's clip
  // keeps the drawing to `area`.
  QPainter painter(widget);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setClipRect(area);
  painter.drawImage(QPointF(0, 0), record->backing);
}

}  // namespace kp::qt
