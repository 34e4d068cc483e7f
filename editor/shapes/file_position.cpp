#include "editor/shapes/file_position.h"

#include <cerrno>

namespace {
[[noreturn]] void Throw(const CFile& file, int cause) {
  throw CFileException(cause, cause == CFileException::badSeek ? EINVAL : 0, file.GetFilePath());
}
}  // namespace

void SeekInsideFile(CFile& file, LONGLONG position) {
  RequireInsideFile(file, position, 0);
  file.Seek(position, CFile::begin);
}

void RequireInsideFile(const CFile& file, LONGLONG start, LONGLONG count) {
  if (start < 0) Throw(file, CFileException::badSeek);
  auto length = static_cast<LONGLONG>(file.GetLength());
  if (count < 0 || start > length || count > length - start) Throw(file, CFileException::endOfFile);
}
