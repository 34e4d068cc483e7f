#pragma once
// Saving a picture as a slot's Save As saves it: the pixels become a bitmap
// as RecreateBitmap makes one, and the file holds exactly the bytes of
// kp::gdi::BuildBitmapFile24 (24 bits per pixel, bottom-up rows). The file
// is written beside the target and replaces it only when complete.

#include <span>
#include <string>

#include "platform/base/win_types.h"

// `pixels` are width x height values 0x00RRGGBB, rows bottom-up. Returns
// an empty string on success, else the one-line reason (the control's own
// texts where it has one); the target is then left as it was.
std::string WritePixelsAsBitmapFile(const std::string& path, std::span<const DWORD> pixels, int width, int height);
