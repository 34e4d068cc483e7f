#include <gtest/gtest.h>

#include <vector>

#include "platform/afx/prop_persistence.h"
#include "platform/com/com_ptr.h"
#include "platform/com/memory_stream.h"
#include "platform/testing/memory_property_bag.h"

namespace prop_exchange_tests {

using kp::com::ComPtr;

// The persisted state of a control like the bitmap drop control: a version,
// the extents, the stock-property mask, and one BOOL.
struct Props {
  DWORD versionLoaded = 0;
  LONG extentX = 100;
  LONG extentY = 200;
  LONG stockProps = 0;
  BOOL droppable = 5;
  SHORT zoom = 1;
  bool withZoom = false;

  void DoPropExchange(CPropExchange* pPX) {
    pPX->ExchangeVersion(versionLoaded, 0x00010000, TRUE);
    PX_Long(pPX, "_ExtentX", extentX, 2540);
    PX_Long(pPX, "_ExtentY", extentY, 2540);
    PX_Long(pPX, "_StockProps", stockProps, 0);
    PX_Bool(pPX, "InitiallyDroppable", droppable, TRUE);
    if (withZoom) PX_Short(pPX, "Zoom", zoom, 3);
  }
  kp::afx::PropExchangeFn Exchange() {
    return [this](CPropExchange* pPX) { DoPropExchange(pPX); };
  }
};

// The 17 bytes of a texture slot's record: version 1.0, extents 1323 x 1376,
// no stock properties, InitiallyDroppable byte 0x70.
const std::vector<BYTE> kSlotStream = {
    0x00, 0x00, 0x01, 0x00,  // _Version 0x00010000
    0x2B, 0x05, 0x00, 0x00,  // _ExtentX 1323
    0x60, 0x05, 0x00, 0x00,  // _ExtentY 1376
    0x00, 0x00, 0x00, 0x00,  // _StockProps
    0x70,                    // InitiallyDroppable
};

ComPtr<IStream> StreamOn(const std::vector<BYTE>& bytes) {
  ComPtr<IStream> stream;
  EXPECT_EQ(kp::com::CreateStreamOnBytes(bytes, stream.put()), S_OK);
  return stream;
}

TEST(StreamPropExchange, AControlStreamLoadsAndSavesBackByteForByte) {
  Props props;
  ASSERT_EQ(kp::afx::LoadPropsFromStream(StreamOn(kSlotStream).get(), props.Exchange()), S_OK);
  EXPECT_EQ(props.versionLoaded, 0x00010000u);
  EXPECT_EQ(props.extentX, 1323);
  EXPECT_EQ(props.extentY, 1376);
  EXPECT_EQ(props.stockProps, 0);
  EXPECT_EQ(props.droppable, 0x70) << "the member is cleared and the byte becomes its low byte";
  EXPECT_TRUE(props.droppable);

  ComPtr<IStream> saved;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, saved.put()), S_OK);
  ASSERT_EQ(kp::afx::SavePropsToStream(saved.get(), props.Exchange()), S_OK);
  EXPECT_EQ(kp::com::ReadWholeStream(saved.get()), kSlotStream);
  EXPECT_EQ(kp::afx::PropsStreamSize(props.Exchange()), 17u);
}

TEST(StreamPropExchange, FieldsAreLittleEndianInExchangeOrder) {
  Props props;
  props.versionLoaded = 0x00020003;  // saving writes the current version, not the loaded one
  props.extentX = -2;
  props.extentY = 0x01020304;
  props.stockProps = 7;
  props.droppable = 0x1FF;  // only the low byte is stored
  props.withZoom = true;
  props.zoom = -300;
  ComPtr<IStream> saved;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, saved.put()), S_OK);
  ASSERT_EQ(kp::afx::SavePropsToStream(saved.get(), props.Exchange()), S_OK);
  EXPECT_EQ(kp::com::ReadWholeStream(saved.get()),
            (std::vector<BYTE>{0x00, 0x00, 0x01, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0x07, 0x00, 0x00,
                               0x00, 0xFF, 0xD4, 0xFE}));
}

TEST(StreamPropExchange, AStreamThatEndsEarlyResetsEveryPropertyAndFails) {
  for (std::size_t length : {std::size_t{0}, std::size_t{3}, std::size_t{16}}) {
    Props props;
    std::vector<BYTE> cut(kSlotStream.begin(), kSlotStream.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(kp::afx::LoadPropsFromStream(StreamOn(cut).get(), props.Exchange()), E_FAIL) << length;
    EXPECT_EQ(props.versionLoaded, 0x00010000u) << length;
    EXPECT_EQ(props.extentX, 2540) << length;
    EXPECT_EQ(props.extentY, 2540) << length;
    EXPECT_EQ(props.droppable, TRUE) << length;
  }
}

TEST(StreamPropExchange, AZeroByteLoadsAsFalseAndAnyOtherAsTrue) {
  for (BYTE b : {BYTE{0x00}, BYTE{0x01}, BYTE{0x70}, BYTE{0xFF}}) {
    std::vector<BYTE> bytes = kSlotStream;
    bytes[16] = b;
    Props props;
    ASSERT_EQ(kp::afx::LoadPropsFromStream(StreamOn(bytes).get(), props.Exchange()), S_OK);
    EXPECT_EQ(props.droppable != FALSE, b != 0) << int(b);
  }
}

TEST(PropBagExchange, PropertiesAreStoredByNameAndMissingOnesTakeTheirDefaults) {
  ComPtr<IPropertyBag> bag;
  ASSERT_EQ(kp::com::CreateMemoryPropertyBag(bag.put()), S_OK);
  Props saved;
  saved.droppable = FALSE;
  saved.extentX = 4815;
  ASSERT_EQ(kp::afx::SavePropsToBag(bag.get(), saved.Exchange()), S_OK);
  EXPECT_EQ(kp::com::PropertyBagNames(bag.get()),
            (std::vector<std::string>{"_Version", "_ExtentX", "_ExtentY", "_StockProps", "InitiallyDroppable"}));

  Props loaded;
  loaded.withZoom = true;  // a property the bag never held
  loaded.zoom = 9;
  ASSERT_EQ(kp::afx::LoadPropsFromBag(bag.get(), nullptr, loaded.Exchange()), S_OK);
  EXPECT_EQ(loaded.extentX, 4815);
  EXPECT_EQ(loaded.droppable, FALSE);
  EXPECT_EQ(loaded.zoom, 3);
}

TEST(ResetPropExchange, EveryPropertyTakesItsDefault) {
  Props props;
  kp::afx::ResetProps(props.Exchange());
  EXPECT_EQ(props.versionLoaded, 0x00010000u);
  EXPECT_EQ(props.extentX, 2540);
  EXPECT_EQ(props.droppable, TRUE);
}

}  // namespace prop_exchange_tests
