// Fuzz target for the patch history's readers: its index and its entries,
// which a crash can leave cut short or torn. The first byte chooses which
// reader gets the rest (even: the index; odd: an entry). What one reads must
// write back to bytes that read the same again.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "editor/import/patch_history.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const BYTE> rest(data + 1, size - 1);
  if (data[0] % 2 == 0) {
    const auto entries = ParseHistoryIndex(std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
    if (entries && ParseHistoryIndex(FormatHistoryIndex(*entries)) != entries) std::abort();
  } else {
    const auto entry = DecodeHistoryEntry(rest);
    if (entry && DecodeHistoryEntry(EncodeHistoryEntry(entry->first, entry->second)) != entry) std::abort();
  }
  return 0;
}
