#include <gtest/gtest.h>

#include "editor/shapes/set_kinds.h"
#include "editor/shapes/shapes_file_open.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {
using shapes_tests::HeldByOtherProcess;
using shapes_tests::TempPath;
using shapes_tests::WriteShapes;

// What another program may hold the file with.
constexpr UINT kOtherWrites = CFile::modeReadWrite | CFile::shareDenyNone;
constexpr UINT kOtherReads = CFile::modeRead | CFile::shareDenyNone;

struct ShareCase {
  const char* name;
  UINT held;  // by the other process
  ShapesFileUse use;
  bool opens;
};

// clang-format off
const ShareCase kShareCases[] = {
    {"writer_blocks_load", kOtherWrites, ShapesFileUse::LoadSet, false},
    {"writer_blocks_image_finder", kOtherWrites, ShapesFileUse::ImageFinder, false},
    {"writer_blocks_palette_bitmap", kOtherWrites, ShapesFileUse::GeneratePaletteBitmap, false},
    {"reader_blocks_patch", kOtherReads, ShapesFileUse::Patch, false},
    {"reader_blocks_palette_bitmap", kOtherReads, ShapesFileUse::GeneratePaletteBitmap, false},
    {"reader_allows_load", kOtherReads, ShapesFileUse::LoadSet, true},
    {"reader_allows_image_finder", kOtherReads, ShapesFileUse::ImageFinder, true},
    {"loading_editor_allows_load", ShapesFileOpenFlags(ShapesFileUse::LoadSet), ShapesFileUse::LoadSet, true},
    {"loading_editor_blocks_patch", ShapesFileOpenFlags(ShapesFileUse::LoadSet), ShapesFileUse::Patch, false},
    {"patching_editor_blocks_load", ShapesFileOpenFlags(ShapesFileUse::Patch), ShapesFileUse::LoadSet, false},
    {"palette_bitmap_blocks_load", ShapesFileOpenFlags(ShapesFileUse::GeneratePaletteBitmap),
     ShapesFileUse::LoadSet, false},
};
// clang-format on

void PrintTo(const ShareCase& c, std::ostream* os) { *os << c.name; }

class ShapesFileSharing : public ::testing::TestWithParam<ShareCase> {};

TEST_P(ShapesFileSharing, OpensOnlyWhenTheOtherProcessAllowsIt) {
  const ShareCase& c = GetParam();
  std::string path = WriteShapes(std::string("shared-") + c.name, std::vector<BYTE>(64, 0));
  {
    HeldByOtherProcess other(path, c.held);
    ASSERT_TRUE(other.Holding());
    CFile file;
    ShapesFileOpenResult result = OpenShapesFile(file, path.c_str(), c.use);
    EXPECT_EQ(result.opened, c.opens);
    EXPECT_EQ(file.IsOpen(), c.opens);
    if (!c.opens) {
      EXPECT_EQ(result.error.m_cause, CFileException::sharingViolation);
    }
  }
  CFile file;
  EXPECT_TRUE(OpenShapesFile(file, path.c_str(), c.use).opened) << "once the other process lets go";
}

INSTANTIATE_TEST_SUITE_P(Uses, ShapesFileSharing, ::testing::ValuesIn(kShareCases),
                         [](const ::testing::TestParamInfo<ShareCase>& row) { return row.param.name; });

TEST(OpenShapesFile, WarnsAboutAnyLengthButTheExpectedOne) {
  const struct {
    ULONGLONG length;
    bool expected;
  } rows[] = {{kExpectedShapesFileSize, true},
              {kExpectedShapesFileSize - 1, false},
              {kExpectedShapesFileSize + 1, false},
              {0, false}};
  for (const auto& row : rows) {
    std::string path = TempPath("sized.shp2");
    {
      std::vector<BYTE> bytes(static_cast<std::size_t>(row.length), 0);
      sample_shapes::WriteBytes(path, bytes);
    }
    for (ShapesFileUse use : {ShapesFileUse::LoadSet, ShapesFileUse::ImageFinder, ShapesFileUse::Patch,
                              ShapesFileUse::GeneratePaletteBitmap}) {
      CFile file;
      ShapesFileOpenResult result = OpenShapesFile(file, path.c_str(), use);
      ASSERT_TRUE(result.opened) << "a wrong length is only a warning";
      EXPECT_EQ(result.expectedSize, row.expected) << row.length;
      EXPECT_EQ(result.length, row.length);
    }
  }
}

TEST(OpenShapesFile, MissingFileIsNotOpened) {
  CFile file;
  std::string path = TempPath("no-such.shp2");
  ShapesFileOpenResult result = OpenShapesFile(file, path.c_str(), ShapesFileUse::LoadSet);
  EXPECT_FALSE(result.opened);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(result.error.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(result.error.m_strFileName, CString(path));
}

TEST(OpenShapesFile, OnlyPatchMayWrite) {
  std::string path = WriteShapes("writable.shp2", std::vector<BYTE>(8, 0));
  for (ShapesFileUse use : {ShapesFileUse::LoadSet, ShapesFileUse::ImageFinder, ShapesFileUse::Patch,
                            ShapesFileUse::GeneratePaletteBitmap}) {
    CFile file;
    ASSERT_TRUE(OpenShapesFile(file, path.c_str(), use).opened);
    const BYTE byte = 0x42;
    bool wrote = true;
    try {
      file.Write(&byte, 1);
    } catch (const CFileException&) {
      wrote = false;
    }
    EXPECT_EQ(wrote, use == ShapesFileUse::Patch);
  }
}

TEST(OpenShapesFile, MessagesAreTheEditorsOwnTexts) {
  EXPECT_STREQ(kShapesFileOpenFailedMessage,
               "Unable to open selected shapes file\nMake sure it is not in use by another application");
  EXPECT_STREQ(kShapesFileSizeWarning, "Selected shapes file is not the expected size!");
}

}  // namespace
