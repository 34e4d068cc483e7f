#include "platform/afx/integer_text.h"

#include <limits>

namespace kp::afx {
namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The value of the text as a wide integer, or nothing when it is not a
// decimal integer or is far outside the 32-bit range.
std::optional<long long> ParseWide(std::string_view text) {
  std::size_t i = 0;
  std::size_t end = text.size();
  while (i < end && IsBlank(text[i])) ++i;
  while (end > i && IsBlank(text[end - 1])) --end;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == end) return std::nullopt;
  long long value = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    // Stop before the wide value could overflow; anything this big fails.
    if (value > (1LL << 33)) return std::nullopt;
  }
  return negative ? -value : value;
}
}  // namespace

std::optional<int> ParseInt32(std::string_view text) {
  auto value = ParseWide(text);
  if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(*value);
}
}  // namespace kp::afx
