#include "editor/shapes/big_endian.h"

SHORT ReadBigEndian16(CFile& file) {
  BYTE bytes[2];
  file.Read(bytes, sizeof bytes);
  return BigEndian16(bytes);
}

LONG ReadBigEndian32(CFile& file) {
  BYTE bytes[4];
  file.Read(bytes, sizeof bytes);
  return BigEndian32(bytes);
}
