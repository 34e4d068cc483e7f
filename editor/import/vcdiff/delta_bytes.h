#pragma once
// Reading and writing the delta's fields. Integers are written base 128,
// most significant digit first, every byte but the last with its high bit
// set. Every read is checked against the end of its bytes and against the
// largest value the field may take, so that a damaged or hostile delta is
// refused with a DeltaError before any value is used.

#include <cstdint>
#include <span>
#include <vector>

#include "editor/import/vcdiff/delta_format.h"

namespace vcdiff {

class ByteReader {
 public:
  // `what` names the bytes in messages ("the header", "the instruction
  // section").
  ByteReader(std::span<const std::uint8_t> bytes, const char* what) : m_bytes(bytes), m_what(what) {}

  bool AtEnd() const { return m_position == m_bytes.size(); }
  std::size_t Position() const { return m_position; }
  std::size_t Left() const { return m_bytes.size() - m_position; }

  std::uint8_t Byte();
  // An integer no larger than `largest`; `field` names it in the message.
  std::uint64_t Integer(std::uint64_t largest, const char* field);
  std::span<const std::uint8_t> Bytes(std::size_t count);

 private:
  [[noreturn]] void EndsEarly() const;

  std::span<const std::uint8_t> m_bytes;
  std::size_t m_position = 0;
  const char* m_what;
};

void AppendInteger(std::vector<std::uint8_t>& out, std::uint64_t value);
// How many bytes AppendInteger writes for `value`.
std::size_t IntegerLength(std::uint64_t value);

}  // namespace vcdiff
