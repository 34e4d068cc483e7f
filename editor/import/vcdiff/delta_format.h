#pragma once
// The fixed values of the delta format: the file's magic, the bits of the
// header, window and delta indicators, the secondary compressors by their
// ids, and the instruction types. xdelta3 adds two indicator bits of its
// own, which every delta it writes uses: application data in the header,
// and an Adler-32 of each target window.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace vcdiff {

// 0xD6 0xC3 0xC4 are "VCD" with the high bit set; the fourth byte is the
// version, always 0.
inline constexpr std::uint8_t kMagic[4] = {0xD6, 0xC3, 0xC4, 0x00};

// Header indicator.
inline constexpr std::uint8_t kHeaderSecondary = 0x01;    // a secondary compressor id follows
inline constexpr std::uint8_t kHeaderCodeTable = 0x02;    // an application-defined code table follows
inline constexpr std::uint8_t kHeaderApplication = 0x04;  // application data follows (xdelta3)

// Window indicator.
inline constexpr std::uint8_t kWindowSource = 0x01;   // COPY reaches a segment of the source
inline constexpr std::uint8_t kWindowTarget = 0x02;   // COPY reaches a segment of the target decoded so far
inline constexpr std::uint8_t kWindowAdler32 = 0x04;  // an Adler-32 of the target window follows (xdelta3)

// Delta indicator: which sections went through the secondary compressor.
inline constexpr std::uint8_t kDataCompressed = 0x01;
inline constexpr std::uint8_t kInstructionsCompressed = 0x02;
inline constexpr std::uint8_t kAddressesCompressed = 0x04;

// Secondary compressors, by the ids xdelta3 writes.
inline constexpr std::uint8_t kSecondaryDjw = 1;
inline constexpr std::uint8_t kSecondaryLzma = 2;
inline constexpr std::uint8_t kSecondaryFgk = 16;

// The name of a secondary compressor id as xdelta3's -S option spells it,
// or nothing for an id nobody writes.
std::optional<std::string> SecondaryCompressorName(std::uint8_t id);

enum class InstructionType : std::uint8_t { None, Add, Run, Copy };

// Everything wrong with a delta, with a message that says what; thrown by
// the decoder, which writes nothing before it has decoded a window whole.
class DeltaError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vcdiff
