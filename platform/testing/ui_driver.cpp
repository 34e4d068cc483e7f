#include "platform/testing/ui_driver.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <chrono>
#include <unordered_map>

#include "platform/afx/dialog.h"
#include "platform/base/win_user.h"
#include "platform/qt/modal_windows.h"
#include "platform/qt/window_record.h"

namespace kp::testing {
namespace {

QWidget* Widget(HWND hWnd) {
  QWidget* w = kp::qt::WidgetFromHandle(hWnd);
  if (w == nullptr) ADD_FAILURE() << "no window for handle " << hWnd;
  return w;
}

Qt::KeyboardModifiers QtModifiers(unsigned modifiers) {
  Qt::KeyboardModifiers m;
  if (modifiers & Shift) m |= Qt::ShiftModifier;
  if (modifiers & Control) m |= Qt::ControlModifier;
  if (modifiers & Alt) m |= Qt::AltModifier;
  return m;
}

// The top-level window's QWindow and the point in it.
QWindow* WindowAt(QWidget* w, QPoint local, QPoint* inWindow) {
  QWidget* top = w->window();
  *inWindow = w->mapTo(top, local);
  return top->windowHandle();
}

}  // namespace

void ProcessEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool WaitUntil(const std::function<bool()>& done) { return QTest::qWaitFor(done, kGenerousWaitMilliseconds); }
bool WaitUntil(const std::function<bool()>& done, int milliseconds) { return QTest::qWaitFor(done, milliseconds); }

void RunSoon(std::function<void()> action) { QTimer::singleShot(0, qApp, std::move(action)); }

namespace {
// One look for the modal window; it schedules the next look itself, each
// a copy, so nothing refers to itself.
struct ModalWindowPoll {
  std::string caption;
  std::function<void(HWND)> action;
  std::chrono::steady_clock::time_point deadline;
  void operator()() const {
    HWND window = kp::qt::ActiveModalWindow();
    if (window != nullptr && kp::qt::GetWindowText(window) == caption) return action(window);
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "no modal window \"" << caption << "\" opened";
      return;
    }
    RunSoon(*this);
  }
};
}  // namespace

void WhenModalWindowOpens(const std::string& caption, std::function<void(HWND)> action) {
  RunSoon(ModalWindowPoll{caption, std::move(action),
                          std::chrono::steady_clock::now() + std::chrono::milliseconds(kGenerousWaitMilliseconds)});
}

void WaitUntilActive(HWND hWnd) {
  QWidget* w = Widget(hWnd);
  if (w == nullptr) return;
  QWidget* top = w->window();
  if (!QTest::qWaitForWindowExposed(top)) ADD_FAILURE() << "window not exposed";
  top->activateWindow();
  if (!QTest::qWaitForWindowActive(top)) ADD_FAILURE() << "window not active";
}

void WaitUntilExposed(HWND hWnd) {
  QWidget* w = Widget(hWnd);
  if (w == nullptr || !QTest::qWaitForWindowExposed(w->window())) ADD_FAILURE() << "window not exposed";
}

std::string PlatformName() { return QGuiApplication::platformName().toStdString(); }

bool IsTransientFor(HWND hWnd, HWND owner) {
  QWidget* w = Widget(hWnd);
  QWidget* o = Widget(owner);
  if (w == nullptr || o == nullptr || w->window()->windowHandle() == nullptr) return false;
  return w->window()->windowHandle()->transientParent() == o->window()->windowHandle();
}

INT_PTR RunModalWith(CDialog& dialog, std::function<void()> steps) {
  RunSoon([&dialog, steps = std::move(steps)] {
    if (dialog.m_hWnd == nullptr) return;
    HWND h = dialog.m_hWnd;
    WaitUntilActive(h);
    steps();
    ProcessEvents();
    if (kp::qt::IsModalLoopRunning(h)) {
      ADD_FAILURE() << "the dialog was still open after the test's steps";
      dialog.EndDialog(-99);
    }
  });
  return dialog.DoModal();
}

void ClickAt(HWND hWnd, POINT client, unsigned modifiers) {
  QWidget* w = Widget(hWnd);
  if (w == nullptr) return;
  QPoint at;
  QWindow* window = WindowAt(w, QPoint(client.x, client.y), &at);
  QTest::mouseClick(window, Qt::LeftButton, QtModifiers(modifiers), at);
}

void Click(HWND hWnd, unsigned modifiers) {
  QWidget* w = Widget(hWnd);
  if (w == nullptr) return;
  ClickAt(hWnd, POINT{w->width() / 2, w->height() / 2}, modifiers);
}

void RightClickAt(HWND hWnd, POINT client) {
  QWidget* w = Widget(hWnd);
  if (w == nullptr) return;
  QPoint at;
  QWindow* window = WindowAt(w, QPoint(client.x, client.y), &at);
  QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, at);
}

void ChooseComboItem(HWND hCombo, int index) {
  auto* combo = qobject_cast<QComboBox*>(Widget(hCombo));
  if (combo == nullptr) return ADD_FAILURE() << "not a combo box";
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  QRect item = view->visualRect(combo->model()->index(index, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
  ProcessEvents();
}

void TypeText(HWND hEdit, const std::string& text) {
  QWidget* w = Widget(hEdit);
  if (w == nullptr) return;
  w->window()->activateWindow();
  w->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  if (text.empty())
    QTest::keyClick(w, Qt::Key_Delete);
  else
    QTest::keyClicks(w, QString::fromStdString(text));
}

void PressKey(HWND hWnd, int virtualKey, unsigned modifiers) {
  static const std::unordered_map<int, Qt::Key> keys = {
      {VK_RETURN, Qt::Key_Return}, {VK_ESCAPE, Qt::Key_Escape}, {VK_TAB, Qt::Key_Tab},       {VK_SPACE, Qt::Key_Space},
      {VK_F4, Qt::Key_F4},         {VK_INSERT, Qt::Key_Insert}, {VK_DELETE, Qt::Key_Delete},
  };
  QWidget* w = Widget(hWnd);
  auto key = keys.find(virtualKey);
  // Letters and digits are their own keys.
  const bool character = (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9');
  if (w == nullptr || (key == keys.end() && !character)) return;
  Qt::Key qtKey = character ? static_cast<Qt::Key>(virtualKey) : key->second;
  if (qtKey == Qt::Key_Tab && (modifiers & Shift)) qtKey = Qt::Key_Backtab;
  QTest::keyClick(w->window()->windowHandle(), qtKey, QtModifiers(modifiers));
}

void CloseWindow(HWND hWnd) {
  if (QWidget* w = Widget(hWnd)) w->window()->close();
}

bool DropFiles(HWND hWnd, POINT client, const std::vector<std::string>& paths) {
  QWidget* w = Widget(hWnd);
  if (w == nullptr) return false;
  QPoint at;
  QWindow* window = WindowAt(w, QPoint(client.x, client.y), &at);
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
  data.setUrls(urls);
  Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QGuiApplication::sendEvent(window, &enter);
  QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QGuiApplication::sendEvent(window, &move);
  if (!move.isAccepted()) {
    QDragLeaveEvent leave;
    QGuiApplication::sendEvent(window, &leave);
    return false;
  }
  QDropEvent drop(QPointF(at), actions, &data, Qt::LeftButton, Qt::NoModifier);
  QGuiApplication::sendEvent(window, &drop);
  return drop.isAccepted();
}

void AnswerNextPopupMenu(const std::string& choose, std::vector<MenuItemSeen>* seen) {
  auto* timer = new QTimer(qApp);
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  QObject::connect(timer, &QTimer::timeout, timer, [=] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr || !menu->isVisible()) {
      if (started->elapsed() > kGenerousWaitMilliseconds) {
        timer->deleteLater();
        ADD_FAILURE() << "no popup menu opened";
      }
      return;
    }
    timer->stop();
    timer->deleteLater();
    QAction* target = nullptr;
    for (QAction* action : menu->actions()) {
      if (seen)
        seen->push_back(MenuItemSeen{action->text().toStdString(), action->isEnabled(), action->isSeparator(),
                                     action->statusTip().toStdString()});
      if (!choose.empty() && action->text().toStdString() == choose) target = action;
    }
    if (target == nullptr) {
      menu->close();
      return;
    }
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(target).center());
    // A greyed item ignores the click and the menu stays open, as it would.
    if (menu->isVisible()) menu->close();
  });
  timer->start(10);
}

Pixels GrabWindow(HWND hWnd) {
  Pixels pixels;
  QWidget* w = Widget(hWnd);
  if (w == nullptr) return pixels;
  QImage image = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  pixels.width = image.width();
  pixels.height = image.height();
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    pixels.argb.insert(pixels.argb.end(), row, row + image.width());
  }
  return pixels;
}

double PixelsPerUnit(HWND hWnd) {
  QWidget* w = Widget(hWnd);
  return w != nullptr ? w->devicePixelRatioF() : 1;
}

std::vector<QtTimerSeen> RunningQtTimers(HWND hWnd) {
  std::vector<QtTimerSeen> seen;
  QWidget* w = Widget(hWnd);
  if (w == nullptr) return seen;
  for (const QTimer* timer : w->findChildren<QTimer*>(Qt::FindDirectChildrenOnly))
    if (timer->isActive()) seen.push_back(QtTimerSeen{timer->interval(), timer->timerType() == Qt::PreciseTimer});
  return seen;
}

RECT WidgetRectInWindow(HWND hWnd) {
  QWidget* w = Widget(hWnd);
  if (w == nullptr) return RECT{};
  QPoint origin = w->isWindow() ? QPoint(0, 0) : w->mapTo(w->window(), QPoint(0, 0));
  return RECT{origin.x(), origin.y(), origin.x() + w->width(), origin.y() + w->height()};
}

std::string WidgetFontFamily(HWND hWnd) {
  QWidget* w = Widget(hWnd);
  return w ? w->font().family().toStdString() : std::string();
}

bool HasDefaultLook(HWND hButton) {
  auto* button = qobject_cast<QPushButton*>(Widget(hButton));
  return button && button->isDefault();
}

bool IsReadOnlyEdit(HWND hEdit) {
  auto* edit = qobject_cast<QLineEdit*>(Widget(hEdit));
  return edit && edit->isReadOnly();
}

bool HasFrame(HWND hEdit) {
  auto* edit = qobject_cast<QLineEdit*>(Widget(hEdit));
  return edit && edit->hasFrame();
}

std::string SelectedText(HWND hEdit) {
  auto* edit = qobject_cast<QLineEdit*>(Widget(hEdit));
  return edit ? edit->selectedText().toStdString() : std::string();
}

bool IsModal(HWND hWnd) {
  QWidget* w = Widget(hWnd);
  return w && w->isModal();
}

bool ShowsInTaskBar(HWND hWnd) {
  QWidget* w = Widget(hWnd);
  return w && w->isWindow() && w->windowType() == Qt::Window && w->parentWidget() == nullptr;
}

bool HasMinimizeButton(HWND hWnd) {
  QWidget* w = Widget(hWnd);
  return w && (w->windowFlags() & Qt::WindowMinimizeButtonHint);
}

}  // namespace kp::testing
