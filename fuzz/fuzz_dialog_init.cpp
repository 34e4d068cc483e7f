// Fuzz target for dialog-init data: the record list, and the data of every
// record read as a list string and as a control creation record.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/resources/dialog_init.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kp::resources;
  std::span<const BYTE> bytes(data, size);
  std::vector<DialogInitRecord> records;
  ParseDialogInit(bytes, records);
  // The first bytes alone are also tried as record data, so the record
  // parsers meet inputs of every shape.
  records.push_back(DialogInitRecord{1, 0, bytes});
  for (const DialogInitRecord& record : records) {
    if (record.data.data() < data && !record.data.empty()) std::abort();
    std::string_view text;
    if (ParseDialogInitString(record.data, text) == DialogInitError::None && text.size() >= record.data.size())
      std::abort();
    ControlCreationRecord creation;
    if (ParseControlCreationRecord(record.data, creation) == DialogInitError::None &&
        creation.licenseKey.size() + creation.stream.size() + 4 != record.data.size())
      std::abort();
  }
  return 0;
}
