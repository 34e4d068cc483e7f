#pragma once
// The default instruction code table: each of the 256 opcodes of the
// instruction section stands for one or two instructions, with a size (0:
// the size follows in the instruction section) and, for COPY, the address
// mode. Its address cache has 4 near and 3 same slots, so the modes are 0
// (self), 1 (here), 2 to 5 (near) and 6 to 8 (same).

#include <array>
#include <cstdint>
#include <optional>

#include "editor/import/vcdiff/delta_format.h"

namespace vcdiff {

inline constexpr int kNearSlots = 4;
inline constexpr int kSameSlots = 3;
inline constexpr int kAddressModes = 2 + kNearSlots + kSameSlots;
inline constexpr std::uint8_t kSelfMode = 0;
inline constexpr std::uint8_t kHereMode = 1;

struct HalfInstruction {
  InstructionType type = InstructionType::None;
  std::uint8_t size = 0;  // 0: read from the instruction section
  std::uint8_t mode = 0;  // COPY only
};

struct CodeEntry {
  HalfInstruction first;
  HalfInstruction second;
};

const std::array<CodeEntry, 256>& DefaultCodeTable();

// The opcodes an encoder picks from: one instruction with its size in the
// table when there is such an entry, else with the size to follow.
std::uint8_t RunOpcode();  // the size always follows
std::uint8_t AddOpcode(std::uint32_t size);
std::uint8_t CopyOpcode(std::uint32_t size, std::uint8_t mode);
bool AddOpcodeHasSize(std::uint32_t size);
bool CopyOpcodeHasSize(std::uint32_t size);
// One opcode for an ADD and the COPY after it, or for a COPY and the ADD
// after it, when the table has one for those sizes and mode.
std::optional<std::uint8_t> AddCopyOpcode(std::uint32_t addSize, std::uint32_t copySize, std::uint8_t mode);
std::optional<std::uint8_t> CopyAddOpcode(std::uint32_t copySize, std::uint8_t mode, std::uint32_t addSize);

}  // namespace vcdiff
