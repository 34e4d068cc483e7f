// The lists of files other programs hand over: DROPFILES blocks and URI
// lists.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/drop_files.h"

namespace {

using Paths = std::vector<std::string>;

// A DROPFILES block whose list starts at `offset` and holds `list`, given
// as bytes (wide lists as UTF-16 little-endian); its header says the list
// starts at `pFiles`.
std::vector<BYTE> Block(DWORD offset, bool wide, const std::string& list, DWORD pFiles = 0) {
  std::vector<BYTE> block(offset, 0);
  const DROPFILES header{pFiles != 0 ? pFiles : offset, POINT{0, 0}, FALSE, wide ? TRUE : FALSE};
  std::memcpy(block.data(), &header, std::min<std::size_t>(sizeof header, offset));
  block.insert(block.end(), list.begin(), list.end());
  return block;
}

TEST(TransferredFiles, DropFilesBlocksGiveTheirPathsOrNothing) {
  using namespace std::string_literals;
  const struct {
    const char* what;
    std::vector<BYTE> block;
    std::optional<Paths> paths;
  } rows[] = {
      {"two 8-bit paths", Block(20, false, "/tmp/a.bmp\0/b c\0\0"s), Paths{"/tmp/a.bmp", "/b c"}},
      {"paths after a longer header", Block(24, false, "/x\0\0"s), Paths{"/x"}},
      {"UTF-16, with a pair of surrogates", Block(20, true, "/\0\xE9\0\0\0\x3D\xD8\x00\xDE\0\0\0\0"s),
       Paths{"/\xC3\xA9", "\xF0\x9F\x98\x80"}},
      {"an empty list", Block(20, false, "\0\0"s), std::nullopt},
      {"a list that runs past the block", Block(20, false, "/tmp/a.bmp"s), std::nullopt},
      {"half a surrogate pair", Block(20, true, "\x3D\xD8/\0\0\0\0\0"s), std::nullopt},
      {"a list said to start inside the header", Block(20, false, "/x\0\0"s, 8), std::nullopt},
      {"a list said to start past the block", Block(20, false, "/x\0\0"s, 99), std::nullopt},
      {"shorter than the header", std::vector<BYTE>(19, 0), std::nullopt},
  };
  for (const auto& row : rows) EXPECT_EQ(kp::qt::ParseDropFiles(row.block), row.paths) << row.what;
}

TEST(TransferredFiles, UriListsGiveTheirLocalFilesOrNothing) {
  const struct {
    const char* list;
    Paths files;
  } rows[] = {
      {"file:///tmp/a.bmp\r\nfile:///tmp/b%20c.bmp\r\n", {"/tmp/a.bmp", "/tmp/b c.bmp"}},
      {"# a comment\nfile:///tmp/x.png", {"/tmp/x.png"}},
      {"copy\nfile:///home/u/s.shp2\nfile:///home/u/t.shp2", {"/home/u/s.shp2", "/home/u/t.shp2"}},
      {"cut\nfile:///tmp/%C3%A9.bmp", {"/tmp/\xC3\xA9.bmp"}},
      {"file:///tmp/a.bmp\nhttps://example.org/b.png", {}},
      {"copy", {}},
      {"", {}},
  };
  for (const auto& row : rows) EXPECT_EQ(kp::qt::LocalFilesFromUriList(row.list), row.files) << row.list;
}

}  // namespace
