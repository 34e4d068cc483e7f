// The framework's entry point: the Qt application around the program's
// CWinApp.
#include <QApplication>
#include <QEventLoop>
#include <cstdio>

#include "platform/afx/win_app.h"
#include "platform/qt/dialog_font.h"
#include "platform/qt/window_record.h"

namespace kp::ws {
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
  if (g_applicationLoop) g_applicationLoop->exit(exitCode);
  else g_pendingQuit = exitCode;
}
}  // namespace kp::ws

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    std::fprintf(stderr, "%s: the program defines no application object\n", argc > 0 ? argv[0] : "program");
    return 1;
  }
  // A native file dialog can be neither seen nor closed by a test.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication qtApp(argc, argv);
  QApplication::setFont(kp::ws::DialogFont("MS Sans Serif", 8));
  kp::ws::EnsureApplicationHooks();
  app->SetCommandLine(kp::afx::JoinCommandLine(argc, argv));
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
