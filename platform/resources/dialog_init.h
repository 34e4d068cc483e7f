#pragma once
// Dialog-initialisation data (resource type RT_DLGINIT, the dialog's id):
// what a container does to a dialog's controls once they exist.
//
// Layout, little-endian, records packed one after another:
//   WORD  control id   (0 ends the data)
//   WORD  message      (CB_ADDSTRING, WM_OCC_LOADFROMSTREAM...)
//   DWORD length       of the data that follows
//   BYTE  data[length]
// and a final zero WORD. Bytes after the terminator are padding and are
// ignored.
//
// The data of a CB_ADDSTRING record is a NUL-terminated string. The data of
// a WM_OCC_LOADFROMSTREAM record is a control creation record:
//   DWORD count        bytes of the license key that follows (0: none)
//   BYTE  key[count]   the key's text, not NUL-terminated
//   BYTE  stream[...]  the rest: the control's persisted stream
// A non-zero count is read as the length in bytes of a license key that
// stands before the stream. Our templates carry 0.
//
// Every parser here checks every length against the bytes it was given and
// answers an error value for anything malformed.

#include <span>
#include <string_view>
#include <vector>

#include "platform/base/win_types.h"

namespace kp::resources {

enum class DialogInitError {
  None,
  RecordCutShort,          // fewer than 8 bytes where a record header should be
  DataCutShort,            // a record's length runs past the end
  NoTerminator,            // the data ends without the zero WORD
  StringNotTerminated,     // CB_ADDSTRING data without a NUL
  CreationRecordCutShort,  // fewer than 4 bytes, or a key longer than the data
};

struct DialogInitRecord {
  WORD controlId;
  WORD message;
  std::span<const BYTE> data;  // points into the parsed bytes
};

struct ControlCreationRecord {
  std::string_view licenseKey;   // empty when the count is 0
  std::span<const BYTE> stream;  // the control's stream
};

// Splits dialog-init data into its records, in order.
DialogInitError ParseDialogInit(std::span<const BYTE> bytes, std::vector<DialogInitRecord>& records);
// The text of a CB_ADDSTRING record (up to its first NUL).
DialogInitError ParseDialogInitString(std::span<const BYTE> data, std::string_view& text);
// The parts of a WM_OCC_LOADFROMSTREAM record.
DialogInitError ParseControlCreationRecord(std::span<const BYTE> data, ControlCreationRecord& record);

}  // namespace kp::resources
