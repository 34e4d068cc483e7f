#pragma once
// Checked positions in the shapes file. Offsets and counts come from the file
// itself, so a damaged file can point anywhere: before the start, past the
// end, or far enough away that 32-bit arithmetic would wrap. Positions are
// computed in 64 bits and checked against the file before they are used.

#include "platform/base/win_types.h"
#include "platform/file/file.h"

// Seeks to `position` from the start of the file. A position before the
// start throws CFileException(badSeek); a position past the end throws
// CFileException(endOfFile). Both name the file. The end itself is allowed:
// a read from there fails on its own as a short read.
void SeekInsideFile(CFile& file, LONGLONG position);

// Throws unless the bytes [start, start + count) all lie inside the file:
// badSeek when start is negative, endOfFile when the range runs past the end.
// Writers call this before writing so that a damaged header can never make
// them extend the file or write outside the bytes they own.
void RequireInsideFile(const CFile& file, LONGLONG start, LONGLONG count);
