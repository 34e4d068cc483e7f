#pragma once
// The eight sets of the set list, the header numbers that hold them, and the
// fixed size and storage order of their images.

#include <array>

#include "platform/base/win_types.h"

constexpr int kSetCount = 8;
constexpr int kTextureSlotCount = 30;
constexpr ULONGLONG kExpectedShapesFileSize = 10043844;

constexpr int kTextureWidth = 128;
constexpr int kTextureHeight = 128;
constexpr int kLandscapeWidth = 512;
constexpr int kLandscapeHeight = 270;
constexpr int kTextureBytes = kTextureWidth * kTextureHeight;        // 16384
constexpr int kLandscapeBytes = kLandscapeWidth * kLandscapeHeight;  // 138240

// Header number of each set, by set index. No set uses header 20.
inline constexpr std::array<int, kSetCount> SetHeaderNumbers = {17, 18, 19, 21, 27, 28, 29, 30};

// Each set's entry in the editor's set list, by set index: the names users
// know the sets by, in the editor and on the command line alike.
inline constexpr std::array<const char*, kSetCount> kSetListStrings = {
    "Texture Set # 1", "Texture Set # 2", "Texture Set # 3", "Texture Set # 4",
    "Landscape # 1",   "Landscape # 2",   "Landscape # 3",   "Landscape # 4",
};

// How the shapes file stores an image's pixel bytes.
enum class PixelOrder {
  Columns,       // column by column from the left, each column top down
  BottomUpRows,  // row by row from the bottom, each row left to right
};

struct SetKind {
  int width;
  int height;
  int imageCount;  // images of the block that belong to the set
  PixelOrder order;
  int ImageBytes() const { return width * height; }
};

inline constexpr SetKind kTextureSet = {kTextureWidth, kTextureHeight, kTextureSlotCount,
                                        PixelOrder::Columns};
inline constexpr SetKind kLandscape = {kLandscapeWidth, kLandscapeHeight, 1, PixelOrder::BottomUpRows};

// A set is a landscape exactly when its index is greater than 3.
constexpr bool IsLandscapeSet(int setIndex) { return setIndex > 3; }
constexpr const SetKind& KindOfSet(int setIndex) {
  return IsLandscapeSet(setIndex) ? kLandscape : kTextureSet;
}
