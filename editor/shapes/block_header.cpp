#include "editor/shapes/block_header.h"

#include "editor/shapes/big_endian.h"
#include "editor/shapes/file_position.h"

BlockHeader ReadBlockHeader(CFile& file, int headerNumber) {
  SeekInsideFile(file, HeaderRecordPosition(headerNumber));
  LONG record[8];
  for (LONG& field : record) field = ReadBigEndian32(file);

  BlockHeader header;
  header.baseOffset = record[1];
  SeekInsideFile(file, header.baseOffset);
  // The fields in file order; the ones the editor does not use are read and
  // dropped so the position always advances by the field's own size.
  ReadBigEndian16(file);                             // 0
  ReadBigEndian16(file);                             // 2
  header.colourCount = ReadBigEndian32(file);        // 4
  ReadBigEndian16(file);                             // 8
  header.colourTableOffset = ReadBigEndian32(file);  // 10
  ReadBigEndian16(file);                             // 14
  ReadBigEndian32(file);                             // 16
  ReadBigEndian16(file);                             // 20
  ReadBigEndian32(file);                             // 22
  header.imageCount = ReadBigEndian16(file);         // 26
  header.imageTableOffset = ReadBigEndian32(file);   // 28
  ReadBigEndian16(file);                             // 32
  ReadBigEndian32(file);                             // 34
  return header;
}
