#pragma once
// Secondary compression of a delta's sections through liblzma, framed as
// xdelta3 frames it: each kind of section (data, instructions, addresses)
// is one xz stream that runs through the whole delta, and each window's
// section of that kind is the stream's next piece, flushed to a whole
// LZMA2 chunk, after its own uncompressed length. The stream is never
// finished: its header and block header come with the first piece, and no
// index or footer follows.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vcdiff {

// How hard the encoder works: liblzma's preset. The changed pixel bytes of
// a mod are mostly new pictures, which LZMA codes as literals at some
// 10 MB/s at its fastest preset; the slower presets find little more in
// them (1% smaller at preset 2, for twice the time), so the fastest is the
// default.
struct LzmaTuning {
  std::uint32_t preset = 0;
};

class LzmaSectionEncoder {
 public:
  // `dictionarySize`: the most bytes the stream will carry in all, which
  // is all the dictionary it can use (at least 4 KiB is taken).
  LzmaSectionEncoder(std::uint64_t dictionarySize, const LzmaTuning& tuning);
  ~LzmaSectionEncoder();
  LzmaSectionEncoder(const LzmaSectionEncoder&) = delete;
  LzmaSectionEncoder& operator=(const LzmaSectionEncoder&) = delete;

  // Appends `section` compressed: its length, then the stream's next piece.
  void Compress(std::span<const std::uint8_t> section, std::vector<std::uint8_t>& out);

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

class LzmaSectionDecoder {
 public:
  // No dictionary larger than `largestDictionary` is allocated: a stream
  // that names a larger one gets this one, which serves every stream that
  // carries no more bytes than that in all, and refuses the others as
  // damaged when they reach further back.
  explicit LzmaSectionDecoder(std::uint64_t largestDictionary);
  ~LzmaSectionDecoder();
  LzmaSectionDecoder(const LzmaSectionDecoder&) = delete;
  LzmaSectionDecoder& operator=(const LzmaSectionDecoder&) = delete;

  // Decodes one window's compressed section into `out`. Its length may be
  // no more than `largest`; all of its bytes must be used and give exactly
  // that length. Throws DeltaError.
  void Decompress(std::span<const std::uint8_t> section, std::uint64_t largest, std::vector<std::uint8_t>& out);

 private:
  struct State;
  std::unique_ptr<State> m_state;
  std::uint64_t m_largestDictionary;
};

}  // namespace vcdiff
