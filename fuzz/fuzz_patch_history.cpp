// Fuzz target for the patch history's readers: its index and its entries,
// which a crash can leave cut short or torn. The first byte chooses which
// reader gets the rest: 0 mod 3 the index, 1 an entry, 2 an entry whose last
// four bytes are first made the checksum of the rest, so that mutations
// reach what lies behind the checksum. What one reads must write back to
// bytes that read the same again.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "editor/import/patch_history.h"
#include "editor/import/record_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::vector<BYTE> rest(data + 1, data + size);
  if (data[0] % 3 == 0) {
    const auto entries = ParseHistoryIndex(std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
    if (entries && ParseHistoryIndex(FormatHistoryIndex(*entries)) != entries) std::abort();
    return 0;
  }
  if (data[0] % 3 == 2 && rest.size() >= 4) {
    const std::uint32_t crc = Crc32(std::span(rest).first(rest.size() - 4));
    for (int i = 0; i < 4; ++i) rest[rest.size() - 4 + static_cast<std::size_t>(i)] = static_cast<BYTE>(crc >> (8 * i));
  }
  const auto entry = DecodeHistoryEntry(rest);
  if (entry && DecodeHistoryEntry(EncodeHistoryEntry(entry->first, entry->second)) != entry) std::abort();
  return 0;
}
