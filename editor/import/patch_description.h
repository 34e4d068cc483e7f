#pragma once
// What Kestrow writes into the application data of its patch files: that
// Kestrow made it, the length and SHA-256 of the shapes file it was made
// from, and every image it changes with the number of bytes it changes
// there. A plain delta decoder ignores it; xdelta3 printhdr shows it.
//
// It is text, one fact per line, and holds no '/', which xdelta3 would take
// for the separator of file names it keeps in that place:
//
//   Kestrow patch 1
//   made-by kestrow-cli 1.3.0
//   source-length 10043844
//   source-sha256 <64 hexadecimal digits>
//   image 1 4 16361        set number 1 to 8, image number, bytes changed
//
// A reader skips lines it does not know, so later versions can add some.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/base/sha256.h"
#include "platform/base/win_types.h"

struct PatchedImage {
  int setIndex = 0;  // 0 to 7
  int image = 0;
  ULONGLONG changedBytes = 0;
  bool operator==(const PatchedImage&) const = default;
};

struct PatchDescription {
  std::string madeBy;
  ULONGLONG sourceLength = 0;
  kp::base::Sha256Digest sourceDigest{};
  std::vector<PatchedImage> images;
  bool operator==(const PatchDescription&) const = default;
};

std::string FormatPatchDescription(const PatchDescription& description);

struct ParsedPatchDescription {
  // Null when the data is not Kestrow's, or when it is but damaged (then
  // `error` says what).
  std::optional<PatchDescription> description;
  std::string error;
};

ParsedPatchDescription ParsePatchDescription(std::span<const BYTE> data);
