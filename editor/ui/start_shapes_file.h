#pragma once
// "kestrow SHAPES": the shapes file named on the command line, which the
// main dialog starts with as if it had been chosen through Select Shapes
// File....

#include "platform/base/cstring.h"

// The shapes file named by what is left of the command line once the
// framework has taken its options ("Automation", "Embedding"): its absolute
// path, or empty when none is named. A name that is not a readable file,
// or more than one name, gets a message (a message box and standard error)
// and gives empty, so the editor starts with nothing chosen.
CString TakeStartShapesFile(const char* commandLine);
