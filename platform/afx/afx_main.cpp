// The entry point of a program built on the framework: link kafx_main and
// define one CWinApp-derived global.
#include "platform/afx/win_app.h"

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
