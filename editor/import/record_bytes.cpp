#include "editor/import/record_bytes.h"

#include <algorithm>

namespace {

// Slicing by 8: table k gives the CRC of a byte followed by k zero bytes,
// so eight bytes are folded in at a time. Plain arrays, so that an
// unoptimised build indexes them without a call per byte.
struct CrcTables {
  std::uint32_t t[8][256];
};

constexpr CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (std::uint32_t byte = 0; byte < 256; ++byte) {
    std::uint32_t crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    tables.t[0][byte] = crc;
  }
  for (std::size_t k = 1; k < 8; ++k)
    for (std::size_t byte = 0; byte < 256; ++byte)
      tables.t[k][byte] = (tables.t[k - 1][byte] >> 8) ^ tables.t[0][tables.t[k - 1][byte] & 0xFF];
  return tables;
}

constexpr CrcTables kCrc = MakeCrcTables();

}  // namespace

std::uint32_t Crc32(std::span<const BYTE> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  const BYTE* at = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 8; left -= 8, at += 8) {
    const std::uint32_t low = crc ^ (at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24);
    crc = kCrc.t[7][low & 0xFF] ^ kCrc.t[6][(low >> 8) & 0xFF] ^ kCrc.t[5][(low >> 16) & 0xFF] ^ kCrc.t[4][low >> 24] ^
          kCrc.t[3][at[4]] ^ kCrc.t[2][at[5]] ^ kCrc.t[1][at[6]] ^ kCrc.t[0][at[7]];
  }
  for (; left > 0; --left, ++at) crc = (crc >> 8) ^ kCrc.t[0][(crc ^ *at) & 0xFF];
  return crc ^ 0xFFFFFFFFu;
}

void RecordWriter::Put32(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

void RecordWriter::Put64(std::uint64_t value) {
  for (int i = 0; i < 8; ++i) m_bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

void RecordWriter::PutBytes(std::span<const BYTE> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }

void RecordWriter::PutChecksum() { Put32(Crc32(m_bytes)); }

std::span<const BYTE> RecordReader::Take(std::uint64_t count) {
  if (m_failed || count > m_bytes.size() - m_at) {
    m_failed = true;
    return {};
  }
  const std::span<const BYTE> taken = m_bytes.subspan(m_at, static_cast<std::size_t>(count));
  m_at += static_cast<std::size_t>(count);
  return taken;
}

std::uint32_t RecordReader::Get32() {
  std::uint32_t value = 0;
  const std::span<const BYTE> bytes = Take(4);
  for (std::size_t i = 0; i < bytes.size(); ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  return value;
}

std::uint64_t RecordReader::Get64() {
  std::uint64_t value = 0;
  const std::span<const BYTE> bytes = Take(8);
  for (std::size_t i = 0; i < bytes.size(); ++i) value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
  return value;
}

bool RecordReader::EndsWithChecksum() {
  if (m_failed || Left() != 4) return false;
  const std::uint32_t computed = Crc32(m_bytes.first(m_at));
  return Get32() == computed;
}
