#pragma once
// "kestrow SHAPES": the shapes file named on the command line, which the
// main dialog starts with as if it had been chosen through Select Shapes
// File....

#include <string>

#include "platform/base/cstring.h"

struct StartShapesFile {
  CString path;         // absolute; empty when none is named or it cannot be used
  std::string problem;  // why the name given cannot be used; empty when it can
};

// The shapes file named by what is left of the command line once the
// framework has taken its options ("Automation", "Embedding"). A name that
// is not a readable file, or more than one name, gives a problem instead,
// said at once on standard error; the main dialog shows it in a message box
// once its window is up, and starts with none chosen.
StartShapesFile TakeStartShapesFile(const char* commandLine);

// Empty when `path` names a file this user can read; otherwise why not, in
// the system's words ("No such file or directory"), or "not a file".
std::string WhyNotReadable(const std::string& path);
