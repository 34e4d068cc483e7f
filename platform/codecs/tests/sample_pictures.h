#pragma once
// Picture files of every format and variant the decoders read, built in
// code: by each format's own library where it has one, and field by field
// for TGA, Netpbm and icon files. Each comes with the picture it holds.

#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/dib_decoder.h"
#include "platform/testing/picture_writers.h"

namespace kp::codecs::testing {

struct Sample {
  std::string name;
  std::vector<BYTE> file;
  // What the file holds, top row first, straight alpha.
  kp::testing::Picture picture;
  int bitsPerPixel = 0;
  int tolerance = 0;  // per channel, for lossy formats
};

// Every sample, of every format.
std::vector<Sample> Samples();

// The picture as a decoder gives it: bottom row first, alpha composited
// over white.
std::vector<std::uint32_t> OverWhite(const kp::testing::Picture& picture);

// One form of TGA file (see the decoder for the fields).
struct TgaForm {
  BYTE type = 2;  // 1 colour-mapped, 2 true-colour, 3 grey; plus 8 for run-length packets
  unsigned pixelBits = 24;
  unsigned alphaBits = 0;
  bool topDown = false;
  bool rightToLeft = false;
  unsigned mapFirst = 0;  // the first index of the colour map
  unsigned mapBits = 24;
  std::optional<BYTE> attributesType;  // a TGA 2.0 extension area and footer
  std::string id;
};
// The picture in that form: 15- and 16-bit colours keep the top five bits
// of each channel (and alpha 255 as the top bit), colour maps list the
// picture's distinct colours in the order they first appear, attributes
// type 4 stores colour multiplied by alpha.
std::vector<BYTE> TgaFile(const kp::testing::Picture& picture, const TgaForm& form);

}  // namespace kp::codecs::testing
