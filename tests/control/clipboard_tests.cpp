// Copy and paste through the real clipboard: what the control offers other
// programs, and what it takes from them, through the same intake as a drop.

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/bitmap_file_24.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/load_image.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/clipboard_driver.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/temp_environment.h"
#include "tests/control/tavlet_fixture.h"

namespace tavlet_host {
namespace {

using kp::testing::MenuItemSeen;
using kp::testing::PictureColour;
using Bytes = std::vector<BYTE>;

using TavletClipboard = TavletTest;

constexpr char kInvalidDrop[] =
    "Invalid file dropped-- file must be of type 'bmp'.\n"
    "If file is a 'bmp' file, try converting it to a\n"
    "different color-depth or compression mode.";

// A picture whose every pixel differs from its neighbours.
const PictureColour kPattern = [](int x, int y) {
  return static_cast<std::uint32_t>((x * 40) << 16 | (y * 50) << 8 | ((x + y) * 20));
};
constexpr int kWidth = 5;
constexpr int kHeight = 4;

HBITMAP HandleOf(CHostedTavlet& control) {
  return Long32ToHandle<HBITMAP>(static_cast<std::uint32_t>(control.GetBitmapHandle()));
}

// Gives the control kPattern's picture, through its pixel array.
void GivePattern(CHostedTavlet& control) {
  std::vector<LONG> pixels;
  for (int y = kHeight - 1; y >= 0; --y)
    for (int x = 0; x < kWidth; ++x) pixels.push_back(static_cast<LONG>(kPattern(x, y)));
  ASSERT_TRUE(control.RecreateBitmap(pixels.data(), kWidth, kHeight));
}

// Whether the bitmap is kPattern's picture, pixel for pixel.
bool ShowsPattern(HBITMAP bitmap) {
  BITMAP described{};
  if (::GetObject(bitmap, sizeof described, &described) != static_cast<int>(sizeof described)) return false;
  if (described.bmWidth != kWidth || described.bmHeight != kHeight) return false;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (PixelOf(bitmap, x, y) != kPattern(x, y)) return false;
  return true;
}

// The bitmap file Save As writes for the bitmap.
Bytes SaveAsBytes(HBITMAP bitmap) {
  BITMAP described{};
  ::GetObject(bitmap, sizeof described, &described);
  kp::gdi::ScopedMemoryDC memory(nullptr);
  Bytes file;
  EXPECT_TRUE(kp::gdi::BuildBitmapFile24(memory.get(), bitmap, described.bmWidth, described.bmHeight, file));
  return file;
}

// The user's ways to copy or paste, on a control that has the focus.
void ByKeys(CHostedTavlet& control, int key, unsigned modifiers) {
  kp::testing::Click(control.m_hWnd);
  kp::testing::PressKey(control.m_hWnd, key, modifiers);
  kp::testing::ProcessEvents();
}
void ByMenu(CHostedTavlet& control, const std::string& item, std::vector<MenuItemSeen>* seen = nullptr) {
  kp::testing::AnswerNextPopupMenu(item, seen);
  kp::testing::RightClickAt(control.m_hWnd, POINT{5, 5});
  kp::testing::ProcessEvents();
}
void Copy(CHostedTavlet& c) { ByKeys(c, 'C', kp::testing::Control); }
void Paste(CHostedTavlet& c) { ByKeys(c, 'V', kp::testing::Control); }

TEST_F(TavletClipboard, CopyOffersThePictureAsPngAndAsTheFileSaveAsWrites) {
  const struct {
    const char* how;
    std::function<void(CHostedTavlet&)> copy;
  } rows[] = {
      {"Ctrl+C", Copy},
      {"Ctrl+Insert", [](CHostedTavlet& c) { ByKeys(c, VK_INSERT, kp::testing::Control); }},
      {"the menu's Copy", [](CHostedTavlet& c) { ByMenu(c, "Copy"); }},
  };
  for (const auto& row : rows) {
    WithHost([&](CHostDlg& dlg) {
      kp::testing::ClearClipboard();
      GivePattern(dlg.m_slot);
      row.copy(dlg.m_slot);
      const std::vector<std::string> types = kp::testing::ClipboardTypes();
      EXPECT_EQ(types, (std::vector<std::string>{"image/png", "image/bmp"})) << row.how;
      EXPECT_EQ(kp::testing::ClipboardBytes("image/bmp"), SaveAsBytes(HandleOf(dlg.m_slot))) << row.how;
      kp::gdi::ScopedBitmap png(kp::gdi::LoadBitmapFromBytes(kp::testing::ClipboardBytes("image/png")));
      EXPECT_TRUE(ShowsPattern(png.get())) << row.how;
    });
  }
}

TEST_F(TavletClipboard, AnEmptyControlCopiesNothingAndTheClipboardKeepsWhatItHeld) {
  WithHost([](CHostDlg& dlg) {
    kp::testing::OfferOnClipboard({{"text/plain", {'k', 'e', 'p', 't'}}});
    Copy(dlg.m_slot);
    EXPECT_EQ(kp::testing::ClipboardBytes("text/plain"), (Bytes{'k', 'e', 'p', 't'}));
    std::vector<MenuItemSeen> seen;
    ByMenu(dlg.m_slot, "", &seen);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_FALSE(seen[4].enabled) << "Copy is greyed while empty";
    EXPECT_FALSE(seen[5].enabled) << "text is nothing to paste";
  });
}

TEST_F(TavletClipboard, PasteTakesAPictureOrACopiedFileAsADropWouldAndTheContainerHearsOfIt) {
  const std::string file = WriteTemporaryFile("pasted.bmp", kp::testing::BitmapFile24(kWidth, kHeight, kPattern));
  const struct {
    const char* what;
    std::string type;
    Bytes bytes;
    std::function<void(CHostedTavlet&)> paste;
  } rows[] = {
      {"a PNG picture", "image/png", kp::testing::PngFile(kWidth, kHeight, kPattern), Paste},
      {"a bitmap picture", "image/bmp", kp::testing::BitmapFile24(kWidth, kHeight, kPattern),
       [](CHostedTavlet& c) { ByMenu(c, "Paste"); }},
      {"a file copied in a file manager", "text/uri-list", Bytes{},
       [](CHostedTavlet& c) { ByKeys(c, VK_INSERT, kp::testing::Shift); }},
      {"a file in the list of copied files", "x-special/gnome-copied-files", Bytes{}, Paste},
  };
  for (const auto& row : rows) {
    Bytes bytes = row.bytes;
    if (bytes.empty()) {
      const std::string uri = kp::testing::FileUri(file);
      const std::string text = row.type == "text/uri-list" ? uri + "\r\n" : "copy\n" + uri;
      bytes.assign(text.begin(), text.end());
    }
    WithHost([&](CHostDlg& dlg) {
      kp::testing::OfferOnClipboard({{row.type, bytes}});
      kp::testing::Click(dlg.m_slot.m_hWnd);
      dlg.m_changes.clear();
      row.paste(dlg.m_slot);
      EXPECT_TRUE(ShowsPattern(HandleOf(dlg.m_slot))) << row.what;
      EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_SLOT}) << row.what << ": one BmpChange, as for a drop";
    });
  }
}

TEST_F(TavletClipboard, WhatCannotBeTakenIsSaidAsForADropAndTheBitmapStays) {
  const std::string text = WriteTemporaryFile("notes.bmp", Bytes{'n', 'o', 't', 'e', 's'});
  const std::string uri = kp::testing::FileUri(text);
  const struct {
    const char* what;
    std::string type;
    Bytes bytes;
  } rows[] = {
      {"a copied file that is no picture", "text/uri-list", Bytes(uri.begin(), uri.end())},
      {"a picture that does not decode", "image/png", Bytes{0x89, 'P', 'N', 'G', 0, 0}},
  };
  for (const auto& row : rows) {
    kp::testing::ScriptedPrompts prompts;
    prompts.AnswerMessageBox(IDOK);
    WithHost([&](CHostDlg& dlg) {
      GivePattern(dlg.m_slot);
      const LONG held = dlg.m_slot.GetBitmapHandle();
      kp::testing::OfferOnClipboard({{row.type, row.bytes}});
      kp::testing::Click(dlg.m_slot.m_hWnd);
      dlg.m_changes.clear();
      Paste(dlg.m_slot);
      EXPECT_EQ(dlg.m_slot.GetBitmapHandle(), held) << row.what;
      EXPECT_EQ(dlg.m_changes, std::vector<int>{}) << row.what;
    });
    ASSERT_EQ(prompts.MessageBoxes().size(), 1u) << row.what;
    EXPECT_EQ(prompts.MessageBoxes()[0].text, kInvalidDrop);
  }
}

// The preview takes no drops, so it takes nothing pasted; its picture can
// still be copied.
TEST_F(TavletClipboard, AControlThatTakesNoDropsTakesNothingPastedButCopies) {
  WithHost([](CHostDlg& dlg) {
    kp::testing::OfferOnClipboard({{"image/png", kp::testing::PngFile(kWidth, kHeight, kPattern)}});
    std::vector<MenuItemSeen> seen;
    ByMenu(dlg.m_preview, "", &seen);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_FALSE(seen[5].enabled) << "Paste";
    Paste(dlg.m_preview);
    EXPECT_EQ(dlg.m_preview.GetBitmapHandle(), 0);

    GivePattern(dlg.m_preview);
    Copy(dlg.m_preview);
    EXPECT_EQ(kp::testing::ClipboardBytes("image/bmp"), SaveAsBytes(HandleOf(dlg.m_preview)));
  });
}

// Save As opens where bitmaps were saved last, or, before any is saved,
// where the last one the user dropped or pasted as a file came from.
TEST_F(TavletClipboard, SaveAsOpensWhereBitmapsWereSavedLastOrElseOpenedFrom) {
  const std::string root = kp::testing::TemporaryRoot();
  for (const char* folder : {"/opened", "/saved", "/pasted"}) std::filesystem::create_directories(root + folder);
  const Bytes picture = kp::testing::BitmapFile24(kWidth, kHeight, kPattern);
  const std::string opened = root + "/opened/a.bmp";
  const std::string pasted = root + "/pasted/b.bmp";
  for (const std::string& path : {opened, pasted}) WriteTemporaryFile(path.substr(root.size() + 1), picture);

  kp::testing::ScriptedPrompts prompts;
  prompts.CancelFileDialog().AnswerFileDialog(root + "/saved/c.bmp").CancelFileDialog().CancelFileDialog();
  WithHost([&](CHostDlg& dlg) {
    GivePattern(dlg.m_slot);
    ByMenu(dlg.m_slot, "Save &As...");  // nothing known yet
    ASSERT_TRUE(kp::testing::DropFiles(dlg.m_slot.m_hWnd, POINT{3, 3}, {opened}));
    ByMenu(dlg.m_slot, "Save &As...");  // saved in /saved
    ByMenu(dlg.m_slot, "Save &As...");
    kp::testing::OfferOnClipboard({{"text/uri-list", [&] {
                                      const std::string uri = kp::testing::FileUri(pasted);
                                      return Bytes(uri.begin(), uri.end());
                                    }()}});
    Paste(dlg.m_slot);
    ByMenu(dlg.m_slot, "Save &As...");
  });
  ASSERT_EQ(prompts.FileDialogs().size(), 4u);
  const std::vector<std::string> expected = {"", root + "/opened", root + "/saved", root + "/saved"};
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(prompts.FileDialogs()[i].initialFolder, expected[i]) << "Save As #" << i + 1;
}

}  // namespace
}  // namespace tavlet_host
