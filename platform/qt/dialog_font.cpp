#include "platform/qt/dialog_font.h"

#include <QFontMetrics>
#include <unordered_map>

#include "platform/qt/window_system.h"

namespace kp::qt {

QFont DialogFont(const std::string& templateFontName, int pointSize) {
  static const std::unordered_map<std::string, const char*> substitutes = {
      {"MS Sans Serif", "DejaVu Sans Condensed"},
      {"MS Shell Dlg", "DejaVu Sans Condensed"},
      {"MS Shell Dlg 2", "DejaVu Sans Condensed"},
      {"", "DejaVu Sans Condensed"},
  };
  auto it = substitutes.find(templateFontName);
  QFont font(it != substitutes.end() ? QString::fromLatin1(it->second) : QString::fromStdString(templateFontName));
  font.setPointSize(pointSize > 0 ? pointSize : 8);
  font.setStyleStrategy(QFont::PreferDefault);
  return font;
}

SIZE GetDialogBaseUnits(const std::string& fontName, int pointSize) {
  // Windows' rule: the average width of the 52 letters, rounded, and the
  // font's height.
  QFontMetrics metrics(DialogFont(fontName, pointSize));
  int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return SIZE{(letters / 26 + 1) / 2, metrics.height()};
}

}  // namespace kp::qt
