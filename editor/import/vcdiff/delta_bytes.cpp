#include "editor/import/vcdiff/delta_bytes.h"

#include <string>

namespace vcdiff {

void ByteReader::EndsEarly() const { throw DeltaError(std::string(m_what) + " ends early"); }

std::uint8_t ByteReader::Byte() {
  if (AtEnd()) EndsEarly();
  return m_bytes[m_position++];
}

std::uint64_t ByteReader::Integer(std::uint64_t largest, const char* field) {
  std::uint64_t value = 0;
  for (;;) {
    const std::uint8_t digit = Byte();
    // Checked before the shift, so that it cannot carry bits out of 64.
    if (value > (largest >> 7)) throw DeltaError(std::string(field) + " is too large");
    value = (value << 7) | (digit & 0x7F);
    if (value > largest) throw DeltaError(std::string(field) + " is too large");
    if ((digit & 0x80) == 0) return value;
  }
}

std::span<const std::uint8_t> ByteReader::Bytes(std::size_t count) {
  if (count > Left()) EndsEarly();
  const std::span<const std::uint8_t> bytes = m_bytes.subspan(m_position, count);
  m_position += count;
  return bytes;
}

std::size_t IntegerLength(std::uint64_t value) {
  std::size_t length = 1;
  while (value >>= 7) ++length;
  return length;
}

void AppendInteger(std::vector<std::uint8_t>& out, std::uint64_t value) {
  const std::size_t length = IntegerLength(value);
  for (std::size_t i = length; i-- > 0;)
    out.push_back(static_cast<std::uint8_t>(((value >> (7 * i)) & 0x7F) | (i > 0 ? 0x80 : 0)));
}

}  // namespace vcdiff
