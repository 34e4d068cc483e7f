#pragma once
// What "kestrow --help" and "kestrow --version" print. The manual page
// kestrow(1) is made from these at build time, so the two never disagree.

#include <string>

std::string EditorHelpText();
std::string EditorVersionText();
