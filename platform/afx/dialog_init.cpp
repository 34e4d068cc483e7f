#include "platform/afx/dialog_init.h"

namespace kp::afx {
namespace {
WORD ReadWord(std::span<const BYTE> b, std::size_t at) { return static_cast<WORD>(b[at] | (b[at + 1] << 8)); }
DWORD ReadDword(std::span<const BYTE> b, std::size_t at) {
  return static_cast<DWORD>(b[at]) | (static_cast<DWORD>(b[at + 1]) << 8) | (static_cast<DWORD>(b[at + 2]) << 16) |
         (static_cast<DWORD>(b[at + 3]) << 24);
}
}  // namespace

std::optional<std::vector<DialogInitRecord>> ParseDialogInit(std::span<const BYTE> bytes) {
  std::vector<DialogInitRecord> records;
  if (bytes.empty()) return records;
  std::size_t at = 0;
  for (;;) {
    if (bytes.size() - at < 2) return std::nullopt;
    WORD id = ReadWord(bytes, at);
    if (id == 0) return records;
    if (bytes.size() - at < 8) return std::nullopt;
    WORD message = ReadWord(bytes, at + 2);
    DWORD length = ReadDword(bytes, at + 4);
    at += 8;
    if (length > bytes.size() - at) return std::nullopt;
    records.push_back(DialogInitRecord{id, message, bytes.subspan(at, length)});
    at += length;
  }
}

}  // namespace kp::afx
