#include <gtest/gtest.h>

#include <vector>

#include "platform/base/win_user.h"
#include "platform/resources/dialog_init.h"

namespace kp::resources {
namespace {
// The record a dialog template carries for one texture slot: control 1005,
// load-from-stream, 21 bytes of data.
// clang-format off
const BYTE kTextureSlotRecords[] = {
    0xED, 0x03,              // control id 1005
    0x76, 0x03,              // WM_OCC_LOADFROMSTREAM
    0x15, 0x00, 0x00, 0x00,  // 21 bytes of data
    0x00, 0x00, 0x00, 0x00,  //   count 0: no license key
    0x00, 0x00, 0x01, 0x00,  //   _Version 0x00010000
    0x2B, 0x05, 0x00, 0x00,  //   _ExtentX 1323
    0x60, 0x05, 0x00, 0x00,  //   _ExtentY 1376
    0x00, 0x00, 0x00, 0x00,  //   _StockProps 0
    0x70,                    //   InitiallyDroppable
    0xF3, 0x03,              // control id 1011
    0x43, 0x01,              // CB_ADDSTRING
    0x0D, 0x00, 0x00, 0x00,  // 13 bytes
    'T', 'e', 'x', 't', 'u', 'r', 'e', ' ', 'S', 'e', 't', ' ', 0,
    0x00, 0x00,              // end of the data
    0xCC, 0xCC,              // padding after the end
};
// clang-format on

TEST(DialogInit, SplitsRecordsAndReadsACreationRecord) {
  std::vector<DialogInitRecord> records;
  ASSERT_EQ(ParseDialogInit(kTextureSlotRecords, records), DialogInitError::None);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].controlId, 1005);
  EXPECT_EQ(records[0].message, WM_OCC_LOADFROMSTREAM);
  EXPECT_EQ(records[0].data.size(), 21u);
  ControlCreationRecord creation;
  ASSERT_EQ(ParseControlCreationRecord(records[0].data, creation), DialogInitError::None);
  EXPECT_TRUE(creation.licenseKey.empty());
  ASSERT_EQ(creation.stream.size(), 17u);
  EXPECT_EQ(creation.stream[2], 0x01);
  EXPECT_EQ(creation.stream[16], 0x70);

  EXPECT_EQ(records[1].controlId, 1011);
  EXPECT_EQ(records[1].message, CB_ADDSTRING);
  std::string_view text;
  ASSERT_EQ(ParseDialogInitString(records[1].data, text), DialogInitError::None);
  EXPECT_EQ(text, "Texture Set ");
}

TEST(DialogInit, ReadsALicenseKeyBeforeTheStream) {
  const BYTE data[] = {3, 0, 0, 0, 'K', 'E', 'Y', 0xAA, 0xBB};
  ControlCreationRecord creation;
  ASSERT_EQ(ParseControlCreationRecord(data, creation), DialogInitError::None);
  EXPECT_EQ(creation.licenseKey, "KEY");
  ASSERT_EQ(creation.stream.size(), 2u);
  EXPECT_EQ(creation.stream[0], 0xAA);
}

TEST(DialogInit, EmptyDataIsJustTheTerminator) {
  const BYTE data[] = {0, 0};
  std::vector<DialogInitRecord> records{{1, 2, {}}};
  EXPECT_EQ(ParseDialogInit(data, records), DialogInitError::None);
  EXPECT_TRUE(records.empty());
}

TEST(DialogInit, RejectsMalformedData) {
  struct Row {
    const char* what;
    std::vector<BYTE> bytes;
    DialogInitError expected;
  } rows[] = {
      {"nothing at all", {}, DialogInitError::NoTerminator},
      {"one byte", {0}, DialogInitError::NoTerminator},
      {"header cut short", {1, 0, 0x43, 1, 2, 0}, DialogInitError::RecordCutShort},
      {"data past the end", {1, 0, 0x43, 1, 9, 0, 0, 0, 'a', 0, 0, 0}, DialogInitError::DataCutShort},
      {"length near 4 GiB", {1, 0, 0x43, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}, DialogInitError::DataCutShort},
      {"no terminator", {1, 0, 0x43, 1, 2, 0, 0, 0, 'a', 0}, DialogInitError::NoTerminator},
      {"half a terminator", {1, 0, 0x43, 1, 2, 0, 0, 0, 'a', 0, 0}, DialogInitError::NoTerminator},
  };
  for (const Row& row : rows) {
    std::vector<DialogInitRecord> records;
    EXPECT_EQ(ParseDialogInit(row.bytes, records), row.expected) << row.what;
  }
}

TEST(DialogInit, RejectsMalformedRecordData) {
  std::string_view text;
  const BYTE noNul[] = {'a', 'b'};
  EXPECT_EQ(ParseDialogInitString(noNul, text), DialogInitError::StringNotTerminated);
  EXPECT_EQ(ParseDialogInitString({}, text), DialogInitError::StringNotTerminated);
  ControlCreationRecord creation;
  const BYTE shortCount[] = {0, 0, 0};
  EXPECT_EQ(ParseControlCreationRecord(shortCount, creation), DialogInitError::CreationRecordCutShort);
  const BYTE longKey[] = {5, 0, 0, 0, 'a', 'b'};
  EXPECT_EQ(ParseControlCreationRecord(longKey, creation), DialogInitError::CreationRecordCutShort);
  const BYTE hugeKey[] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ParseControlCreationRecord(hugeKey, creation), DialogInitError::CreationRecordCutShort);
}
}  // namespace
}  // namespace kp::resources
