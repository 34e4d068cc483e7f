// The command-line tool against the editor's own path for the same files:
// each picture dropped on a real Tavlet control (created by class id from
// the registry, as the editor's dialog creates its slots), its bitmap taken
// with GetBitmapHandle and patched with PatchSetImages, as Patch does; and
// each image loaded into a control as Load Set loads it and saved with the
// control's own Save As.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "editor/import/set_patch.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_images.h"
#include "editor/shapes/shapes_file_open.h"
#include "platform/base/handles.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/ui_driver.h"
#include "tests/cli/cli_process.h"
#include "tests/control/tavlet_fixture.h"

namespace cli_journeys {
namespace {

using tavlet_host::CHostDlg;
using tavlet_host::CHostedTavlet;
using EditorPath = tavlet_host::TavletTest;

// A photo-like picture: smooth gradients with fine detail, so that the
// scaling and the nearest-colour search both have work to do.
std::vector<BYTE> Photo(int width, int height, int seed) {
  return kp::testing::BitmapFile24(width, height, [=](int x, int y) {
    const double u = static_cast<double>(x) / width;
    const double v = static_cast<double>(y) / height;
    const auto channel = [](double value) { return static_cast<DWORD>(std::clamp(value, 0.0, 255.0)); };
    const DWORD red = channel(128 + 120 * std::sin(6 * u + seed) * std::cos(3 * v));
    const DWORD green = channel(255 * v + 20 * std::sin(0.7 * x + 0.3 * y));
    const DWORD blue = channel(255 * (1 - u) * (0.5 + 0.5 * std::sin(seed + 0.2 * x)));
    return (red << 16) | (green << 8) | blue;
  });
}

struct Picture {
  int image;  // the slot, or 0 for the landscape
  std::string path;
};

// Drops each picture on `control` and patches it into `setIndex` of
// `shapes` exactly as Patch writes a slot's bitmap.
void PatchAsTheEditorDoes(CHostedTavlet& control, const std::string& shapes, int setIndex, BOOL noGamma,
                          const std::vector<Picture>& pictures) {
  for (const Picture& picture : pictures) {
    SCOPED_TRACE(picture.path);
    ASSERT_TRUE(kp::testing::DropFiles(control.m_hWnd, POINT{5, 5}, {picture.path}));
    kp::testing::ProcessEvents();
    const auto bitmap = Long32ToHandle<HBITMAP>(static_cast<std::uint32_t>(control.GetBitmapHandle()));
    ASSERT_NE(bitmap, nullptr);

    CFile file;
    ASSERT_TRUE(OpenShapesFile(file, shapes.c_str(), ShapesFileUse::Patch).opened);
    const SetPatchResult result =
        PatchSetImages(file, setIndex, noGamma, [&](int image) { return image == picture.image ? bitmap : nullptr; });
    file.Close();
    ASSERT_TRUE(result.sourceDcCreated);
    EXPECT_EQ(result.images.at(static_cast<std::size_t>(picture.image)).outcome, PatchImageOutcome::Written);
  }
}

TEST_F(EditorPath, ImportWritesTheBytesThatPatchWritesForTheSameDroppedFiles) {
  const std::string folder = TestFolder();
  const std::vector<BYTE> original = sample_shapes::ShapesFileBuilder().Build();
  WriteBytes(folder + "/editor.shp2", original);
  WriteBytes(folder + "/cli.shp2", original);
  const std::string textures = folder + "/textures";
  const std::string landscape = folder + "/landscape";
  std::filesystem::create_directories(textures);
  std::filesystem::create_directories(landscape);

  // Pictures of every size and of several formats, including ones that
  // the picture decoders read (PNG, GIF).
  std::vector<Picture> slots;
  const auto slotPath = [&](int slot) {
    char name[32];
    std::snprintf(name, sizeof name, "/slot-%02d.bmp", slot);
    return textures + name;
  };
  // clang-format off
  const struct {
    int slot;
    const char* sample;  // a file of the image samples, else a photo
    int width, height;
  } inputs[] = {
      {0, nullptr, 128, 128}, {1, nullptr, 64, 64},          {2, nullptr, 300, 200},
      {5, "rgba.png", 0, 0},  {7, "info_rle8.bmp", 0, 0},    {12, "one_pixel.gif", 0, 0},
      {20, "core_4bpp.bmp", 0, 0}, {29, nullptr, 517, 131},
  };
  // clang-format on
  for (const auto& input : inputs) {
    if (input.sample != nullptr)
      CopyFile(std::string(IMAGE_SAMPLES "/") + input.sample, slotPath(input.slot));
    else
      WriteBytes(slotPath(input.slot), Photo(input.width, input.height, input.slot));
    slots.push_back({input.slot, slotPath(input.slot)});
  }
  WriteBytes(landscape + "/landscape.bmp", Photo(600, 200, 3));

  const ProgramRun texturesRun = RunKestrowCli({"import", folder + "/cli.shp2", "3", textures});
  ASSERT_EQ(texturesRun.status, 0) << texturesRun.err;
  const ProgramRun landscapeRun = RunKestrowCli({"import", folder + "/cli.shp2", "6", landscape, "--no-gamma"});
  ASSERT_EQ(landscapeRun.status, 0) << landscapeRun.err;

  WithHost([&](CHostDlg& dlg) {
    PatchAsTheEditorDoes(dlg.m_slot, folder + "/editor.shp2", 2, FALSE, slots);
    PatchAsTheEditorDoes(dlg.m_landscape, folder + "/editor.shp2", 5, TRUE, {{0, landscape + "/landscape.bmp"}});
  });

  const std::vector<BYTE> editor = ReadBytes(folder + "/editor.shp2");
  EXPECT_FALSE(editor == original) << "the editor's path wrote nothing";
  EXPECT_TRUE(ReadBytes(folder + "/cli.shp2") == editor) << "the tool and the editor wrote different bytes";
}

TEST_F(EditorPath, ExportWritesTheFilesThatSaveAsWritesAfterLoadSet) {
  const std::string folder = TestFolder();
  sample_shapes::ShapesFileBuilder().WriteFile(folder + "/shapes.shp2");
  ASSERT_EQ(RunKestrowCli({"export", folder + "/shapes.shp2", "2", folder + "/textures"}).status, 0);
  ASSERT_EQ(RunKestrowCli({"export", folder + "/shapes.shp2", "7", folder + "/landscape", "--no-gamma"}).status, 0);

  // Load Set's pictures, read the editor's way.
  std::vector<DWORD> slot17;
  std::vector<DWORD> landscape;
  {
    CFile file;
    ASSERT_TRUE(OpenShapesFile(file, (folder + "/shapes.shp2").c_str(), ShapesFileUse::LoadSet).opened);
    ReadSetImages(file, 1, FALSE, [&](const SetImagePixels& p) {
      if (p.image == 17) slot17.assign(p.pixels, p.pixels + p.width * p.height);
    });
    ReadSetImages(file, 6, TRUE,
                  [&](const SetImagePixels& p) { landscape.assign(p.pixels, p.pixels + p.width * p.height); });
  }

  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerFileDialog(folder + "/saved-slot").AnswerFileDialog(folder + "/saved-landscape");
  WithHost([&](CHostDlg& dlg) {
    ASSERT_TRUE(dlg.m_slot.RecreateBitmap(reinterpret_cast<LONG*>(slot17.data()), 128, 128));
    ASSERT_TRUE(dlg.m_landscape.RecreateBitmap(reinterpret_cast<LONG*>(landscape.data()), 512, 270));
    for (CHostedTavlet* control : {&dlg.m_slot, &dlg.m_landscape}) {
      kp::testing::AnswerNextPopupMenu("Save &As...");
      kp::testing::RightClickAt(control->m_hWnd, POINT{5, 5});
      kp::testing::ProcessEvents();
    }
  });
  EXPECT_TRUE(prompts.ScriptDone());
  EXPECT_TRUE(prompts.MessageBoxes().empty());

  const std::vector<BYTE> saved = ReadBytes(folder + "/saved-slot.bmp");
  EXPECT_EQ(saved.size(), 54u + 128u * 384u);
  EXPECT_TRUE(ReadBytes(folder + "/textures/slot-17.bmp") == saved);
  const std::vector<BYTE> savedLandscape = ReadBytes(folder + "/saved-landscape.bmp");
  EXPECT_EQ(savedLandscape.size(), 54u + 270u * 1536u);
  EXPECT_TRUE(ReadBytes(folder + "/landscape/landscape.bmp") == savedLandscape);
}

}  // namespace
}  // namespace cli_journeys
