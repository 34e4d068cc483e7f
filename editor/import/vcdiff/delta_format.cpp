#include "editor/import/vcdiff/delta_format.h"

namespace vcdiff {

std::optional<std::string> SecondaryCompressorName(std::uint8_t id) {
  switch (id) {
    case kSecondaryDjw: return "djw";
    case kSecondaryLzma: return "lzma";
    case kSecondaryFgk: return "fgk";
    default: return std::nullopt;
  }
}

}  // namespace vcdiff
