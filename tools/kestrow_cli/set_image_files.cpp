#include "tools/kestrow_cli/set_image_files.h"

#include <cstdio>

#include "editor/shapes/set_kinds.h"

std::string SetImageFileName(int setIndex, int image) {
  if (IsLandscapeSet(setIndex)) return "landscape.bmp";
  char name[32];
  std::snprintf(name, sizeof name, "slot-%02d.bmp", image);
  return name;
}

std::string SetImageFilePath(const std::string& folder, int setIndex, int image) {
  std::string path = folder;
  if (path.empty()) path = ".";
  if (path.back() != '/') path += '/';
  return path + SetImageFileName(setIndex, image);
}
