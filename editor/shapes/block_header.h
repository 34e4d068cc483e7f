#pragma once
// The header table and the block header of the shapes file.
//
// The file begins with a table of 32-byte header records; record n, at
// 32 x n, holds in its second big-endian 32-bit field the base offset of a
// block. The block begins with a 38-byte block header whose fields give the
// colour table and the image offset table, both relative to the base offset.

#include "platform/base/win_types.h"
#include "platform/file/file.h"

constexpr LONGLONG kHeaderRecordSize = 32;
constexpr LONGLONG kBlockHeaderSize = 38;
constexpr LONGLONG kColourEntrySize = 8;

struct BlockHeader {
  LONG baseOffset = 0;         // absolute file offset of the block
  LONG colourCount = 0;        // entries in the colour table, as the file says
  LONG colourTableOffset = 0;  // relative to the base offset
  SHORT imageCount = 0;        // images in the block, signed 16-bit
  LONG imageTableOffset = 0;   // relative to the base offset
};

// File position of header record `headerNumber` (64-bit, so any int is safe).
constexpr LONGLONG HeaderRecordPosition(int headerNumber) { return kHeaderRecordSize * headerNumber; }

// Seeks to the header record, reads it as eight 32-bit fields, seeks to the
// base offset from the second and reads the block header field by field.
// Positions outside the file and short reads throw CFileException.
BlockHeader ReadBlockHeader(CFile& file, int headerNumber);
