#include "editor/import/vcdiff/lzma_sections.h"

#include <lzma.h>

#include <algorithm>
#include <new>
#include <string>

#include "editor/import/vcdiff/delta_bytes.h"
#include "editor/import/vcdiff/delta_format.h"

namespace vcdiff {
namespace {

constexpr std::uint32_t kSmallestDictionary = 4096;

[[noreturn]] void ThrowLzmaError(lzma_ret result, const char* doing) {
  if (result == LZMA_MEM_ERROR) throw std::bad_alloc();
  throw DeltaError(std::string(doing) + " failed (liblzma error " + std::to_string(static_cast<int>(result)) + ")");
}

// lzma_filters_free on every path.
struct FilterChain {
  lzma_filter filters[LZMA_FILTERS_MAX + 1];
  FilterChain() {
    for (lzma_filter& filter : filters) filter = {LZMA_VLI_UNKNOWN, nullptr};
  }
  ~FilterChain() { lzma_filters_free(filters, nullptr); }
};

}  // namespace

struct LzmaSectionEncoder::State {
  lzma_stream stream = LZMA_STREAM_INIT;
  ~State() { lzma_end(&stream); }
};

LzmaSectionEncoder::LzmaSectionEncoder(std::uint64_t dictionarySize, const LzmaTuning& tuning)
    : m_state(std::make_unique<State>()) {
  lzma_options_lzma options{};
  if (lzma_lzma_preset(&options, tuning.preset)) throw std::invalid_argument("no such LZMA preset");
  options.dict_size =
      static_cast<std::uint32_t>(std::clamp<std::uint64_t>(dictionarySize, kSmallestDictionary, options.dict_size));
  lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  // As xdelta3: an xz stream without an integrity check of its own; each
  // target window carries its Adler-32 instead.
  if (const lzma_ret result = lzma_stream_encoder(&m_state->stream, filters, LZMA_CHECK_NONE); result != LZMA_OK)
    ThrowLzmaError(result, "Starting the LZMA encoder");
}

LzmaSectionEncoder::~LzmaSectionEncoder() = default;

void LzmaSectionEncoder::Compress(std::span<const std::uint8_t> section, std::vector<std::uint8_t>& out) {
  AppendInteger(out, section.size());
  lzma_stream& stream = m_state->stream;
  stream.next_in = section.data();
  stream.avail_in = section.size();
  for (;;) {
    const std::size_t used = out.size();
    out.resize(used + std::max<std::size_t>(4096, section.size() / 4));
    stream.next_out = out.data() + used;
    stream.avail_out = out.size() - used;
    const lzma_ret result = lzma_code(&stream, LZMA_SYNC_FLUSH);
    out.resize(out.size() - stream.avail_out);
    // The flush is complete when the encoder says the stream has reached
    // its end, which for LZMA_SYNC_FLUSH means this piece.
    if (result == LZMA_STREAM_END) return;
    if (result != LZMA_OK) ThrowLzmaError(result, "LZMA compression");
  }
}

struct LzmaSectionDecoder::State {
  lzma_stream stream = LZMA_STREAM_INIT;
  bool started = false;
  bool ended = false;  // the stream's end marker was read
  ~State() { lzma_end(&stream); }
};

LzmaSectionDecoder::LzmaSectionDecoder(std::uint64_t largestDictionary)
    : m_state(std::make_unique<State>()),
      m_largestDictionary(std::clamp<std::uint64_t>(largestDictionary, kSmallestDictionary, UINT32_MAX)) {}

LzmaSectionDecoder::~LzmaSectionDecoder() = default;

void LzmaSectionDecoder::Decompress(std::span<const std::uint8_t> section, std::uint64_t largest,
                                    std::vector<std::uint8_t>& out) {
  ByteReader reader(section, "a compressed section");
  const std::uint64_t length = reader.Integer(largest, "the length of a compressed section");
  if (length == 0) throw DeltaError("a compressed section is empty");
  if (m_state->ended) throw DeltaError("a compressed section goes on after its stream has ended");

  if (!m_state->started) {
    // The stream's header and its one block's header come with the first
    // piece. They are read here rather than by liblzma's stream decoder so
    // that the dictionary the block names can be held to the bound.
    lzma_stream_flags flags{};
    if (reader.Left() < LZMA_STREAM_HEADER_SIZE ||
        lzma_stream_header_decode(&flags, reader.Bytes(LZMA_STREAM_HEADER_SIZE).data()) != LZMA_OK)
      throw DeltaError("a compressed section does not begin an xz stream");
    const std::uint8_t sizeByte = reader.Left() > 0 ? section[reader.Position()] : 0;
    if (sizeByte == 0) throw DeltaError("a compressed section's xz stream holds no block");
    lzma_block block{};
    FilterChain chain;
    block.version = 1;
    block.check = flags.check;
    block.header_size = lzma_block_header_size_decode(sizeByte);
    block.filters = chain.filters;
    if (reader.Left() < block.header_size ||
        lzma_block_header_decode(&block, nullptr, reader.Bytes(block.header_size).data()) != LZMA_OK)
      throw DeltaError("a compressed section's block header is damaged");
    lzma_filter* last = chain.filters;
    while ((last + 1)->id != LZMA_VLI_UNKNOWN) ++last;
    if (last->id != LZMA_FILTER_LZMA2) throw DeltaError("a compressed section is not LZMA2");
    auto* options = static_cast<lzma_options_lzma*>(last->options);
    options->dict_size = static_cast<std::uint32_t>(std::min<std::uint64_t>(options->dict_size, m_largestDictionary));
    if (const lzma_ret result = lzma_raw_decoder(&m_state->stream, chain.filters); result != LZMA_OK)
      ThrowLzmaError(result, "Starting the LZMA decoder");
    m_state->started = true;
  }

  out.resize(static_cast<std::size_t>(length));
  const std::span<const std::uint8_t> compressed = reader.Bytes(reader.Left());
  lzma_stream& stream = m_state->stream;
  stream.next_in = compressed.data();
  stream.avail_in = compressed.size();
  stream.next_out = out.data();
  stream.avail_out = out.size();
  while (stream.avail_out > 0) {
    const std::size_t before = stream.avail_in + stream.avail_out;
    const lzma_ret result = lzma_code(&stream, LZMA_RUN);
    if (result == LZMA_STREAM_END) {
      m_state->ended = true;
      if (stream.avail_out > 0) throw DeltaError("a compressed section gives fewer bytes than it says");
    }
    if (result != LZMA_OK && result != LZMA_STREAM_END) {
      if (result == LZMA_MEM_ERROR) throw std::bad_alloc();
      throw DeltaError("a compressed section is damaged");
    }
    if (stream.avail_in + stream.avail_out == before) throw DeltaError("a compressed section ends early");
  }
  if (stream.avail_in != 0) throw DeltaError("a compressed section holds more than it says");
}

}  // namespace vcdiff
