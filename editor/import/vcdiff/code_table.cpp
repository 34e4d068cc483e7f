#include "editor/import/vcdiff/code_table.h"

namespace vcdiff {
namespace {

using enum InstructionType;

// Where each group of the table begins.
constexpr int kFirstAdd = 1;    // ADD with the size to follow, then sizes 1 to 17
constexpr int kFirstCopy = 19;  // per mode: COPY with the size to follow, then sizes 4 to 18
constexpr int kCopySizesPerMode = 16;
constexpr int kFirstAddCopy = 163;   // modes 0 to 5: ADD 1 to 4, COPY 4 to 6
constexpr int kFirstAddCopy4 = 235;  // modes 6 to 8: ADD 1 to 4, COPY 4
constexpr int kFirstCopyAdd = 247;   // every mode: COPY 4, ADD 1
constexpr std::uint8_t kLastAddCopyMode = 5;

constexpr std::array<CodeEntry, 256> MakeTable() {
  std::array<CodeEntry, 256> table{};
  table[0].first = {Run, 0, 0};
  for (int size = 0; size <= 17; ++size) table[kFirstAdd + size].first = {Add, static_cast<std::uint8_t>(size), 0};
  for (int mode = 0; mode < kAddressModes; ++mode) {
    const int base = kFirstCopy + kCopySizesPerMode * mode;
    table[base].first = {Copy, 0, static_cast<std::uint8_t>(mode)};
    for (int size = 4; size <= 18; ++size)
      table[base + size - 3].first = {Copy, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(mode)};
  }
  int opcode = kFirstAddCopy;
  for (int mode = 0; mode <= kLastAddCopyMode; ++mode)
    for (int add = 1; add <= 4; ++add)
      for (int copy = 4; copy <= 6; ++copy, ++opcode)
        table[opcode] = {{Add, static_cast<std::uint8_t>(add), 0},
                         {Copy, static_cast<std::uint8_t>(copy), static_cast<std::uint8_t>(mode)}};
  for (int mode = kLastAddCopyMode + 1; mode < kAddressModes; ++mode)
    for (int add = 1; add <= 4; ++add, ++opcode)
      table[opcode] = {{Add, static_cast<std::uint8_t>(add), 0}, {Copy, 4, static_cast<std::uint8_t>(mode)}};
  for (int mode = 0; mode < kAddressModes; ++mode, ++opcode)
    table[opcode] = {{Copy, 4, static_cast<std::uint8_t>(mode)}, {Add, 1, 0}};
  return table;
}

constexpr std::array<CodeEntry, 256> kTable = MakeTable();

}  // namespace

const std::array<CodeEntry, 256>& DefaultCodeTable() { return kTable; }

std::uint8_t RunOpcode() { return 0; }

bool AddOpcodeHasSize(std::uint32_t size) { return size >= 1 && size <= 17; }
bool CopyOpcodeHasSize(std::uint32_t size) { return size >= 4 && size <= 18; }

std::uint8_t AddOpcode(std::uint32_t size) {
  return static_cast<std::uint8_t>(kFirstAdd + (AddOpcodeHasSize(size) ? size : 0));
}

std::uint8_t CopyOpcode(std::uint32_t size, std::uint8_t mode) {
  const int base = kFirstCopy + kCopySizesPerMode * mode;
  return static_cast<std::uint8_t>(CopyOpcodeHasSize(size) ? base + static_cast<int>(size) - 3 : base);
}

std::optional<std::uint8_t> AddCopyOpcode(std::uint32_t addSize, std::uint32_t copySize, std::uint8_t mode) {
  if (addSize < 1 || addSize > 4 || mode >= kAddressModes) return std::nullopt;
  const int add = static_cast<int>(addSize) - 1;
  if (mode <= kLastAddCopyMode) {
    if (copySize < 4 || copySize > 6) return std::nullopt;
    return static_cast<std::uint8_t>(kFirstAddCopy + 12 * mode + 3 * add + static_cast<int>(copySize) - 4);
  }
  if (copySize != 4) return std::nullopt;
  return static_cast<std::uint8_t>(kFirstAddCopy4 + 4 * (mode - kLastAddCopyMode - 1) + add);
}

std::optional<std::uint8_t> CopyAddOpcode(std::uint32_t copySize, std::uint8_t mode, std::uint32_t addSize) {
  if (copySize != 4 || addSize != 1 || mode >= kAddressModes) return std::nullopt;
  return static_cast<std::uint8_t>(kFirstCopyAdd + mode);
}

}  // namespace vcdiff
