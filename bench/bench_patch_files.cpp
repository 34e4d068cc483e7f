// Patch files against xdelta3, as whole processes on the same files in one
// run: kestrow-cli diff beside xdelta3 -e at its default settings and at
// -9, and kestrow-cli apply (into a new file, and in place) beside
// xdelta3 -d, each with its peak memory,
// and the size of each patch. Four changes to the sample shapes file:
// one texture, a whole texture set and all eight sets replaced by new
// photo-like pictures through import, and the export-all / import-all round
// trip, which changes scattered bytes of every set.
//
// Each time is the best of several runs (--runs N, 7 by default), so that
// other work on the machine counts as little as it can. The lines after
// each change set diff against half the time of xdelta3 -e, the patch
// against the size of xdelta3 -9's, and apply against xdelta3 -d.
//
// The peak memory is what GNU time reports (its %M, the kernel's largest
// resident set). It cannot be taken from this process's own wait: a
// program started here by posix_spawn inherits this process's own peak as
// its starting one.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_pictures.h"
#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/set_kinds.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "tools/kestrow_cli/set_image_files.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<BYTE> PhotoFile(int width, int height, std::uint32_t seed) {
  const std::vector<std::uint32_t> pixels = bench::PhotoLike(width, height, seed);
  return kp::testing::BitmapFile24(width, height, [&](int x, int y) {
    return pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  });
}

[[noreturn]] void Stop(const std::string& what, const kp::testing::ProgramRun& run) {
  std::fprintf(stderr, "bench_patch_files: %s failed (status %d): %s%s", what.c_str(), run.status, run.out.c_str(),
               run.err.c_str());
  std::exit(1);
}

kp::testing::ProgramRun Run(const std::vector<std::string>& words) {
  kp::testing::ProgramRun run = kp::testing::RunProgram(words);
  if (run.status != 0) {
    std::string line;
    for (const std::string& word : words) line += word + " ";
    Stop(line, run);
  }
  return run;
}

// A change of the sample file: the modified file beside the original.
struct Change {
  std::string name;
  std::string modified;
};

std::vector<Change> MakeChanges(const std::string& root, const std::string& original) {
  const std::string cli = KESTROW_CLI_PROGRAM;
  // Every set's pictures, in export-all's folders: slot-size textures and a
  // landscape-size picture, different for every image.
  const std::string pictures = root + "/pictures";
  for (int set = 0; set < kSetCount; ++set) {
    const std::string folder = SetFolderPath(pictures, set);
    std::filesystem::create_directories(folder);
    const SetKind& kind = KindOfSet(set);
    for (int image = 0; image < kind.imageCount; ++image)
      kp::testing::WriteFileBytes(
          SetImageFilePath(folder, set, image),
          PhotoFile(kind.width, kind.height, static_cast<std::uint32_t>(100 * set + image + 1)));
  }
  const std::string one = root + "/one";
  std::filesystem::create_directories(one);
  std::filesystem::copy_file(SetImageFilePath(SetFolderPath(pictures, 0), 0, 4), SetImageFilePath(one, 0, 4));

  std::vector<Change> changes = {{"one texture", root + "/one.shp2"},
                                 {"a texture set", root + "/set.shp2"},
                                 {"all eight sets", root + "/all.shp2"},
                                 {"export-all/import-all", root + "/round-trip.shp2"}};
  Run({cli, "import", original, "1", one, "--output", changes[0].modified});
  Run({cli, "import", original, "1", SetFolderPath(pictures, 0), "--output", changes[1].modified});
  Run({cli, "import-all", original, pictures, "--output", changes[2].modified});
  Run({cli, "export-all", original, root + "/exported"});
  Run({cli, "import-all", original, root + "/exported", "--output", changes[3].modified});
  return changes;
}

constexpr char kGnuTime[] = "/usr/bin/time";

struct Measure {
  double bestMs = 0;
  double peakMiB = -1;  // unknown without GNU time
};

// `prepare`, when given, runs before each run, outside the time.
Measure Time(const std::vector<std::string>& words, int runs, const std::function<void()>& prepare = {}) {
  Measure measure{1e300, -1};
  const bool gnuTime = std::filesystem::exists(kGnuTime);
  for (int i = 0; i < runs; ++i) {
    if (prepare) prepare();
    std::vector<std::string> timed = words;
    if (gnuTime) timed.insert(timed.begin(), {kGnuTime, "-f", "peak %M"});
    const Clock::time_point start = Clock::now();
    const kp::testing::ProgramRun run = Run(timed);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    measure.bestMs = std::min(measure.bestMs, ms);
    if (const std::size_t peak = run.err.rfind("peak "); gnuTime && peak != std::string::npos)
      measure.peakMiB = std::max(measure.peakMiB, std::atof(run.err.c_str() + peak + 5) / 1024.0);
  }
  return measure;
}

void Row(const char* program, const Measure& measure, const std::string& sizeOf) {
  std::printf("  %-17s %9.1f ms", program, measure.bestMs);
  if (measure.peakMiB >= 0) std::printf(" %9.1f MiB", measure.peakMiB);
  if (!sizeOf.empty()) std::printf(" %12ju bytes", static_cast<std::uintmax_t>(std::filesystem::file_size(sizeOf)));
  std::printf("\n");
}

std::size_t ChangedBytes(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
  std::size_t changed = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) changed += a[i] != b[i];
  return changed;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 7;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::max(1, std::atoi(argv[2]));
  const std::string cli = KESTROW_CLI_PROGRAM;
  char pattern[] = "/tmp/bench_patch_files.XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  const std::string root = pattern;
  // Patches in place keep their history here, not in the user's.
  ::setenv("XDG_STATE_HOME", (root + "/state").c_str(), 1);
  const std::string original = root + "/shapes.shp2";
  kp::testing::WriteFileBytes(original, sample_shapes::MakeSampleShapes().Build());
  const std::vector<Change> changes = MakeChanges(root, original);
  const bool haveXdelta = kp::testing::RunProgram({"xdelta3", "-V"}).status == 0;
  if (!haveXdelta) std::printf("xdelta3 is not installed: only kestrow-cli is measured\n");

  const std::vector<BYTE> originalBytes = kp::testing::ReadFileBytes(original);
  std::printf("best of %d runs", runs);
  if (std::filesystem::exists(kGnuTime))
    std::printf("; peak memory is the largest resident set of any run, as %s measures it", kGnuTime);
  std::printf("\n");
  for (const Change& change : changes) {
    const std::string ours = root + "/ours.vcdiff";
    const std::string theirs = root + "/xdelta3.vcdiff";
    const std::string theirs9 = root + "/xdelta3-9.vcdiff";
    const std::string rebuilt = root + "/rebuilt.shp2";
    std::printf("\n%s: %zu bytes changed\n", change.name.c_str(),
                ChangedBytes(originalBytes, kp::testing::ReadFileBytes(change.modified)));
    const Measure diff = Time({cli, "diff", original, change.modified, ours}, runs);
    Row("kestrow-cli diff", diff, ours);
    const Measure apply = Time({cli, "apply", original, ours, "--output", rebuilt}, runs);
    Row("kestrow-cli apply", apply, "");
    // In place: a journaled patch with its syncs and history entry, on a
    // fresh copy of the original each run.
    const std::string patched = root + "/patched.shp2";
    const Measure applyInPlace = Time({cli, "apply", patched, ours}, runs, [&] {
      std::filesystem::copy_file(original, patched, std::filesystem::copy_options::overwrite_existing);
    });
    Row("  in place", applyInPlace, "");
    for (const std::string& result : {rebuilt, patched}) {
      if (kp::testing::ReadFileBytes(result) != kp::testing::ReadFileBytes(change.modified)) {
        std::fprintf(stderr, "bench_patch_files: apply did not rebuild %s\n", change.modified.c_str());
        return 1;
      }
    }
    if (!haveXdelta) continue;
    const Measure encode = Time({"xdelta3", "-e", "-f", "-s", original, change.modified, theirs}, runs);
    Row("xdelta3 -e", encode, theirs);
    const Measure encode9 = Time({"xdelta3", "-e", "-9", "-f", "-s", original, change.modified, theirs9}, runs);
    Row("xdelta3 -e -9", encode9, theirs9);
    const Measure decode = Time({"xdelta3", "-d", "-f", "-s", original, theirs, rebuilt}, runs);
    Row("xdelta3 -d", decode, "");
    std::printf(
        "  diff takes %.2f of xdelta3 -e's time (aim: 0.5 at most), its patch %.2f of xdelta3 -9's size"
        " (aim: 1 at most); apply takes %.2f of xdelta3 -d's time (aim: 1 at most), %.2f in place\n",
        diff.bestMs / encode.bestMs,
        double(std::filesystem::file_size(ours)) / double(std::filesystem::file_size(theirs9)),
        apply.bestMs / decode.bestMs, applyInPlace.bestMs / decode.bestMs);
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return 0;
}
