#pragma once
// The thirty texture slots: their control ids and their place in the grid of
// 6 columns and 5 rows. Slot k shows image k of a texture set.

#include <array>

#include "editor/shapes/set_kinds.h"

constexpr int kSlotColumns = 6;
constexpr int kSlotRows = 5;

constexpr std::array<int, kTextureSlotCount> MakeSlotControlIds() {
  std::array<int, kTextureSlotCount> ids{};
  ids[0] = 1005;
  ids[1] = 1006;
  // Slots 2 to 29 take 1018 to 1045; 1007 to 1017 belong to other controls.
  for (int k = 2; k < kTextureSlotCount; ++k) ids[k] = 1016 + k;
  return ids;
}

inline constexpr std::array<int, kTextureSlotCount> SlotControlIds = MakeSlotControlIds();

// 1-based grid position from the top left, as messages name a slot.
constexpr int SlotColumn(int slot) { return slot % kSlotColumns + 1; }
constexpr int SlotRow(int slot) { return slot / kSlotColumns + 1; }
