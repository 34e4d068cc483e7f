#include "platform/base/sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The examples of FIPS 180-4, and lengths around the padding's edges.
struct DigestRow {
  std::string message;
  const char* expected;
};

// Runs `check` with the processor's SHA instructions and without them (the
// second time only where the processor has them), and allows them again.
template <typename Check>
void OnEveryPath(Check check) {
  const bool processor = kp::base::Sha256UsesProcessorInstructions();
  for (const bool allow : {true, false}) {
    if (allow == false && !processor) break;
    kp::base::AllowSha256ProcessorInstructions(allow);
    SCOPED_TRACE(kp::base::Sha256UsesProcessorInstructions() ? "processor instructions" : "portable code");
    check();
  }
  kp::base::AllowSha256ProcessorInstructions(true);
}

TEST(Sha256, GivesTheStandardDigests) {
  const DigestRow rows[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  OnEveryPath([&] {
    for (const DigestRow& row : rows)
      EXPECT_EQ(kp::base::DigestHex(kp::base::Sha256Of(Bytes(row.message))), row.expected)
          << row.message.size() << " bytes";
  });
}

TEST(Sha256, GivesTheSameDigestWhateverThePieces) {
  std::string message;
  for (int i = 0; i < 300; ++i) message += static_cast<char>(i * 7);
  OnEveryPath([&] {
    const kp::base::Sha256Digest whole = kp::base::Sha256Of(Bytes(message));
    for (const std::size_t piece : {1u, 55u, 56u, 63u, 64u, 65u, 129u}) {
      kp::base::Sha256 hash;
      for (std::size_t at = 0; at < message.size(); at += piece) hash.Update(Bytes(message.substr(at, piece)));
      EXPECT_EQ(hash.Finish(), whole) << "pieces of " << piece;
    }
  });
}

}  // namespace
