#pragma once
// The SET argument of the command line: the position in the editor's set
// list, 1 to 8, or the list string itself (kSetListStrings).

#include <optional>
#include <string_view>

#include "editor/shapes/set_kinds.h"

// The set index (0 to 7) that `text` names, or nothing when it names none.
std::optional<int> ParseSetArgument(std::string_view text);
