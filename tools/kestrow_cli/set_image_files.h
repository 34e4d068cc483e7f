#pragma once
// The file names that export writes and import reads in a folder: one per
// image of a set, slot-00.bmp to slot-29.bmp for a texture set (the slot
// index) and landscape.bmp for a landscape.

#include <string>

std::string SetImageFileName(int setIndex, int image);

// The folder and file name joined with one separator.
std::string SetImageFilePath(const std::string& folder, int setIndex, int image);
