#pragma once
// The sets as the editor's set list names them, and the SET argument of the
// command line: the list position 1 to 8, or the list string itself.

#include <array>
#include <optional>
#include <string_view>

#include "editor/shapes/set_kinds.h"

inline constexpr std::array<const char*, kSetCount> kSetListStrings = {
    "Texture Set # 1", "Texture Set # 2", "Texture Set # 3", "Texture Set # 4",
    "Landscape # 1",   "Landscape # 2",   "Landscape # 3",   "Landscape # 4",
};

// The set index (0 to 7) that `text` names, or nothing when it names none.
std::optional<int> ParseSetArgument(std::string_view text);
