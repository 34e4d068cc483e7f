// Application-wide hooks: focus changes become WM_KILLFOCUS / WM_SETFOCUS,
// and the modifiers of the input event being delivered are remembered for
// GetKeyState. Also the cursor and system values.
#include <QApplication>
#include <QInputEvent>
#include <QPointer>
#include <QScreen>
#include <unordered_map>
#include <utility>

#include "platform/qt/window_record.h"

namespace kp::qt {
namespace {

Qt::KeyboardModifiers g_modifiers;
Qt::MouseButtons g_buttons;
bool g_waitCursor = false;

// Sees every event Qt delivers, real ones from the window system and those
// a test sends alike, so GetKeyState answers for the event being handled.
class InputWatcher : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::ContextMenu: {
        auto* input = static_cast<QInputEvent*>(event);
        g_modifiers = input->modifiers();
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease &&
            event->type() != QEvent::ContextMenu)
          g_buttons = static_cast<QMouseEvent*>(event)->buttons();
        break;
      }
      default: break;
    }
    return QObject::eventFilter(watched, event);
  }
};

bool InPopup(QWidget* w) { return w && w->window()->windowType() == Qt::Popup; }

// A popup menu or list borrows the keyboard without taking the focus from
// the window, as on Windows: neither its opening nor its closing counts.
// While a menu is tracked every focus change is the menu's (some platforms
// deactivate the window before the popup registers itself); afterwards the
// focus goes back to where it was, quietly.
int g_menuTracking = 0;
QPointer<QWidget> g_focusBeforePopup;
QPointer<QWidget> g_focusBeingRestored;

void OnFocusChanged(QWidget* old, QWidget* now) {
  if (g_menuTracking > 0 || InPopup(now)) {
    if (!g_focusBeforePopup && old != nullptr && !InPopup(old)) g_focusBeforePopup = old;
    return;
  }
  if (g_focusBeingRestored && now == g_focusBeingRestored) {
    g_focusBeingRestored = nullptr;
    return;
  }
  g_focusBeingRestored = nullptr;
  HWND from = InPopup(old) && g_focusBeforePopup ? HandleFromWidget(g_focusBeforePopup) : HandleFromWidget(old);
  if (InPopup(old)) g_focusBeforePopup = nullptr;
  HWND to = HandleFromWidget(now);
  if (from == to) return;
  if (from) DeliverMessage(from, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
  if (to) DeliverMessage(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(from), 0);
}

}  // namespace

void BeginMenuTracking() {
  EnsureApplicationHooks();
  if (g_menuTracking++ == 0) g_focusBeforePopup = QApplication::focusWidget();
}

void EndMenuTracking() {
  if (--g_menuTracking > 0) return;
  QWidget* saved = g_focusBeforePopup;
  g_focusBeforePopup = nullptr;
  if (saved == nullptr || QApplication::focusWidget() == saved) return;
  g_focusBeingRestored = saved;
  saved->window()->activateWindow();
  saved->setFocus(Qt::PopupFocusReason);
  if (QApplication::focusWidget() == saved) g_focusBeingRestored = nullptr;
}

void EnsureApplicationHooks() {
  static bool installed = false;
  if (installed || qApp == nullptr) return;
  installed = true;
  auto* watcher = new InputWatcher;
  watcher->setParent(qApp);
  qApp->installEventFilter(watcher);
  QObject::connect(qApp, &QApplication::focusChanged, qApp, &OnFocusChanged);
}

short GetKeyState(int virtKey) {
  EnsureApplicationHooks();
  static const std::unordered_map<int, bool (*)()> keys = {
      {VK_CONTROL, [] { return bool(g_modifiers & Qt::ControlModifier); }},
      {VK_SHIFT, [] { return bool(g_modifiers & Qt::ShiftModifier); }},
      {VK_MENU, [] { return bool(g_modifiers & Qt::AltModifier); }},
      {VK_LBUTTON, [] { return bool(g_buttons & Qt::LeftButton); }},
      {VK_RBUTTON, [] { return bool(g_buttons & Qt::RightButton); }},
  };
  auto it = keys.find(virtKey);
  return it != keys.end() && it->second() ? static_cast<short>(0x8000) : 0;
}

int GetSystemMetrics(int index) {
  QScreen* screen = QGuiApplication::primaryScreen();
  static const std::unordered_map<int, int (*)(QScreen*)> metrics = {
      {SM_CXICON, [](QScreen*) { return 32; }},
      {SM_CYICON, [](QScreen*) { return 32; }},
      {SM_CXSCREEN, [](QScreen* s) { return s ? s->geometry().width() : 0; }},
      {SM_CYSCREEN, [](QScreen* s) { return s ? s->geometry().height() : 0; }},
      {SM_CXDRAG, [](QScreen*) { return QApplication::startDragDistance(); }},
      {SM_CYDRAG, [](QScreen*) { return QApplication::startDragDistance(); }},
  };
  auto it = metrics.find(index);
  return it != metrics.end() ? it->second(screen) : 0;
}

void SetWaitCursor(bool wait) {
  if (wait == g_waitCursor || qApp == nullptr) return;
  g_waitCursor = wait;
  if (wait)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

bool IsWaitCursorShown() { return g_waitCursor; }

}  // namespace kp::qt
