#pragma once
// The little-endian records of Kestrow's own files (the patch journal, the
// entries of the patch history), written and read field by field so that
// they read the same on any host. The reader never reads past its bytes: a
// field that is not there makes it fail, and every later read fails too,
// so a parser checks once at the end.
//
// A record ends with a CRC-32 (the one of zip and PNG) of everything before
// it: what it guards against is a write cut short or torn by a power cut,
// not a forger, and it is cheap enough to run over megabytes at every
// patch and every recovery.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

std::uint32_t Crc32(std::span<const BYTE> bytes);

class RecordWriter {
 public:
  void Put32(std::uint32_t value);
  void Put64(std::uint64_t value);
  void PutBytes(std::span<const BYTE> bytes);
  // The CRC-32 of every byte put so far, as the record's last field.
  void PutChecksum();
  std::vector<BYTE>& Bytes() { return m_bytes; }

 private:
  std::vector<BYTE> m_bytes;
};

class RecordReader {
 public:
  explicit RecordReader(std::span<const BYTE> bytes) : m_bytes(bytes) {}
  std::uint32_t Get32();
  std::uint64_t Get64();
  // The next `count` bytes, or none (and failed) when fewer are left.
  std::span<const BYTE> Take(std::uint64_t count);
  // Whether the record ends here with the CRC-32 of everything before it.
  bool EndsWithChecksum();
  bool Failed() const { return m_failed; }
  std::size_t Left() const { return m_failed ? 0 : m_bytes.size() - m_at; }

 private:
  std::span<const BYTE> m_bytes;
  std::size_t m_at = 0;
  bool m_failed = false;
};
