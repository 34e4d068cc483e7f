#pragma once
// Builds bitmap files of every header form, depth and compression from a
// known picture, for the decoder and LoadImage tests: the bytes are written
// field by field here, independently of the decoder.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

namespace kp::gdi::testing {

struct BmpForm {
  const char* name;
  DWORD headerSize;   // 12 (OS/2 1.x), 16 or 64 (OS/2 2.x), 40, 52, 56, 108, 124
  WORD bitCount;
  DWORD compression;  // BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_ALPHABITFIELDS
  bool topDown = false;
  DWORD clrUsed = 0;
  DWORD masks[4] = {};  // red, green, blue, alpha for bit fields
};

struct BuiltBmp {
  std::vector<BYTE> file;
  int width = 0;
  int height = 0;
  // The picture the file holds: width x height 0x00RRGGBB, bottom row first.
  std::vector<std::uint32_t> expected;
};

BuiltBmp BuildBmp(const BmpForm& form, int width, int height);

// Little-endian appenders for hand-made inputs.
void PutWord(std::vector<BYTE>& out, unsigned value);
void PutDword(std::vector<BYTE>& out, std::uint32_t value);

}  // namespace kp::gdi::testing
