#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/gdi/tests/bmp_forms.h"
#include "platform/gdi/tests/gdi_test_support.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/temp_environment.h"

namespace kp::gdi::testing {
namespace {

using kp::testing::BmpForm;
using kp::testing::BuildBmp;
using kp::testing::BuiltBmp;

std::string WriteFile(const std::string& name, std::span<const BYTE> bytes) {
  const std::string path = kp::testing::TemporaryRoot() + "/" + name;
  kp::testing::WriteFileBytes(path, bytes);
  return path;
}

HBITMAP Load(const std::string& path, int cx = 0, int cy = 0) {
  return static_cast<HBITMAP>(
      LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

// Pixel (x, y) of a bottom-up list, y from the top.
std::uint32_t Expected(const BuiltBmp& bmp, int x, int y) {
  return bmp.expected[static_cast<std::size_t>(bmp.height - 1 - y) * bmp.width + x];
}

TEST_F(GdiTest, LoadsEveryBitmapFormByContentWithItsDepth) {
  for (const BmpForm& form : kBmpForms) {
    SCOPED_TRACE(form.name);
    const BuiltBmp bmp = BuildBmp(form, 5, 3);
    // No .bmp extension: the content decides.
    Canvas canvas(Load(WriteFile("picture.dat", bmp.file)));
    ASSERT_NE(canvas.bitmap(), nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObject(canvas.bitmap(), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, form.bitCount);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(canvas.At(x, y), Expected(bmp, x, y)) << x << "," << y;
  }
}

TEST_F(GdiTest, LoadImageRefusesWhatIsNotALoadableBitmap) {
  const BuiltBmp bmp = BuildBmp(BmpForm{"24 bits", 40, 24, BI_RGB}, 5, 3);
  std::vector<BYTE> zeroWidth = bmp.file;
  zeroWidth[18] = 0;
  std::vector<BYTE> huge = bmp.file;
  huge[18] = huge[19] = huge[22] = huge[23] = 0xFF;  // 65535 x 65535
  const std::string text = "This is not a picture.\n";
  struct Row {
    const char* what;
    std::vector<BYTE> bytes;
  };
  const Row rows[] = {
      {"text", std::vector<BYTE>(text.begin(), text.end())},
      {"empty", {}},
      {"truncated", std::vector<BYTE>(bmp.file.begin(), bmp.file.end() - 20)},
      {"header only", std::vector<BYTE>(bmp.file.begin(), bmp.file.begin() + 30)},
      {"zero width", zeroWidth},
      {"huge", huge},
  };
  for (const Row& r : rows) EXPECT_EQ(Load(WriteFile("bad.bmp", r.bytes)), nullptr) << r.what;
  EXPECT_EQ(Load(kp::testing::TemporaryRoot() + "/missing.bmp"), nullptr);
  EXPECT_EQ(Load(kp::testing::TemporaryRoot()), nullptr) << "a folder";
  const std::string fifo = kp::testing::TemporaryRoot() + "/pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Load(fifo), nullptr) << "a pipe, refused without waiting for a writer";
  unlink(fifo.c_str());
  const std::string good = WriteFile("good.bmp", bmp.file);
  EXPECT_EQ(LoadImage(nullptr, good.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImage(nullptr, good.c_str(), IMAGE_BITMAP, 0, 0, 0), nullptr) << "no resource loader installed";
}

// A 2 x 2 PNG with alpha: red, green / transparent, blue at alpha 128.
// clang-format off
constexpr BYTE kPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
    0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xB6, 0x0D, 0x24, 0x00, 0x00, 0x00, 0x12, 0x49,
    0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x0C, 0x21, 0xE0, 0x7F, 0x03, 0x00, 0x37, 0x5B,
    0x05, 0x7C, 0xF5, 0xB7, 0x88, 0x60, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// A 1 x 1 GIF whose pixel is colour 0 of a red-and-black table.
constexpr BYTE kGif[] = {'G',  'I',  'F',  '8',  '9',  'a',  0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
                         0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};

TEST_F(GdiTest, OtherFormatsLoadThroughTheDecoderHookAndComposeOverWhite) {
  // Named .bmp on purpose: only the content counts.
  Canvas png(Load(WriteFile("photo.bmp", kPng)));
  ASSERT_NE(png.bitmap(), nullptr);
  EXPECT_EQ(png.At(0, 0), 0x00FF0000u);
  EXPECT_EQ(png.At(1, 0), 0x0000FF00u);
  EXPECT_EQ(png.At(0, 1), 0x00FFFFFFu) << "transparent shows white";
  EXPECT_EQ(png.At(1, 1), 0x007F7FFFu) << "half blue over white";
  BITMAP bm{};
  GetObject(png.bitmap(), sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  Canvas gif(Load(WriteFile("anim.gif", kGif)));
  ASSERT_NE(gif.bitmap(), nullptr);
  EXPECT_EQ(gif.At(0, 0), 0x00FF0000u);
}
// clang-format on

TEST_F(GdiTest, LoadImageResizesByNearestSampleWhenAskedTo) {
  const BuiltBmp bmp = BuildBmp(BmpForm{"24 bits", 40, 24, BI_RGB}, 5, 3);
  Canvas canvas(Load(WriteFile("resize.bmp", bmp.file), 10, 2));
  ASSERT_NE(canvas.bitmap(), nullptr);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(canvas.At(x, y), Expected(bmp, x / 2, y * 3 / 2)) << x << "," << y;
}

TEST_F(GdiTest, LoadImageHandsResourceNamesToTheInstalledLoader) {
  static LPCTSTR asked = nullptr;
  kp::gdi::SetResourceImageLoader([](HINSTANCE, LPCTSTR name, UINT, int, int, UINT) -> HANDLE {
    asked = name;
    return CreateCompatibleBitmap(nullptr, 1, 1);
  });
  ScopedBitmap bitmap(static_cast<HBITMAP>(LoadImage(nullptr, MAKEINTRESOURCE(243), IMAGE_BITMAP, 0, 0, 0)));
  kp::gdi::SetResourceImageLoader(nullptr);
  EXPECT_TRUE(bitmap);
  EXPECT_EQ(asked, MAKEINTRESOURCE(243));
}

}  // namespace
}  // namespace kp::gdi::testing
