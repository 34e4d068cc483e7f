// Fuzz target for the patch journal's reader. A journal is read after a
// crash, which can leave any bytes in it: they must give a journal or
// nothing, and a journal that was read must write back to the same bytes,
// so that nothing in it goes unchecked by its checksum.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "editor/import/patch_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<PatchJournal> journal = DecodeJournal(std::span<const BYTE>(data, size));
  if (journal && EncodeJournal(*journal) != std::vector<BYTE>(data, data + size)) std::abort();
  return 0;
}
