#include "tools/kestrow_cli/set_names.h"

std::optional<int> ParseSetArgument(std::string_view text) {
  // One digit: the list position, counted from 1 as the user sees the list.
  if (text.size() == 1 && text[0] >= '1' && text[0] < '1' + kSetCount) return text[0] - '1';
  for (int set = 0; set < kSetCount; ++set)
    if (text == kSetListStrings[static_cast<std::size_t>(set)]) return set;
  return std::nullopt;
}
