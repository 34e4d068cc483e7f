#include "editor/import/vcdiff/delta_decoder.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include "editor/import/vcdiff/address_cache.h"
#include "editor/import/vcdiff/adler32.h"
#include "editor/import/vcdiff/code_table.h"
#include "editor/import/vcdiff/delta_bytes.h"
#include "editor/import/vcdiff/lzma_sections.h"

namespace vcdiff {
namespace {

std::string UnsupportedCompressorMessage(std::uint8_t id) {
  const std::optional<std::string> name = SecondaryCompressorName(id);
  std::string which = "an unknown secondary compressor (id " + std::to_string(id) + ")";
  if (name) {
    which = *name;
    std::transform(which.begin(), which.end(), which.begin(), [](char c) { return static_cast<char>(c - 'a' + 'A'); });
    which += " (xdelta3 -S " + *name + ")";
  }
  return "its sections are compressed with " + which +
         ", which Kestrow cannot read; make the patch again with xdelta3 -S lzma (its default) or -S none";
}

// How many times the largest target the compressed sections of a delta may
// expand to, all together, and its target segments add up to. A delta's
// data is never longer than its target, its instructions and addresses
// take a few bytes for every COPY of four bytes or more that an encoder
// writes, and a target segment is worth copying for the window after it:
// all well under this.
constexpr std::uint64_t kExpansionBound = 4;

// The three sections of a window, in the order they are stored.
enum Section { kData, kInstructions, kAddresses, kSectionCount };
constexpr std::uint8_t kCompressedBit[kSectionCount] = {kDataCompressed, kInstructionsCompressed, kAddressesCompressed};
constexpr const char* kSectionName[kSectionCount] = {"a window's data section", "a window's instruction section",
                                                     "a window's address section"};

class Decoder {
 public:
  Decoder(const DeltaHeader& header, std::span<const std::uint8_t> source, const DecodeLimits& limits,
          DeltaTarget& target)
      : m_header(header), m_source(source), m_limits(limits), m_target(target) {}

  void Window(ByteReader& delta);
  const DecodeSummary& Summary() const { return m_summary; }

 private:
  std::span<const std::uint8_t> CopySegment(ByteReader& delta, std::uint8_t indicator);
  std::span<const std::uint8_t> Expand(Section section, std::span<const std::uint8_t> stored, bool compressed);
  void Run(std::span<const std::uint8_t> segment, const std::array<std::span<const std::uint8_t>, 3>& sections);

  const DeltaHeader& m_header;
  std::span<const std::uint8_t> m_source;
  DecodeLimits m_limits;
  DeltaTarget& m_target;
  DecodeSummary m_summary;
  std::unique_ptr<LzmaSectionDecoder> m_lzma[kSectionCount];
  std::vector<std::uint8_t> m_expanded[kSectionCount];
  std::vector<std::uint8_t> m_targetSegment;
  std::vector<std::uint8_t> m_window;
  std::uint64_t m_expandedBytes = 0;
  std::uint64_t m_copiedBytes = 0;  // of the target, into target segments
};

std::span<const std::uint8_t> Decoder::CopySegment(ByteReader& delta, std::uint8_t indicator) {
  // Offsets are read as 64-bit values and then held to what there is.
  constexpr std::uint64_t kLargestOffset = UINT64_MAX >> 8;
  if ((indicator & kWindowSource) != 0) {
    const std::uint64_t length = delta.Integer(kLargestOffset, "a window's source segment length");
    const std::uint64_t position = delta.Integer(kLargestOffset, "a window's source segment position");
    if (length > m_source.size() || position > m_source.size() - length)
      throw DeltaError("a window copies from beyond the end of the source: it was made from a longer file");
    return m_source.subspan(static_cast<std::size_t>(position), static_cast<std::size_t>(length));
  }
  if ((indicator & kWindowTarget) != 0) {
    const std::uint64_t produced = m_summary.targetLength;
    const std::uint64_t length = delta.Integer(produced, "a window's target segment length");
    const std::uint64_t position = delta.Integer(produced - length, "a window's target segment position");
    // Each such segment is a copy of target bytes; a small delta of many
    // windows may not make that copying unbounded.
    m_copiedBytes += length;
    if (m_copiedBytes > kExpansionBound * m_limits.largestTarget)
      throw DeltaError("its windows copy more of the target than any target of its length needs");
    m_targetSegment.resize(static_cast<std::size_t>(length));
    m_target.ReadTaken(position, m_targetSegment);
    return m_targetSegment;
  }
  return {};
}

std::span<const std::uint8_t> Decoder::Expand(Section section, std::span<const std::uint8_t> stored, bool compressed) {
  if (!compressed) return stored;
  // A compressor the header names is LZMA: DecodeDelta refuses any other
  // before the first window.
  if (!m_header.secondaryCompressor)
    throw DeltaError("a window has compressed sections but the header names no compressor");
  if (!m_lzma[section]) m_lzma[section] = std::make_unique<LzmaSectionDecoder>(m_limits.largestTarget);
  m_lzma[section]->Decompress(stored, m_limits.largestTarget, m_expanded[section]);
  // However many windows there are, their sections may not expand to more
  // than a target of the largest length could need, so that decoding a
  // small delta cannot take unbounded time.
  m_expandedBytes += m_expanded[section].size();
  if (m_expandedBytes > kExpansionBound * m_limits.largestTarget)
    throw DeltaError("its compressed sections expand to more than any target of its length needs");
  return m_expanded[section];
}

void Decoder::Window(ByteReader& delta) {
  const std::uint8_t indicator = delta.Byte();
  if ((indicator & ~(kWindowSource | kWindowTarget | kWindowAdler32)) != 0)
    throw DeltaError("a window has indicator bits that mean nothing");
  if ((indicator & kWindowSource) != 0 && (indicator & kWindowTarget) != 0)
    throw DeltaError("a window copies from both the source and the target");
  const std::span<const std::uint8_t> segment = CopySegment(delta, indicator);

  const std::uint64_t encodingLength = delta.Integer(delta.Left(), "a window's encoding length");
  const std::size_t encodingStart = delta.Position();
  const std::uint64_t targetLength =
      delta.Integer(m_limits.largestTarget - m_summary.targetLength, "the target it makes");
  const std::uint8_t deltaIndicator = delta.Byte();
  if ((deltaIndicator & ~(kDataCompressed | kInstructionsCompressed | kAddressesCompressed)) != 0)
    throw DeltaError("a window has delta indicator bits that mean nothing");
  std::uint64_t lengths[kSectionCount];
  for (std::uint64_t& length : lengths) length = delta.Integer(delta.Left(), "a window's section length");
  std::uint32_t checksum = 0;
  if ((indicator & kWindowAdler32) != 0)
    for (const std::uint8_t byte : delta.Bytes(4)) checksum = (checksum << 8) | byte;
  if (delta.Position() - encodingStart + lengths[kData] + lengths[kInstructions] + lengths[kAddresses] !=
      encodingLength)
    throw DeltaError("a window's encoding length disagrees with its sections");

  std::array<std::span<const std::uint8_t>, kSectionCount> stored;
  for (int section = 0; section < kSectionCount; ++section)
    stored[section] = delta.Bytes(static_cast<std::size_t>(lengths[section]));
  std::array<std::span<const std::uint8_t>, kSectionCount> sections;
  for (int section = 0; section < kSectionCount; ++section)
    sections[section] =
        Expand(static_cast<Section>(section), stored[section], (deltaIndicator & kCompressedBit[section]) != 0);

  m_window.resize(static_cast<std::size_t>(targetLength));
  Run(segment, sections);
  if ((indicator & kWindowAdler32) != 0) {
    if (Adler32(m_window) != checksum)
      throw DeltaError("window " + std::to_string(m_summary.windows + 1) +
                       " does not match its checksum: the delta is damaged, or was made from another source");
    ++m_summary.checkedWindows;
  }
  m_target.TakeWindow(m_summary.targetLength, m_window);
  m_summary.targetLength += targetLength;
  ++m_summary.windows;
}

// Runs the window's instructions into m_window. Addresses count from the
// start of the copy segment and go on into the target window itself, so a
// COPY may repeat bytes it is itself making.
void Decoder::Run(std::span<const std::uint8_t> segment,
                  const std::array<std::span<const std::uint8_t>, kSectionCount>& sections) {
  ByteReader instructions(sections[kInstructions], kSectionName[kInstructions]);
  ByteReader data(sections[kData], kSectionName[kData]);
  ByteReader addresses(sections[kAddresses], kSectionName[kAddresses]);
  const std::array<CodeEntry, 256>& table = DefaultCodeTable();
  AddressCache cache;
  std::uint8_t* const out = m_window.data();
  const std::size_t length = m_window.size();
  std::size_t at = 0;
  while (!instructions.AtEnd()) {
    const CodeEntry& entry = table[instructions.Byte()];
    for (const HalfInstruction& half : {entry.first, entry.second}) {
      if (half.type == InstructionType::None) continue;
      const std::uint64_t size =
          half.size != 0 ? half.size : instructions.Integer(length - at, "an instruction's size");
      if (size > length - at) throw DeltaError("an instruction runs past the end of its window");
      const auto count = static_cast<std::size_t>(size);
      switch (half.type) {
        case InstructionType::Add: {
          const std::span<const std::uint8_t> bytes = data.Bytes(count);
          std::copy(bytes.begin(), bytes.end(), out + at);
          break;
        }
        case InstructionType::Run: std::fill_n(out + at, count, data.Byte()); break;
        case InstructionType::Copy: {
          const std::uint64_t address = cache.Decode(segment.size() + at, half.mode, addresses);
          std::size_t done = 0;
          std::size_t from = 0;  // where the rest begins in the target window
          if (address < segment.size()) {
            done = std::min<std::size_t>(count, static_cast<std::size_t>(segment.size() - address));
            std::copy_n(segment.data() + address, done, out + at);
          } else {
            from = static_cast<std::size_t>(address - segment.size());
          }
          // A copy that overlaps the bytes it makes repeats them, so it
          // goes byte by byte.
          const std::size_t rest = count - done;
          if (from + rest <= at + done) {
            std::copy_n(out + from, rest, out + at + done);
          } else {
            for (std::size_t i = 0; i < rest; ++i) out[at + done + i] = out[from + i];
          }
          break;
        }
        case InstructionType::None: break;
      }
      at += count;
    }
  }
  if (at != length) throw DeltaError("a window's instructions make fewer bytes than it says");
  if (!data.AtEnd()) throw DeltaError("a window's data section holds bytes no instruction uses");
  if (!addresses.AtEnd()) throw DeltaError("a window's address section holds addresses no instruction uses");
}

}  // namespace

DeltaHeader ReadDeltaHeader(std::span<const std::uint8_t> delta, std::size_t largestApplicationData) {
  if (delta.size() < 4 || !std::equal(kMagic, kMagic + 3, delta.begin())) throw DeltaError("it is not a VCDIFF delta");
  if (delta[3] != 0) throw DeltaError("it is a VCDIFF delta of version " + std::to_string(delta[3]) + ", not 0");
  ByteReader reader(delta.subspan(4), "the header");
  DeltaHeader header;
  const std::uint8_t indicator = reader.Byte();
  if ((indicator & ~(kHeaderSecondary | kHeaderCodeTable | kHeaderApplication)) != 0)
    throw DeltaError("its header has indicator bits that mean nothing");
  if ((indicator & kHeaderSecondary) != 0) header.secondaryCompressor = reader.Byte();
  if ((indicator & kHeaderCodeTable) != 0)
    throw DeltaError("it brings a code table of its own, which xdelta3 neither writes nor reads");
  if ((indicator & kHeaderApplication) != 0) {
    const std::uint64_t length = reader.Integer(largestApplicationData, "its application data's length");
    const std::span<const std::uint8_t> bytes = reader.Bytes(static_cast<std::size_t>(length));
    header.applicationData.emplace(bytes.begin(), bytes.end());
  }
  header.windowsOffset = 4 + reader.Position();
  return header;
}

DecodeSummary DecodeDelta(std::span<const std::uint8_t> delta, std::span<const std::uint8_t> source,
                          const DecodeLimits& limits, DeltaTarget& target) {
  const DeltaHeader header = ReadDeltaHeader(delta, static_cast<std::size_t>(limits.largestTarget));
  if (header.secondaryCompressor && *header.secondaryCompressor != kSecondaryLzma)
    throw DeltaError(UnsupportedCompressorMessage(*header.secondaryCompressor));
  Decoder decoder(header, source, limits, target);
  ByteReader windows(delta.subspan(header.windowsOffset), "a window");
  while (!windows.AtEnd()) decoder.Window(windows);
  return decoder.Summary();
}

void WholeTarget::TakeWindow(std::uint64_t, std::span<const std::uint8_t> bytes) {
  m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void WholeTarget::ReadTaken(std::uint64_t offset, std::span<std::uint8_t> into) const {
  std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), into.size(), into.begin());
}

}  // namespace vcdiff
