// Two kestrow-cli imports into one shapes file at once. Patching takes the
// file exclusively, so the later of the two to open it is refused with the
// sharing message and writes nothing, or opens it once the first is done.
// Either way the file ends as one import left it, or as both did in one
// order; never with one import's images partly over the other's. With
// --output, each replaces the new file whole.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "tests/cli/cli_process.h"
#include "tests/concurrency/two_programs.h"

namespace concurrency {
namespace {

using Bytes = std::vector<unsigned char>;
using cli_journeys::ReadBytes;
using cli_journeys::StartKestrowCli;
using sample_shapes::WriteBytes;

constexpr int kRounds = 100;
constexpr int kNewFileRounds = 40;
constexpr int kSet = 2;  // "Texture Set # 3"
constexpr std::chrono::minutes kEndBound{2};

std::string SharingFailure(const std::string& path) {
  return "kestrow-cli: Unable to open selected shapes file. Make sure it is not in use by another "
         "application "
         "(A sharing violation occurred while accessing " +
         path + ".)\n";
}

// For a file that is none of the results: which of them each image of the
// set, and the bytes outside the set's images, agree with.
std::string DescribeImages(const Bytes& file, const std::vector<std::pair<std::string, const Bytes*>>& results,
                           const sample_shapes::BlockLayout& layout) {
  std::string text;
  Bytes outside = file;
  for (int image = 0; image < KindOfSet(kSet).imageCount; ++image) {
    const auto at = static_cast<std::size_t>(layout.pixels[static_cast<std::size_t>(image)]);
    text += "image " + std::to_string(image) + ":";
    for (const auto& [name, bytes] : results)
      if (std::equal(file.begin() + at, file.begin() + at + kTextureBytes, bytes->begin() + at)) text += " " + name;
    text += "\n";
    std::copy(results[0].second->begin() + at, results[0].second->begin() + at + kTextureBytes, outside.begin() + at);
  }
  if (outside != *results[0].second) text += "bytes outside the images changed\n";
  return text;
}

// A shapes file and two folders of pictures for set kSet: A brings slots 0 to
// 5 and B slots 3 to 8, so the images 3 to 5 are written by both and each
// order leaves a file of its own.
class TwoImports : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSlotPictures(m_a, 0, 5, 0x00A03010);
    WriteSlotPictures(m_b, 3, 8, 0x001060C0);
    WriteBytes(m_path, m_original);
  }

  const std::string m_folder = cli_journeys::TestFolder();
  sample_shapes::ShapesFileBuilder m_builder;
  const Bytes m_original = m_builder.Build();
  const std::string m_a = m_folder + "/a";
  const std::string m_b = m_folder + "/b";
  const std::string m_set = std::to_string(kSet + 1);
  const std::string m_path = m_folder + "/shapes.shp2";
};

TEST_F(TwoImports, EndAsOneOrderOrTheOtherAndTheLaterIsRefusedWhileTheFirstWrites) {
  const sample_shapes::BlockLayout layout = m_builder.SetLayout(kSet);
  // The results, one program after the other.
  auto importOnto = [&](const Bytes& start, const std::string& pictures) {
    WriteBytes(m_path, start);
    const kp::testing::ProgramRun run = cli_journeys::RunKestrowCli({"import", m_path, m_set, pictures});
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadBytes(m_path);
  };
  const Bytes onlyA = importOnto(m_original, m_a);
  const Bytes onlyB = importOnto(m_original, m_b);
  const Bytes aThenB = importOnto(onlyA, m_b);
  const Bytes bThenA = importOnto(onlyB, m_a);
  ASSERT_FALSE(HasFailure());
  ASSERT_NE(aThenB, bThenA);
  // clang-format off
  const std::vector<std::pair<std::string, const Bytes*>> results = {
      {"original", &m_original}, {"A", &onlyA}, {"B", &onlyB}, {"A then B", &aThenB}, {"B then A", &bThenA}};

  Outcomes outcomes;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    WriteBytes(m_path, m_original);
    const auto first = StartKestrowCli({"import", m_path, m_set, m_a});
    const auto second = StartKestrowCli({"import", m_path, m_set, m_b});
    ASSERT_TRUE(first->WaitForEnd(kEndBound));
    ASSERT_TRUE(second->WaitForEnd(kEndBound));
    const Bytes file = ReadBytes(m_path);
    const int statusA = first->Status();
    const int statusB = second->Status();
    if (statusA == 0 && statusB == 0) {
      ASSERT_TRUE(file == aThenB || file == bThenA) << DescribeImages(file, results, layout);
      outcomes.Count(file == aThenB ? "A then B" : "B then A");
    } else if (statusA == 0 && statusB == 1) {
      EXPECT_EQ(second->Err(), SharingFailure(m_path));
      EXPECT_EQ(second->Out(), "");
      ASSERT_TRUE(file == onlyA) << DescribeImages(file, results, layout);
      outcomes.Count("B refused");
    } else if (statusA == 1 && statusB == 0) {
      EXPECT_EQ(first->Err(), SharingFailure(m_path));
      EXPECT_EQ(first->Out(), "");
      ASSERT_TRUE(file == onlyB) << DescribeImages(file, results, layout);
      outcomes.Count("A refused");
    } else {
      FAIL() << "statuses " << statusA << " and " << statusB << "\nA: " << first->Err()
             << "B: " << second->Err();
    }
  }
  // clang-format on
  outcomes.Print("two imports into one file", kRounds);
}

// With --output both only read SHAPES and each replaces NEW whole, so NEW
// ends as one import or the other and never a mix, SHAPES stays as it was,
// and no temporary file is left beside NEW. Where NEW is there already, the
// one that holds it until its replacement is in place refuses the other.
TEST_F(TwoImports, IntoOneNewFileLeaveItWhollyOneOrTheOther) {
  const std::string outFolder = m_folder + "/out";
  std::filesystem::create_directories(outFolder);
  const std::string out = outFolder + "/new.shp2";
  auto importInto = [&](const std::string& pictures) {
    std::filesystem::remove(out);
    const kp::testing::ProgramRun run =
        cli_journeys::RunKestrowCli({"import", m_path, m_set, pictures, "--output", out});
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadBytes(out);
  };
  const Bytes onlyA = importInto(m_a);
  const Bytes onlyB = importInto(m_b);
  ASSERT_FALSE(HasFailure());
  ASSERT_NE(onlyA, onlyB);
  const std::string refused =
      "kestrow-cli: Unable to open file " + out + " (A sharing violation occurred while accessing " + out + ".)\n";

  Outcomes outcomes;
  for (int round = 0; round < kNewFileRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Every other round NEW is there before, held while it is replaced.
    const bool there = round % 2 == 0;
    if (there)
      WriteBytes(out, m_original);
    else
      std::filesystem::remove(out);
    const auto first = StartKestrowCli({"import", m_path, m_set, m_a, "--output", out});
    const auto second = StartKestrowCli({"import", m_path, m_set, m_b, "--output", out});
    ASSERT_TRUE(first->WaitForEnd(kEndBound));
    ASSERT_TRUE(second->WaitForEnd(kEndBound));
    const Bytes file = ReadBytes(out);
    ASSERT_TRUE(ReadBytes(m_path) == m_original);
    for (const auto& entry : std::filesystem::directory_iterator(outFolder))
      ASSERT_EQ(entry.path().filename(), "new.shp2") << "left beside NEW";
    const std::string before = there ? "NEW there: " : "NEW not there: ";
    const int statusA = first->Status();
    const int statusB = second->Status();
    if (statusA == 0 && statusB == 0) {
      ASSERT_TRUE(file == onlyA || file == onlyB);
      outcomes.Count(before + (file == onlyA ? "A last" : "B last"));
    } else if (statusA == 0 && statusB == 1) {
      EXPECT_EQ(second->Err(), refused);
      ASSERT_TRUE(file == onlyA);
      outcomes.Count(before + "B refused");
    } else if (statusA == 1 && statusB == 0) {
      EXPECT_EQ(first->Err(), refused);
      ASSERT_TRUE(file == onlyB);
      outcomes.Count(before + "A refused");
    } else {
      FAIL() << "statuses " << statusA << " and " << statusB << "\nA: " << first->Err() << "B: " << second->Err();
    }
  }
  outcomes.Print("two imports into one new file", kNewFileRounds);
}

}  // namespace
}  // namespace concurrency
