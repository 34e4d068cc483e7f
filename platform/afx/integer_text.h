#pragma once
// What data exchange accepts as an integer: optional blanks, an optional
// sign, one or more decimal digits, optional blanks, and a value that fits
// the field (32 bits).

#include <optional>
#include <string_view>

#include "platform/base/win_types.h"

namespace kp::afx {
std::optional<int> ParseInt32(std::string_view text);
}  // namespace kp::afx
