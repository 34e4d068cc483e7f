#include "editor/import/vcdiff/lzma_sections.h"

#include <gtest/gtest.h>

#include "editor/import/vcdiff/delta_format.h"
#include "editor/import/vcdiff/tests/delta_builder.h"

namespace {

using vcdiff_tests::Bytes;
using vcdiff_tests::Pattern;

// A stream that names a larger dictionary than the bound is decoded with the
// bound, which serves it while it reaches no further back; one that reaches
// further is refused, never decoded wrong.
TEST(LzmaSections, HoldsTheDictionaryToTheBound) {
  const Bytes picture = Pattern(20000, 3);
  Bytes repeated = picture;
  repeated.insert(repeated.end(), picture.begin(), picture.end());  // a match 20000 bytes back

  vcdiff::LzmaSectionEncoder encoder(1 << 20, {});
  Bytes piece;
  encoder.Compress(repeated, piece);

  vcdiff::LzmaSectionDecoder ample(1 << 16);
  Bytes decoded;
  ample.Decompress(piece, 1 << 20, decoded);
  EXPECT_EQ(decoded, repeated);

  vcdiff::LzmaSectionDecoder small(8192);
  EXPECT_THROW(small.Decompress(piece, 1 << 20, decoded), vcdiff::DeltaError);
}

TEST(LzmaSections, RefusesPiecesThatAreNotWhole) {
  vcdiff::LzmaSectionEncoder encoder(1 << 16, {});
  const Bytes section = Pattern(1000, 4);
  Bytes piece;
  encoder.Compress(section, piece);
  const auto outcome = [](const Bytes& bytes, std::uint64_t largest) -> std::string {
    vcdiff::LzmaSectionDecoder decoder(1 << 16);
    Bytes decoded;
    try {
      decoder.Decompress(bytes, largest, decoded);
    } catch (const vcdiff::DeltaError& e) {
      return e.what();
    }
    return "decoded";
  };
  Bytes cut(piece.begin(), piece.end() - 3);
  // A second piece after the first: the decoder reads on into it before
  // the section's bytes are all given, and finds it damaged, or stops with
  // it left over.
  Bytes longer = piece;
  longer.insert(longer.end(), piece.begin(), piece.end());
  Bytes notXz = piece;
  notXz[3] ^= 0xFF;  // inside the xz stream's magic, after the two-byte length
  const struct {
    const char* what;
    Bytes bytes;
    std::uint64_t largest;
    const char* expected;
  } rows[] = {
      {"whole", piece, 1000, "decoded"},
      {"cut short", cut, 1000, "ends early"},
      {"with more after it", longer, 1000, "a compressed section"},
      {"longer than allowed", piece, 999, "too large"},
      {"not an xz stream", notXz, 1000, "does not begin an xz stream"},
      {"empty", vcdiff_tests::Integer(0), 1000, "is empty"},
  };
  for (const auto& row : rows)
    EXPECT_NE(outcome(row.bytes, row.largest).find(row.expected), std::string::npos)
        << row.what << ": " << outcome(row.bytes, row.largest);
}

}  // namespace
