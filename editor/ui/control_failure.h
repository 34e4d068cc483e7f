#pragma once
// Saying why the editor cannot open its window. The main dialog cannot be
// made when one of its bitmap drop controls cannot be created: the control
// is not registered, its module is missing, or the module fails to load.
// The framework then only ends the dialog, so the program says which
// control failed, which module it tried and how to register it.

#include <string>

// Why the bitmap drop control cannot be created: the control's name and
// class id, the module path tried (or why there was none) and the command
// that registers it, one per line. Empty when the control's class object
// can be had. Needs OLE initialised.
std::string ControlFailureMessage();

// After the main dialog failed to open: shows the reason in a message box
// and on standard error, and returns the program's exit status (1).
int ReportMainDialogFailure();
