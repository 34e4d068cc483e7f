#include <gtest/gtest.h>

#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/memory_stream.h"

namespace kp::com {
namespace {
LARGE_INTEGER Offset(LONGLONG v) {
  LARGE_INTEGER l{};
  l.QuadPart = v;
  return l;
}

TEST(MemoryStream, WritesReadsAndSeeksLikeAStream) {
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  const BYTE control[17] = {0x00, 0x00, 0x01, 0x00, 0x2B, 0x05, 0, 0, 0x60, 0x05, 0, 0, 0, 0, 0, 0, 0x70};
  ULONG written = 0;
  ASSERT_EQ(stream->Write(control, sizeof control, &written), S_OK);
  EXPECT_EQ(written, 17u);
  ULARGE_INTEGER position{};
  ASSERT_EQ(stream->Seek(Offset(0), STREAM_SEEK_SET, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 0u);
  BYTE back[32] = {};
  ULONG read = 0;
  ASSERT_EQ(stream->Read(back, sizeof back, &read), S_OK);
  EXPECT_EQ(read, 17u);  // a short read at the end is not an error
  EXPECT_EQ(std::vector<BYTE>(back, back + 17), std::vector<BYTE>(control, control + 17));
  ASSERT_EQ(stream->Read(back, 4, &read), S_OK);
  EXPECT_EQ(read, 0u);
  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 17u);
  EXPECT_EQ(stat.type, static_cast<DWORD>(STGTY_STREAM));
}

TEST(MemoryStream, RefusesPositionsBeforeTheStartAndFillsGapsWithZeros) {
  ComPtr<IStream> stream;
  const BYTE start[] = {1, 2, 3};
  ASSERT_EQ(CreateStreamOnBytes(start, stream.put()), S_OK);
  ULARGE_INTEGER position{};
  EXPECT_EQ(stream->Seek(Offset(-4), STREAM_SEEK_END, &position), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Seek(Offset(0), 7, &position), STG_E_INVALIDFUNCTION);
  ASSERT_EQ(stream->Seek(Offset(2), STREAM_SEEK_END, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 5u);
  const BYTE tail[] = {9};
  ASSERT_EQ(stream->Write(tail, 1, nullptr), S_OK);
  EXPECT_EQ(ReadWholeStream(stream.get()), (std::vector<BYTE>{1, 2, 3, 0, 0, 9}));
  // Reading the whole stream leaves the position where it was.
  ASSERT_EQ(stream->Seek(Offset(0), STREAM_SEEK_CUR, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 6u);
  ULARGE_INTEGER size{};
  size.QuadPart = 2;
  ASSERT_EQ(stream->SetSize(size), S_OK);
  EXPECT_EQ(ReadWholeStream(stream.get()), (std::vector<BYTE>{1, 2}));
}

TEST(MemoryStream, ClonesShareBytesButNotPosition) {
  ComPtr<IStream> stream;
  const BYTE start[] = {1, 2, 3, 4};
  ASSERT_EQ(CreateStreamOnBytes(start, stream.put()), S_OK);
  ASSERT_EQ(stream->Seek(Offset(1), STREAM_SEEK_SET, nullptr), S_OK);
  ComPtr<IStream> clone;
  ASSERT_EQ(stream->Clone(clone.put()), S_OK);
  BYTE b = 0;
  ASSERT_EQ(clone->Read(&b, 1, nullptr), S_OK);
  EXPECT_EQ(b, 2);
  const BYTE seven = 7;
  ASSERT_EQ(stream->Write(&seven, 1, nullptr), S_OK);
  EXPECT_EQ(ReadWholeStream(clone.get()), (std::vector<BYTE>{1, 7, 3, 4}));
  // CopyTo moves the rest of one stream to another.
  ComPtr<IStream> target;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, target.put()), S_OK);
  ULARGE_INTEGER all{};
  all.QuadPart = 100;
  ULARGE_INTEGER read{}, written{};
  ASSERT_EQ(clone->CopyTo(target.get(), all, &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 2u);
  EXPECT_EQ(ReadWholeStream(target.get()), (std::vector<BYTE>{3, 4}));
}

TEST(MemoryStream, CreateStreamOnHGlobalTakesNoExistingMemory) {
  ComPtr<IStream> stream;
  int memory = 0;
  EXPECT_EQ(CreateStreamOnHGlobal(&memory, TRUE, stream.put()), E_INVALIDARG);
  EXPECT_FALSE(stream);
}
}  // namespace
}  // namespace kp::com
