#include "platform/qt/name_filter.h"

namespace kp::qt {

std::string ToQtNameFilter(const kp::prompts::FileFilter& filter) {
  std::string description = filter.description;
  if (!description.empty() && description.back() == ')') {
    std::size_t open = description.rfind('(');
    if (open != std::string::npos) description.erase(open);
  }
  while (!description.empty() && description.back() == ' ') description.pop_back();
  std::string patterns;
  for (const std::string& pattern : filter.patterns) {
    if (!patterns.empty()) patterns += ' ';
    patterns += pattern == "*.*" ? "*" : pattern;
  }
  return description + " (" + patterns + ")";
}

}  // namespace kp::qt
