// The yardstick of the start-up benchmark: a plain Qt dialog with as many
// child widgets as the editor's main window, of the same kinds, in the same
// font and about the same places, and nothing else (no platform layer, no
// registry, no control module). It shows itself and waits to be ended.
//
// The one program outside platform/ that uses Qt directly: being plain Qt
// is what it is for.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Places in pixels for the dialog font's 6 x 13 base units.
QRect Units(int x, int y, int width, int height) {
  return QRect(x * 6 / 4, y * 13 / 8, width * 6 / 4, height * 13 / 8);
}

template <typename Widget>
Widget* Place(QDialog& dialog, QRect units, const char* text = nullptr) {
  auto* widget = new Widget(&dialog);
  if constexpr (requires { widget->setText(QString()); })
    if (text != nullptr) widget->setText(QString::fromLatin1(text));
  widget->setGeometry(units);
  return widget;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans Condensed"), 8));
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Bare dialog"));
  dialog.setFixedSize(Units(0, 0, 446, 292).size());

  auto* list = Place<QComboBox>(dialog, Units(307, 50, 117, 12));
  for (int set = 1; set <= 8; ++set) list->addItem(QStringLiteral("Set # %1").arg(set));
  // clang-format off
  const struct {
    const char* text;
    int x, y, width;
  } buttons[] = {
      {"Select Shapes File...", 18, 234, 117}, {"Patch Selected Shapes File...", 151, 234, 117},
      {"Load Set From Selected Shapes File...", 300, 226, 130}, {"OK", 321, 6, 50},
      {"Image Finder", 389, 6, 50}, {"Exit", 341, 271, 50},
      {"Generate Palette Bitmap From Texture Set", 291, 69, 148},
  };
  // clang-format on
  for (const auto& b : buttons) Place<QPushButton>(dialog, Units(b.x, b.y, b.width, 14), b.text);
  Place<QCheckBox>(dialog, Units(293, 251, 150, 10), "Disable gamma correction when loading");
  Place<QLabel>(dialog, Units(301, 36, 90, 8), "Texture set to be patched:");
  Place<QLabel>(dialog, Units(301, 96, 96, 8), "Preview of selected texture:");
  Place<QLabel>(dialog, Units(18, 6, 272, 8), "Drop texture bitmaps below ( recommended texture is 128 x 128 )");
  Place<QLineEdit>(dialog, Units(18, 253, 268, 14))->setReadOnly(true);
  // The places of the thirty-two drop controls: a grid of thirty, the
  // preview and the (hidden) landscape.
  for (int k = 0; k < 30; ++k)
    Place<QFrame>(dialog, Units(32 + 44 * (k % 6), 24 + 41 * (k / 6), 33, 32))->setFrameShape(QFrame::Box);
  Place<QFrame>(dialog, Units(306, 110, 121, 107))->setFrameShape(QFrame::Box);
  Place<QFrame>(dialog, Units(28, 63, 262, 120))->hide();

  dialog.show();
  return app.exec();
}
