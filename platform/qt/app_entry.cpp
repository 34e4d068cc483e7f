// The Qt application around a program, and its event loop.
#include <QApplication>
#include <QEventLoop>

#include "platform/qt/dialog_font.h"
#include "platform/qt/window_record.h"

namespace kp::qt {
namespace {
QEventLoop* g_applicationLoop = nullptr;
int g_pendingQuit = -1;
}  // namespace

int RunApplicationLoop() {
  if (g_pendingQuit >= 0) return std::exchange(g_pendingQuit, -1);
  QEventLoop loop;
  g_applicationLoop = &loop;
  int code = loop.exec();
  g_applicationLoop = nullptr;
  return code;
}

void QuitApplicationLoop(int exitCode) {
  if (g_applicationLoop)
    g_applicationLoop->exit(exitCode);
  else
    g_pendingQuit = exitCode;
}

int RunApplication(int& argc, char** argv, const std::function<int()>& program) {
  // In a Wayland session the program is a Wayland client of its own, not
  // one through XWayland. Qt sees such a session by XDG_SESSION_TYPE; one
  // started without it still has WAYLAND_DISPLAY. X is the fallback when
  // Qt's Wayland plugin is not installed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("XDG_SESSION_TYPE") &&
      !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "wayland;xcb");
  // A native file dialog can be neither seen nor closed by a test.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication qtApp(argc, argv);
  QApplication::setFont(DialogFont("MS Sans Serif", 8));
  EnsureApplicationHooks();
  return program();
}
}  // namespace kp::qt
