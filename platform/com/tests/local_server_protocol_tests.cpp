#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/local_server_protocol.h"

namespace kp::com::wire {
namespace {
TEST(LocalServerProtocol, InvokeRequestsRoundTripWithTheirArguments) {
  InvokeRequest request;
  request.dispid = 2;
  request.lcid = 0x409;
  request.flags = DISPATCH_METHOD;
  request.wantResult = true;
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocStringLen("a\0b", 3);
  VARIANT number;
  VariantInit(&number);
  number.vt = VT_R8;
  number.dblVal = -2.5;
  request.args = {text, number};
  std::vector<BYTE> body;
  ASSERT_EQ(Encode(request, body), S_OK);
  InvokeRequest back;
  ASSERT_TRUE(Decode(body, back));
  EXPECT_EQ(back.dispid, 2);
  EXPECT_EQ(back.lcid, 0x409u);
  EXPECT_TRUE(back.wantResult);
  ASSERT_EQ(back.args.size(), 2u);
  EXPECT_EQ(back.args[0].vt, VT_BSTR);
  ASSERT_EQ(SysStringLen(back.args[0].bstrVal), 3u);
  EXPECT_EQ(std::memcmp(back.args[0].bstrVal, "a\0b", 3), 0);
  EXPECT_EQ(back.args[1].dblVal, -2.5);
}

TEST(LocalServerProtocol, RefusesWhatCannotCrossAProcess) {
  InvokeRequest request;
  LONG pixel = 0;
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &pixel;
  request.args = {ref};
  std::vector<BYTE> body;
  EXPECT_EQ(Encode(request, body), DISP_E_TYPEMISMATCH);
  request.args.clear();  // nothing of the caller's is freed
}

TEST(LocalServerProtocol, RejectsMalformedMessages) {
  std::vector<BYTE> good = Encode(NamesRequest{0, {"Ping"}});
  NamesRequest names;
  ASSERT_TRUE(Decode(good, names));
  for (std::size_t length = 0; length < good.size(); ++length) {
    std::vector<BYTE> cut(good.begin(), good.begin() + static_cast<long>(length));
    EXPECT_FALSE(Decode(cut, names)) << "cut at " << length;
  }
  std::vector<BYTE> longer = good;
  longer.push_back(0);
  EXPECT_FALSE(Decode(longer, names));
  ActivateRequest activate;
  EXPECT_FALSE(Decode(good, activate));  // another message's type
  // A count no body could hold is refused before anything is reserved.
  std::vector<BYTE> huge = {3, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_FALSE(Decode(huge, names));
}

TEST(LocalServerProtocol, FramesArriveWholeOrNotAtAll) {
  FrameBuffer buffer;
  std::vector<BYTE> body;
  const BYTE twoFrames[] = {1, 0, 0, 0, 42, 2, 0, 0, 0, 7, 8};
  buffer.Append(twoFrames, 6);
  ASSERT_EQ(buffer.Next(body), FrameBuffer::Result::Frame);
  EXPECT_EQ(body, std::vector<BYTE>{42});
  EXPECT_EQ(buffer.Next(body), FrameBuffer::Result::NeedMore);
  buffer.Append(twoFrames + 6, 4);
  EXPECT_EQ(buffer.Next(body), FrameBuffer::Result::NeedMore);
  buffer.Append(twoFrames + 10, 1);
  ASSERT_EQ(buffer.Next(body), FrameBuffer::Result::Frame);
  EXPECT_EQ(body, (std::vector<BYTE>{7, 8}));
  const BYTE tooBig[] = {0, 0, 0, 0x40};
  buffer.Append(tooBig, 4);
  EXPECT_EQ(buffer.Next(body), FrameBuffer::Result::Malformed);
}
}  // namespace
}  // namespace kp::com::wire
