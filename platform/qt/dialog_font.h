#pragma once
// The font a dialog template names, as it is available here.

#include <QFont>
#include <string>

namespace kp::qt {
// Templates name "MS Sans Serif" 8 pt, which Linux lacks; DejaVu Sans
// Condensed at the same size has the same base units (6 x 13).
QFont DialogFont(const std::string& templateFontName, int pointSize);
}  // namespace kp::qt
