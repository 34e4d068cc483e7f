#pragma once
// Big-endian fields of the shapes file. Every value is assembled from its
// bytes here, so the layout reads the same on any host.

#include "platform/base/win_types.h"
#include "platform/file/file.h"

// Reads 2 bytes at the current position: byte 0 x 256 + byte 1, taken as a
// signed 16-bit value (0xFFFF is -1). Throws CFileException on a short read.
SHORT ReadBigEndian16(CFile& file);

// Reads 4 bytes: byte 0 x 2^24 + byte 1 x 2^16 + byte 2 x 2^8 + byte 3, taken
// as a signed 32-bit value. Throws CFileException on a short read.
LONG ReadBigEndian32(CFile& file);

// The same assembly over bytes already in memory.
constexpr SHORT BigEndian16(const BYTE* bytes) {
  return static_cast<SHORT>(static_cast<WORD>((bytes[0] << 8) | bytes[1]));
}
constexpr LONG BigEndian32(const BYTE* bytes) {
  return static_cast<LONG>((static_cast<DWORD>(bytes[0]) << 24) | (static_cast<DWORD>(bytes[1]) << 16) |
                           (static_cast<DWORD>(bytes[2]) << 8) | static_cast<DWORD>(bytes[3]));
}
