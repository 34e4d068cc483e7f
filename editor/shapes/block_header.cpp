#include "editor/shapes/block_header.h"

#include "editor/shapes/big_endian.h"
#include "editor/shapes/file_position.h"

BlockHeader ReadBlockHeader(CFile& file, int headerNumber) {
  // Each record is read in one piece and taken apart in memory: a read per
  // field would cost a system call per field.
  SeekInsideFile(file, HeaderRecordPosition(headerNumber));
  BYTE record[32];
  file.Read(record, sizeof record);

  BlockHeader header;
  header.baseOffset = BigEndian32(record + 4);
  SeekInsideFile(file, header.baseOffset);
  // The fields by their offsets in the block header; the ones the editor
  // does not use are read with the rest and dropped.
  BYTE block[38];
  file.Read(block, sizeof block);
  header.colourCount = BigEndian32(block + 4);
  header.colourTableOffset = BigEndian32(block + 10);
  header.imageCount = BigEndian16(block + 26);
  header.imageTableOffset = BigEndian32(block + 28);
  return header;
}
