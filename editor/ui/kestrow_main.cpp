// The editor's entry point. "--help" and "--version" are answered before
// the window system starts, so they work without a display (the manual page
// is made from them at build time); neither holds "Automation" or
// "Embedding", the only options the framework looks for. Everything else
// goes to the framework.

#include <cstdio>
#include <cstring>

#include "editor/ui/command_line_help.h"
#include "platform/afx/win_app.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return std::fputs(EditorHelpText().c_str(), stdout) < 0;
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) return std::fputs(EditorVersionText().c_str(), stdout) < 0;
  return AfxWinMain(argc, argv);
}
