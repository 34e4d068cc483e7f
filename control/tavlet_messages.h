#pragma once
// The control's own message: a dropped or pasted picture it cannot take.

namespace tavlet {
inline constexpr char kInvalidDropMessage[] =
    "Invalid file dropped-- file must be of type 'bmp'.\n"
    "If file is a 'bmp' file, try converting it to a\n"
    "different color-depth or compression mode.";
}  // namespace tavlet
