#pragma once
// The file names that export writes and import reads in a folder: one per
// image of a set, slot-00.bmp to slot-29.bmp for a texture set (the slot
// index) and landscape.bmp for a landscape. export-all and import-all give
// each set a folder of its own: texture-set-1 to texture-set-4 and
// landscape-1 to landscape-4.

#include <string>

std::string SetImageFileName(int setIndex, int image);

// The folder and file name joined with one separator.
std::string SetImageFilePath(const std::string& folder, int setIndex, int image);

// The folder of set `setIndex` inside `folder`.
std::string SetFolderPath(const std::string& folder, int setIndex);
