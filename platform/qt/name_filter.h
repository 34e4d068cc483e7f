#pragma once
// A file dialog filter in the form Qt's dialogs read, "Description (*.a *.b)":
// the description without its own trailing "(...)", then the patterns, with
// the framework's "*.*" (every file) as "*".

#include <string>

#include "platform/qt/prompt_responder.h"

namespace kp::qt {
std::string ToQtNameFilter(const kp::prompts::FileFilter& filter);
}
