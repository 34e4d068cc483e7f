#include "editor/import/vcdiff/delta_decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "editor/import/vcdiff/delta_encoder.h"
#include "editor/import/vcdiff/tests/delta_builder.h"

namespace {

using namespace vcdiff_tests;
using vcdiff::kWindowAdler32;
using vcdiff::kWindowSource;
using vcdiff::kWindowTarget;

constexpr std::uint64_t kLargest = 1 << 20;

std::string Decode(const Bytes& delta, const std::string& source, std::uint64_t largest = kLargest) {
  vcdiff::WholeTarget target;
  const Bytes sourceBytes = Text(source);
  const vcdiff::DecodeSummary summary = vcdiff::DecodeDelta(delta, sourceBytes, {largest}, target);
  EXPECT_EQ(summary.targetLength, target.Bytes().size());
  return {target.Bytes().begin(), target.Bytes().end()};
}

// What a delta makes, or the message of the DeltaError it throws.
std::string Outcome(const Bytes& delta, const std::string& source, std::uint64_t largest = kLargest) {
  try {
    return Decode(delta, source, largest);
  } catch (const vcdiff::DeltaError& e) {
    return std::string("error: ") + e.what();
  }
}

struct DecodeRow {
  const char* what;
  std::string source;
  Bytes delta;
  std::string expected;
  std::uint64_t largest = kLargest;  // the longest target accepted
};

TEST(DeltaDecoder, RunsEveryKindOfInstructionAndAddress) {
  // clang-format off
  const DecodeRow rows[] = {
      {"ADD", "", Delta(Header(), {{.targetLength = 5, .data = Text("hello"), .instructions = {Add(5)}}}),
       "hello"},
      {"ADD with the size in the instructions", "",
       Delta(Header(), {{.targetLength = 20, .data = Text("twenty bytes of text"),
                         .instructions = Join({{Add(0)}, Integer(20)})}}),
       "twenty bytes of text"},
      {"RUN", "", Delta(Header(), {{.targetLength = 4, .data = {'x'}, .instructions = Join({{kRun}, Integer(4)})}}),
       "xxxx"},
      {"COPY from the source, self mode", "abcdefgh",
       Delta(Header(), {{.indicator = kWindowSource, .segmentLength = 8, .targetLength = 4,
                         .instructions = {Copy(4, 0)}, .addresses = Integer(2)}}),
       "cdef"},
      {"COPY from a segment of the source", "abcdefgh",
       Delta(Header(), {{.indicator = kWindowSource, .segmentLength = 4, .segmentPosition = 3, .targetLength = 4,
                         .instructions = {Copy(4, 0)}, .addresses = Integer(0)}}),
       "defg"},
      {"COPY in here mode: the distance back from the current position", "abcdefgh",
       Delta(Header(), {{.indicator = kWindowSource, .segmentLength = 8, .targetLength = 4,
                         .instructions = {Copy(4, 1)}, .addresses = Integer(6)}}),
       "cdef"},
      {"COPY that overlaps what it makes repeats it", "",
       Delta(Header(), {{.targetLength = 8, .data = Text("ab"), .instructions = {Add(2), Copy(6, 1)},
                         .addresses = Integer(2)}}),
       "abababab"},
      {"COPY from the end of the source on into the target", "abcd",
       Delta(Header(), {{.indicator = kWindowSource, .segmentLength = 4, .targetLength = 7, .data = Text("xy"),
                         .instructions = {Add(2), Copy(5, 0)}, .addresses = Integer(2)}}),
       "xycdxyc"},
      {"COPY in near and same modes, from the addresses copied before", "abcdefghij",
       Delta(Header(), {{.indicator = kWindowSource, .segmentLength = 10, .targetLength = 12,
                         .instructions = {Copy(4, 0), Copy(4, 2), Copy(4, 6)},
                         .addresses = Join({Integer(1), Integer(2), {1}})}}),
       "bcdedefgbcde"},
      {"ADD and COPY in one opcode", "abcd",
       Delta(Header(), {{.indicator = kWindowSource, .segmentLength = 4, .targetLength = 5, .data = Text("z"),
                         .instructions = {163}, .addresses = Integer(0)}}),
       "zabcd"},
      {"COPY and ADD in one opcode", "abcd",
       Delta(Header(), {{.indicator = kWindowSource, .segmentLength = 4, .targetLength = 5, .data = Text("z"),
                         .instructions = {247}, .addresses = Integer(0)}}),
       "abcdz"},
      {"windows that copy from the target decoded before them", "",
       Delta(Header(), {{.targetLength = 4, .data = Text("abcd"), .instructions = {Add(4)}},
                        {.indicator = kWindowTarget, .segmentLength = 3, .segmentPosition = 1, .targetLength = 4,
                         .data = Text("!"), .instructions = Join({{Copy(0, 0)}, Integer(3), {Add(1)}}),
                         .addresses = Integer(0)},
                        {.indicator = kWindowTarget, .segmentLength = 8, .segmentPosition = 0, .targetLength = 4,
                         .instructions = {Copy(4, 0)}, .addresses = Integer(5)}}),
       "abcdbcd!cd!c"},
      {"a checksum that matches", "",
       Delta(Header(), {{.indicator = kWindowAdler32, .targetLength = 5, .data = Text("hello"),
                         .instructions = {Add(5)}, .target = "hello"}}),
       "hello"},
      {"no windows at all", "abc", Header(), ""},
  };
  // clang-format on
  for (const DecodeRow& row : rows) EXPECT_EQ(Outcome(row.delta, row.source), row.expected) << row.what;
}

TEST(DeltaDecoder, RefusesDamagedDeltasWithTheReason) {
  const WindowSpec hello = {.targetLength = 5, .data = Text("hello"), .instructions = {Add(5)}};
  WindowSpec tooShort = hello;
  tooShort.targetLength = 4;
  WindowSpec tooLong = hello;
  tooLong.targetLength = 6;
  WindowSpec extraData = hello;
  extraData.data = Text("hello!");
  WindowSpec extraAddress = hello;
  extraAddress.addresses = Integer(0);
  WindowSpec badChecksum = hello;
  badChecksum.indicator = kWindowAdler32;
  badChecksum.adler = 12345;
  WindowSpec badLength = hello;
  badLength.encodingLengthError = 1;
  WindowSpec unknownDeltaBits = hello;
  unknownDeltaBits.deltaIndicator = 0x08;
  WindowSpec compressedWithout = hello;
  compressedWithout.deltaIndicator = vcdiff::kDataCompressed;
  const WindowSpec copyTarget = {.indicator = kWindowTarget, .segmentLength = 5};
  const auto copyWindow = [](std::uint8_t mode, const Bytes& address) {
    return WindowSpec{.indicator = kWindowSource,
                      .segmentLength = 8,
                      .targetLength = 4,
                      .instructions = {Copy(4, mode)},
                      .addresses = address};
  };

  // clang-format off
  const DecodeRow rows[] = {
      {"not a delta", "", Text("hello"), "not a VCDIFF delta"},
      {"too short for its magic", "", {0xD6, 0xC3}, "not a VCDIFF delta"},
      {"another version", "", {0xD6, 0xC3, 0xC4, 0x01, 0x00}, "version 1, not 0"},
      {"unknown header bits", "", Header(0x08), "header has indicator bits that mean nothing"},
      {"a code table of its own", "", Header(0x02), "code table of its own"},
      {"DJW", "", Header(0x01, {1}),
       "compressed with DJW (xdelta3 -S djw), which Kestrow cannot read; make the patch again with xdelta3 -S lzma "
       "(its default) or -S none"},
      {"FGK", "", Header(0x01, {16}), "compressed with FGK (xdelta3 -S fgk)"},
      {"an unknown compressor", "", Header(0x01, {7}), "compressed with an unknown secondary compressor (id 7)"},
      {"application data longer than the delta", "", Header(0x04, Join({Integer(100), Text("abc")})),
       "ends early"},
      {"unknown window bits", "", Join({Header(), {0x08}}), "window has indicator bits"},
      {"both source and target", "", Join({Header(), {0x03, 0, 0}}), "both the source and the target"},
      {"a source segment beyond the source", "abcd",
       Delta(Header(), {{.indicator = kWindowSource, .segmentLength = 4, .segmentPosition = 1}}),
       "beyond the end of the source"},
      {"a target segment beyond the target so far", "",
       Delta(Header(), {hello, {.indicator = kWindowTarget, .segmentLength = 6}}), "target segment length is too large"},
      {"a window longer than the target may be", "", Delta(Header(), {hello}), "target it makes is too large", 4},
      {"a wrong encoding length", "", Delta(Header(), {badLength}), "encoding length disagrees"},
      {"unknown delta indicator bits", "", Delta(Header(), {unknownDeltaBits}), "delta indicator bits"},
      {"compressed sections without a compressor", "", Delta(Header(), {compressedWithout}), "names no compressor"},
      {"an instruction past the end of the window", "", Delta(Header(), {tooShort}), "runs past the end"},
      {"instructions that make too little", "", Delta(Header(), {tooLong}), "make fewer bytes"},
      {"data no instruction uses", "", Delta(Header(), {extraData}), "data section holds bytes"},
      {"an address no instruction uses", "", Delta(Header(), {extraAddress}), "address section holds"},
      {"an ADD beyond its data", "", Delta(Header(), {{.targetLength = 5, .data = Text("hell"),
                                                      .instructions = {Add(5)}}}), "data section ends early"},
      {"a COPY from beyond the window in self mode", "abcdefgh", Delta(Header(), {copyWindow(0, Integer(8))}),
       "COPY address is too large"},
      {"a COPY of the byte it makes, in here mode", "abcdefgh", Delta(Header(), {copyWindow(1, Integer(0))}),
       "reaches bytes after itself"},
      {"a COPY before anything to copy", "", Delta(Header(), {{.targetLength = 4, .instructions = {Copy(4, 1)},
                                                               .addresses = Integer(0)}}),
       "before any byte"},
      {"a checksum that does not match", "", Delta(Header(), {badChecksum}), "does not match its checksum"},
      {"empty windows that copy the whole target again and again", "",
       Delta(Header(), {hello, copyTarget, copyTarget, copyTarget, copyTarget, copyTarget}),
       "copy more of the target than any target of its length needs", 5},
  };
  // clang-format on
  for (const DecodeRow& row : rows) {
    const std::string outcome = Outcome(row.delta, row.source, row.largest);
    EXPECT_EQ(outcome.rfind("error: ", 0), 0u) << row.what << ": " << outcome;
    EXPECT_NE(outcome.find(row.expected), std::string::npos) << row.what << ": " << outcome;
  }
}

TEST(DeltaDecoder, ReadsTheApplicationDataOfTheHeader) {
  const Bytes delta = Delta(Header(vcdiff::kHeaderApplication, Join({Integer(5), Text("notes")})), {});
  const vcdiff::DeltaHeader header = vcdiff::ReadDeltaHeader(delta, 100);
  ASSERT_TRUE(header.applicationData);
  EXPECT_EQ(*header.applicationData, Text("notes"));
  EXPECT_EQ(header.windowsOffset, delta.size());
  EXPECT_THROW(vcdiff::ReadDeltaHeader(delta, 4), vcdiff::DeltaError);
}

// A delta of three compressed windows, as our encoder makes one.
struct EncodedCase {
  Bytes source;
  Bytes target;
  Bytes delta;
};

EncodedCase ThreeWindows() {
  EncodedCase c;
  for (int i = 0; i < 3000; ++i) c.source.push_back(static_cast<std::uint8_t>(i * 7 % 251));
  c.target = c.source;
  for (int i = 100; i < 2900; i += 37) c.target[static_cast<std::size_t>(i)] ^= 0x5A;
  vcdiff::EncodeOptions options;
  options.windowSize = 1000;
  options.applicationData = [] { return Text("made for a test"); };
  c.delta = vcdiff::EncodeSameLengthDelta(c.source, c.target, options);
  return c;
}

// Cut anywhere, a delta decodes to the target of its whole windows or is
// refused: a delta cut between windows is a shorter delta.
TEST(DeltaDecoder, CutAnywhereGivesWholeWindowsOrAnError) {
  const EncodedCase c = ThreeWindows();
  int whole = 0;
  for (std::size_t length = 0; length < c.delta.size(); ++length) {
    const Bytes cut(c.delta.begin(), c.delta.begin() + static_cast<std::ptrdiff_t>(length));
    vcdiff::WholeTarget target;
    try {
      vcdiff::DecodeDelta(cut, c.source, {kLargest}, target);
    } catch (const vcdiff::DeltaError&) {
      continue;
    }
    ++whole;
    EXPECT_EQ(target.Bytes().size() % 1000, 0u) << "cut at " << length;
    EXPECT_TRUE(std::equal(target.Bytes().begin(), target.Bytes().end(), c.target.begin())) << "cut at " << length;
  }
  EXPECT_EQ(whole, 3) << "the header alone, and after the first and the second window";
}

// Any one byte changed, a delta is refused or still makes exactly its
// target (a byte of the application data, say): a window's checksum
// catches every change to what it makes.
TEST(DeltaDecoder, AnyByteDamagedIsRefusedOrHarmless) {
  const EncodedCase c = ThreeWindows();
  for (std::size_t at = 0; at < c.delta.size(); ++at) {
    Bytes damaged = c.delta;
    damaged[at] ^= 0x21;
    vcdiff::WholeTarget target;
    try {
      vcdiff::DecodeDelta(damaged, c.source, {kLargest}, target);
    } catch (const vcdiff::DeltaError&) {
      continue;
    }
    EXPECT_EQ(target.Bytes(), c.target) << "byte " << at << " damaged";
  }
}

}  // namespace
