// Fuzz target for the patch journal's reader. A journal is read after a
// crash, which can leave any bytes in it: they must give a journal or
// nothing, and a journal that was read must write back to the same bytes,
// so that nothing in it goes unchecked by its checksum.
//
// The first byte of the input is not the journal's: when it is odd, the
// journal's last four bytes are first made the checksum of the rest, so
// that mutations reach what lies behind the checksum too.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "editor/import/patch_journal.h"
#include "editor/import/record_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::vector<BYTE> bytes(data + 1, data + size);
  if (data[0] % 2 == 1 && bytes.size() >= 4) {
    const std::uint32_t crc = Crc32(std::span(bytes).first(bytes.size() - 4));
    for (int i = 0; i < 4; ++i)
      bytes[bytes.size() - 4 + static_cast<std::size_t>(i)] = static_cast<BYTE>(crc >> (8 * i));
  }
  const std::optional<PatchJournal> journal = DecodeJournal(bytes);
  if (journal && EncodeJournal(*journal) != bytes) std::abort();
  return 0;
}
