#pragma once
// Deltas built by hand for tests, field by field, so that a test can make
// any delta, valid or damaged in one field, and say which in a line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/import/vcdiff/adler32.h"
#include "editor/import/vcdiff/delta_bytes.h"
#include "editor/import/vcdiff/delta_format.h"

namespace vcdiff_tests {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

// `length` bytes that look random and are the same for the same seed.
inline Bytes Pattern(std::size_t length, std::uint32_t seed) {
  Bytes bytes(length);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  return bytes;
}

inline Bytes Integer(std::uint64_t value) {
  Bytes bytes;
  vcdiff::AppendInteger(bytes, value);
  return bytes;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

// The magic, the header indicator and what follows it.
inline Bytes Header(std::uint8_t indicator = 0, const Bytes& rest = {}) {
  return Join({{0xD6, 0xC3, 0xC4, 0x00, indicator}, rest});
}

struct WindowSpec {
  std::uint8_t indicator = 0;  // kWindowSource, kWindowTarget, kWindowAdler32
  std::uint64_t segmentLength = 0;
  std::uint64_t segmentPosition = 0;
  std::uint64_t targetLength = 0;
  std::uint8_t deltaIndicator = 0;
  Bytes data;
  Bytes instructions;
  Bytes addresses;
  // With kWindowAdler32: the checksum written; by default that of `target`.
  std::optional<std::uint32_t> adler;
  std::string target;  // what the window makes, for its checksum
  // Added to the encoding length, to damage it.
  std::int64_t encodingLengthError = 0;
};

inline void AppendWindow(Bytes& delta, const WindowSpec& window) {
  delta.push_back(window.indicator);
  if ((window.indicator & (vcdiff::kWindowSource | vcdiff::kWindowTarget)) != 0) {
    vcdiff::AppendInteger(delta, window.segmentLength);
    vcdiff::AppendInteger(delta, window.segmentPosition);
  }
  Bytes encoding = Integer(window.targetLength);
  encoding.push_back(window.deltaIndicator);
  for (const Bytes* section : {&window.data, &window.instructions, &window.addresses})
    vcdiff::AppendInteger(encoding, section->size());
  if ((window.indicator & vcdiff::kWindowAdler32) != 0) {
    const Bytes target = Text(window.target);
    const std::uint32_t adler = window.adler ? *window.adler : vcdiff::Adler32(target);
    for (int shift = 24; shift >= 0; shift -= 8) encoding.push_back(static_cast<std::uint8_t>(adler >> shift));
  }
  for (const Bytes* section : {&window.data, &window.instructions, &window.addresses})
    encoding.insert(encoding.end(), section->begin(), section->end());
  vcdiff::AppendInteger(
      delta, static_cast<std::uint64_t>(static_cast<std::int64_t>(encoding.size()) + window.encodingLengthError));
  delta.insert(delta.end(), encoding.begin(), encoding.end());
}

inline Bytes Delta(const Bytes& header, std::initializer_list<WindowSpec> windows) {
  Bytes delta = header;
  for (const WindowSpec& window : windows) AppendWindow(delta, window);
  return delta;
}

// Opcodes of the default code table, as the tests name them.
constexpr std::uint8_t kRun = 0;
constexpr std::uint8_t Add(int size) { return static_cast<std::uint8_t>(1 + size); }  // 1 to 17; 0: size follows
constexpr std::uint8_t Copy(int size, int mode) {                                     // 4 to 18; 0: size follows
  return static_cast<std::uint8_t>(19 + 16 * mode + (size == 0 ? 0 : size - 3));
}

}  // namespace vcdiff_tests
