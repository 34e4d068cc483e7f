#pragma once
// ASCII rules of the platform's names and text formats. Names of registry
// keys and values, type-library types and members, dispatch members and
// persisted properties match without regard to the case of ASCII letters;
// every other byte (UTF-8 among them) matches only itself, whatever the
// locale. Hex digits are those of GUIDs and of the text formats' escapes.

#include <string>
#include <string_view>

namespace kp::base {

// The name with 'A' to 'Z' made 'a' to 'z', and every other byte as it is.
std::string FoldCase(std::string_view text);
bool EqualNoCase(std::string_view a, std::string_view b);
// The order of names under FoldCase, for maps found by any case.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// The value of one hex digit, either case; -1 for any other character.
int HexDigit(char c);

}  // namespace kp::base
