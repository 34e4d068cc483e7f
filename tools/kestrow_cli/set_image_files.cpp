#include "tools/kestrow_cli/set_image_files.h"

#include <cstdio>

#include "editor/shapes/set_kinds.h"

namespace {
std::string Joined(const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (path.empty()) path = ".";
  if (path.back() != '/') path += '/';
  return path + name;
}
}  // namespace

std::string SetImageFileName(int setIndex, int image) {
  if (IsLandscapeSet(setIndex)) return "landscape.bmp";
  char name[32];
  std::snprintf(name, sizeof name, "slot-%02d.bmp", image);
  return name;
}

std::string SetImageFilePath(const std::string& folder, int setIndex, int image) {
  return Joined(folder, SetImageFileName(setIndex, image));
}

std::string SetFolderPath(const std::string& folder, int setIndex) {
  // Numbered from 1 within each kind, as the set list numbers them.
  const int number = IsLandscapeSet(setIndex) ? setIndex - 3 : setIndex + 1;
  return Joined(folder, (IsLandscapeSet(setIndex) ? "landscape-" : "texture-set-") + std::to_string(number));
}
