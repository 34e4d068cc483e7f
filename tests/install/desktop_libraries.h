#pragma once
// What a program that draws nothing must not load, as the loader and the
// packages name the files: Qt, and the X11, xcb and GL libraries under it.

#include <regex>

namespace install_tests {

inline const std::regex& DesktopLibrary() {
  static const std::regex pattern(R"(\blib(Qt6|X11|xcb|GL|EGL|OpenGL)\S*\.so)");
  return pattern;
}

}  // namespace install_tests
