#include "editor/import/vcdiff/delta_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

#include "editor/import/vcdiff/adler32.h"
#include "editor/import/vcdiff/code_table.h"
#include "editor/import/vcdiff/delta_bytes.h"
#include "editor/import/vcdiff/delta_format.h"

namespace vcdiff {
namespace {

enum Section { kData, kInstructions, kAddresses, kSectionCount };
constexpr std::uint8_t kCompressedBit[kSectionCount] = {kDataCompressed, kInstructionsCompressed, kAddressesCompressed};
// A section shorter than this is stored as it is: LZMA's flush alone would
// cost about as much.
constexpr std::size_t kShortestCompressed = 64;

struct Instruction {
  InstructionType type;
  std::uint32_t size;
  std::uint8_t run;  // RUN: the byte
};

struct Window {
  std::size_t start = 0;
  std::size_t length = 0;
  std::uint32_t adler = 0;
  std::array<std::vector<std::uint8_t>, kSectionCount> sections;
  std::vector<std::uint8_t> head;  // the window's indicator, lengths and checksum
};

// The end of the change that begins at `first`: its differing run, and any
// run after it that begins no more than `mergeGap` unchanged bytes later.
std::size_t ChangeEnd(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target, std::size_t first,
                      std::size_t mergeGap) {
  std::size_t end = first;
  for (;;) {
    end = DifferenceEnd(source, target, end);
    const std::size_t next = FirstDifference(source, target, end);
    if (next == source.size() || next - end > mergeGap) return end;
    end = next;
  }
}

// The instructions that make `target` of one window: COPY of the same
// stretch of the source where nothing changed, ADD or RUN where it did.
std::vector<Instruction> WindowInstructions(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                                            const EncodeOptions& options) {
  std::vector<Instruction> instructions;
  const auto add = [&](std::size_t from, std::size_t to) {
    // Runs of one byte inside a change become RUN.
    std::size_t pending = from;
    for (std::size_t at = from; at < to;) {
      std::size_t end = at + 1;
      while (end < to && target[end] == target[at]) ++end;
      if (end - at >= options.shortestRun) {
        if (at > pending) instructions.push_back({InstructionType::Add, static_cast<std::uint32_t>(at - pending), 0});
        instructions.push_back({InstructionType::Run, static_cast<std::uint32_t>(end - at), target[at]});
        pending = end;
      }
      at = end;
    }
    if (to > pending) instructions.push_back({InstructionType::Add, static_cast<std::uint32_t>(to - pending), 0});
  };
  std::size_t done = 0;
  while (done < target.size()) {
    const std::size_t first = FirstDifference(source, target, done);
    if (first > done) instructions.push_back({InstructionType::Copy, static_cast<std::uint32_t>(first - done), 0});
    if (first == target.size()) break;
    const std::size_t end = ChangeEnd(source, target, first, options.mergeGap);
    add(first, end);
    done = end;
  }
  return instructions;
}

// Writes the instructions into the window's three sections. Every COPY is
// from the same place in the source segment, which begins where the
// window does: in "here" mode its address is always the segment's length
// back from the current position, one value that LZMA all but removes.
void WriteSections(const std::vector<Instruction>& instructions, std::span<const std::uint8_t> target, Window& window) {
  std::vector<std::uint8_t>& data = window.sections[kData];
  std::vector<std::uint8_t>& codes = window.sections[kInstructions];
  std::vector<std::uint8_t>& addresses = window.sections[kAddresses];
  std::size_t at = 0;
  const auto operands = [&](const Instruction& instruction) {
    if (instruction.type == InstructionType::Copy) {
      AppendInteger(addresses, window.length);
    } else if (instruction.type == InstructionType::Add) {
      data.insert(data.end(), target.begin() + static_cast<std::ptrdiff_t>(at),
                  target.begin() + static_cast<std::ptrdiff_t>(at + instruction.size));
    } else {
      data.push_back(instruction.run);
    }
    at += instruction.size;
  };
  for (std::size_t i = 0; i < instructions.size(); ++i) {
    const Instruction& first = instructions[i];
    if (i + 1 < instructions.size()) {
      const Instruction& second = instructions[i + 1];
      std::optional<std::uint8_t> pair;
      if (first.type == InstructionType::Add && second.type == InstructionType::Copy)
        pair = AddCopyOpcode(first.size, second.size, kHereMode);
      else if (first.type == InstructionType::Copy && second.type == InstructionType::Add)
        pair = CopyAddOpcode(first.size, kHereMode, second.size);
      if (pair) {
        codes.push_back(*pair);
        operands(first);
        operands(second);
        ++i;
        continue;
      }
    }
    switch (first.type) {
      case InstructionType::Add:
        codes.push_back(AddOpcode(first.size));
        if (!AddOpcodeHasSize(first.size)) AppendInteger(codes, first.size);
        break;
      case InstructionType::Copy:
        codes.push_back(CopyOpcode(first.size, kHereMode));
        if (!CopyOpcodeHasSize(first.size)) AppendInteger(codes, first.size);
        break;
      case InstructionType::Run:
        codes.push_back(RunOpcode());
        AppendInteger(codes, first.size);
        break;
      case InstructionType::None: break;
    }
    operands(first);
  }
}

std::uint64_t DictionaryFor(std::uint64_t bytes) { return std::bit_ceil(std::max<std::uint64_t>(bytes, 1)); }

}  // namespace

std::size_t FirstDifference(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t from) {
  std::size_t at = from;
  // Eight bytes at a time; the lowest differing byte of a little-endian
  // word is the first.
  for (; at + 8 <= a.size(); at += 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, a.data() + at, 8);
    std::memcpy(&y, b.data() + at, 8);
    if (x != y) {
      const std::uint64_t differ = x ^ y;
      return at + static_cast<std::size_t>(std::endian::native == std::endian::little ? std::countr_zero(differ) / 8
                                                                                      : std::countl_zero(differ) / 8);
    }
  }
  while (at < a.size() && a[at] == b[at]) ++at;
  return at;
}

std::size_t DifferenceEnd(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t from) {
  std::size_t at = from;
  while (at < a.size() && a[at] != b[at]) ++at;
  return at;
}

std::vector<std::uint8_t> EncodeSameLengthDelta(std::span<const std::uint8_t> source,
                                                std::span<const std::uint8_t> target, const EncodeOptions& options) {
  if (source.size() != target.size()) throw std::invalid_argument("source and target differ in length");
  const std::size_t windowSize = std::max<std::size_t>(options.windowSize, 1);

  std::vector<Window> windows;
  std::array<std::uint64_t, kSectionCount> compressedBytes{};
  for (std::size_t start = 0; start < target.size(); start += windowSize) {
    Window& window = windows.emplace_back();
    window.start = start;
    window.length = std::min(windowSize, target.size() - start);
    const std::span<const std::uint8_t> from = source.subspan(start, window.length);
    const std::span<const std::uint8_t> to = target.subspan(start, window.length);
    WriteSections(WindowInstructions(from, to, options), to, window);
    window.adler = Adler32(to);
    for (int section = 0; section < kSectionCount; ++section)
      if (window.sections[section].size() >= kShortestCompressed)
        compressedBytes[section] += window.sections[section].size();
  }

  // One LZMA stream per kind of section, with a dictionary that holds all
  // the stream will carry.
  std::array<std::unique_ptr<LzmaSectionEncoder>, kSectionCount> encoders;
  const bool compress =
      options.compress && (compressedBytes[kData] + compressedBytes[kInstructions] + compressedBytes[kAddresses]) > 0;
  if (compress)
    for (int section = 0; section < kSectionCount; ++section)
      if (compressedBytes[section] > 0)
        encoders[section] =
            std::make_unique<LzmaSectionEncoder>(DictionaryFor(compressedBytes[section]), options.tuning);

  std::vector<std::uint8_t> compressed;
  for (Window& window : windows) {
    std::uint8_t deltaIndicator = 0;
    for (int section = 0; section < kSectionCount; ++section) {
      std::vector<std::uint8_t>& bytes = window.sections[section];
      if (!encoders[section] || bytes.size() < kShortestCompressed) continue;
      compressed.clear();
      encoders[section]->Compress(bytes, compressed);
      bytes.swap(compressed);
      deltaIndicator |= kCompressedBit[section];
    }
    std::uint64_t encodingLength = 1 + IntegerLength(window.length) + 4;
    for (const std::vector<std::uint8_t>& bytes : window.sections)
      encodingLength += IntegerLength(bytes.size()) + bytes.size();

    std::vector<std::uint8_t>& head = window.head;
    head.push_back(kWindowSource | kWindowAdler32);
    AppendInteger(head, window.length);  // the source segment: the same stretch as the window
    AppendInteger(head, window.start);
    AppendInteger(head, encodingLength);
    AppendInteger(head, window.length);
    head.push_back(deltaIndicator);
    for (const std::vector<std::uint8_t>& bytes : window.sections) AppendInteger(head, bytes.size());
    for (int shift = 24; shift >= 0; shift -= 8) head.push_back(static_cast<std::uint8_t>(window.adler >> shift));
  }

  const std::vector<std::uint8_t> application =
      options.applicationData ? options.applicationData() : std::vector<std::uint8_t>();
  std::vector<std::uint8_t> out(kMagic, kMagic + 4);
  out.push_back(
      static_cast<std::uint8_t>((compress ? kHeaderSecondary : 0) | (application.empty() ? 0 : kHeaderApplication)));
  if (compress) out.push_back(kSecondaryLzma);
  if (!application.empty()) {
    AppendInteger(out, application.size());
    out.insert(out.end(), application.begin(), application.end());
  }
  for (const Window& window : windows) {
    out.insert(out.end(), window.head.begin(), window.head.end());
    for (const std::vector<std::uint8_t>& bytes : window.sections) out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

}  // namespace vcdiff
