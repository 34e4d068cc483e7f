#include "platform/resources/dialog_init.h"

#include <cstring>

namespace kp::resources {
namespace {
WORD ReadWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD ReadDword(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}
}  // namespace

DialogInitError ParseDialogInit(std::span<const BYTE> bytes, std::vector<DialogInitRecord>& records) {
  records.clear();
  std::size_t pos = 0;
  while (true) {
    std::size_t left = bytes.size() - pos;
    if (left < 2) return DialogInitError::NoTerminator;
    WORD controlId = ReadWord(bytes.data() + pos);
    if (controlId == 0) return DialogInitError::None;
    if (left < 8) return DialogInitError::RecordCutShort;
    WORD message = ReadWord(bytes.data() + pos + 2);
    DWORD length = ReadDword(bytes.data() + pos + 4);
    pos += 8;
    if (length > bytes.size() - pos) return DialogInitError::DataCutShort;
    records.push_back(DialogInitRecord{controlId, message, bytes.subspan(pos, length)});
    pos += length;
  }
}

DialogInitError ParseDialogInitString(std::span<const BYTE> data, std::string_view& text) {
  const void* nul = data.empty() ? nullptr : std::memchr(data.data(), 0, data.size());
  if (nul == nullptr) return DialogInitError::StringNotTerminated;
  text = std::string_view(reinterpret_cast<const char*>(data.data()),
                          static_cast<std::size_t>(static_cast<const BYTE*>(nul) - data.data()));
  return DialogInitError::None;
}

DialogInitError ParseControlCreationRecord(std::span<const BYTE> data, ControlCreationRecord& record) {
  if (data.size() < 4) return DialogInitError::CreationRecordCutShort;
  DWORD count = ReadDword(data.data());
  if (count > data.size() - 4) return DialogInitError::CreationRecordCutShort;
  record.licenseKey = std::string_view(reinterpret_cast<const char*>(data.data() + 4), count);
  record.stream = data.subspan(4 + count);
  return DialogInitError::None;
}

}  // namespace kp::resources
