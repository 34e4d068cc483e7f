#pragma once
// SHA-256 (FIPS 180-4), for telling whether bytes are the ones expected:
// the before- and after-images of patches, and the source a patch file was
// made for. Incremental, so a whole shapes file can be digested in pieces.
// On x86-64 processors with the SHA extensions those do the work, about
// six times as fast as the portable code (a shapes file in some 8 ms
// rather than 50), which runs everywhere else.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kp::base {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  void Update(std::span<const std::uint8_t> bytes);
  // The digest of everything given; the object is then spent.
  Sha256Digest Finish();

 private:
  // Runs `count` whole 64-byte blocks through the state.
  void Compress(const std::uint8_t* blocks, std::size_t count);

  std::array<std::uint32_t, 8> m_state;
  std::array<std::uint8_t, 64> m_block{};
  std::size_t m_blockUsed = 0;
  std::uint64_t m_totalBytes = 0;
};

Sha256Digest Sha256Of(std::span<const std::uint8_t> bytes);

// Whether digests use the processor's SHA instructions: true where there
// are any, unless turned off (by tests, to check the portable code too).
bool Sha256UsesProcessorInstructions();
void AllowSha256ProcessorInstructions(bool allow);

// Lower-case hexadecimal, 64 characters.
std::string DigestHex(const Sha256Digest& digest);

}  // namespace kp::base
