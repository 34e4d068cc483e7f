// kestrow-cli's import end to end, in process: the thirty picture files of
// a texture set (or the one of a landscape) loaded with LoadImage, the
// shapes file opened for patching, every image located, scaled, reduced to
// the set palette and written. One benchmark per set of the set list, so
// texture sets and landscapes, 256- and 231-colour palettes are each
// reported on their own; then a texture set and a landscape dithered
// (--dither), and import-all of the whole file, every set from its folder.
// Then the same pictures as PNG and JPEG files: decoding them alone (with
// bitmap files for scale), and a texture set imported from them. Last, a
// texture set's patch written the two ways: as one transaction with its
// journal, its syncs and its history entry, as every patch in place now
// is, and straight over the images as patches were written before the
// journal, so that the two show what the safety costs.
//
// The pictures are photo-like 24-bit bitmap files of mixed sizes (the
// slot size, smaller, larger and of other proportions), written once into
// a temporary folder together with the sample shapes file.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_pictures.h"
#include "editor/import/set_patch.h"
#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/set_kinds.h"
#include "platform/gdi/gdi.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/picture_writers.h"
#include "tools/kestrow_cli/cli_run.h"
#include "tools/kestrow_cli/set_image_files.h"
#include "tools/kestrow_cli/set_import.h"
#include "tools/kestrow_cli/set_names.h"

namespace {

// A 24-bit bitmap file of a photo-like picture.
std::vector<BYTE> PhotoFile(int width, int height, std::uint32_t seed) {
  const std::vector<std::uint32_t> pixels = bench::PhotoLike(width, height, seed);
  // PhotoLike gives the bottom row first.
  return kp::testing::BitmapFile24(width, height, [&](int x, int y) {
    return pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  });
}

// The same picture as a PNG or a JPEG file, as paint programs write them.
enum PictureFormat { kBmp, kPng, kJpeg };
constexpr const char* kFormatNames[] = {"bmp", "png", "jpeg"};

std::vector<BYTE> PhotoFileAs(PictureFormat format, int width, int height, std::uint32_t seed) {
  if (format == kBmp) return PhotoFile(width, height, seed);
  const std::vector<std::uint32_t> pixels = bench::PhotoLike(width, height, seed);
  const kp::testing::Picture picture = kp::testing::MakePicture(width, height, [&](int x, int y) {
    return 0xFF000000u | pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
                                static_cast<std::size_t>(x)];
  });
  return format == kPng ? kp::testing::PngFile(picture, {}) : kp::testing::JpegFile(picture, {.quality = 90});
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Workspace {
  std::string root;
  std::string shapes;
  std::string textures;
  std::string landscape;
  std::string all;  // the folders of import-all, one per set
  // The textures and the landscape in each format, side by side.
  std::string formats[3];
};

Workspace& Files() {
  static Workspace workspace = [] {
    Workspace w;
    char pattern[] = "/tmp/bench_import.XXXXXX";
    w.root = ::mkdtemp(pattern) != nullptr ? pattern : "/tmp/bench_import";
    w.shapes = w.root + "/shapes.shp2";
    w.textures = w.root + "/textures";
    w.landscape = w.root + "/landscape";
    w.all = w.root + "/all";
    std::filesystem::create_directories(w.textures);
    std::filesystem::create_directories(w.landscape);
    // The patch history of the runs stays with the runs.
    ::setenv("XDG_STATE_HOME", (w.root + "/state").c_str(), 1);
    WriteFile(w.shapes, sample_shapes::MakeSampleShapes().Build());
    // Most textures at the slot size, the rest scaled from other sizes.
    const int sizes[][2] = {{128, 128}, {128, 128}, {128, 128}, {256, 256}, {64, 64}, {300, 200}};
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
      const int* size = sizes[slot % 6];
      WriteFile(SetImageFilePath(w.textures, 0, slot),
                PhotoFile(size[0], size[1], static_cast<std::uint32_t>(slot + 1)));
    }
    WriteFile(SetImageFilePath(w.landscape, 4, 0), PhotoFile(640, 360, 99));
    for (const PictureFormat format : {kBmp, kPng, kJpeg}) {
      std::string& folder = w.formats[format];
      folder = w.root + "/" + kFormatNames[format];
      std::filesystem::create_directories(folder);
      for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        const int* size = sizes[slot % 6];
        WriteFile(SetImageFilePath(folder, 0, slot),
                  PhotoFileAs(format, size[0], size[1], static_cast<std::uint32_t>(slot + 1)));
      }
      WriteFile(SetImageFilePath(folder, 4, 0), PhotoFileAs(format, 640, 360, 99));
    }
    // import-all takes the same pictures for every texture set and every
    // landscape.
    for (int set = 0; set < kSetCount; ++set) {
      const std::string folder = SetFolderPath(w.all, set);
      std::filesystem::create_directories(folder);
      for (int image = 0; image < KindOfSet(set).imageCount; ++image)
        std::filesystem::copy_file(SetImageFilePath(IsLandscapeSet(set) ? w.landscape : w.textures, set, image),
                                   SetImageFilePath(folder, set, image));
    }
    return w;
  }();
  return workspace;
}

// Runs kestrow-cli with `arguments` as often as the benchmark asks, each
// run writing `images` images.
void RunImport(benchmark::State& state, const std::vector<std::string>& arguments, const std::string& label,
               int images) {
  for (auto _ : state) {
    std::ostringstream out;
    std::ostringstream err;
    if (RunCli(arguments, CliOutput{out, err}) != kExitSuccess) {
      state.SkipWithError(err.str().c_str());
      break;
    }
  }
  state.SetLabel(label + ", " + std::to_string(images) + (images == 1 ? " image" : " images"));
  state.SetItemsProcessed(state.iterations() * images);
}

void ImportSet(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const Workspace& w = Files();
  RunImport(state, {"import", w.shapes, std::to_string(set + 1), IsLandscapeSet(set) ? w.landscape : w.textures},
            kSetListStrings[static_cast<std::size_t>(set)], KindOfSet(set).imageCount);
}

void ImportSetDithered(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const Workspace& w = Files();
  RunImport(state,
            {"import", w.shapes, std::to_string(set + 1), IsLandscapeSet(set) ? w.landscape : w.textures, "--dither"},
            std::string(kSetListStrings[static_cast<std::size_t>(set)]) + " dithered", KindOfSet(set).imageCount);
}

void ImportAll(benchmark::State& state) {
  const Workspace& w = Files();
  RunImport(state, {"import-all", w.shapes, w.all}, "every set", 4 * kTextureSlotCount + 4);
}

// LoadImage of the thirty textures and the landscape in one format, the
// decoding that an import of them starts with.
void DecodePictures(benchmark::State& state) {
  const PictureFormat format = static_cast<PictureFormat>(state.range(0));
  const Workspace& w = Files();
  std::vector<std::string> paths;
  for (int slot = 0; slot < kTextureSlotCount; ++slot) paths.push_back(SetImageFilePath(w.formats[format], 0, slot));
  paths.push_back(SetImageFilePath(w.formats[format], 4, 0));
  for (auto _ : state) {
    for (const std::string& path : paths) {
      HANDLE bitmap = LoadImage(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
      if (!bitmap) {
        state.SkipWithError(("cannot decode " + path).c_str());
        return;
      }
      DeleteObject(bitmap);
    }
  }
  state.SetLabel(std::string(kFormatNames[format]) + ", " + std::to_string(paths.size()) + " pictures");
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}

void ImportSetFromFormat(benchmark::State& state) {
  const PictureFormat format = static_cast<PictureFormat>(state.range(0));
  const Workspace& w = Files();
  RunImport(state, {"import", w.shapes, "1", w.formats[format]},
            std::string(kSetListStrings[0]) + " from " + kFormatNames[format], kTextureSlotCount);
}

// Texture Set # 1 patched as import does it, from the pictures loaded to
// the file closed; `journaled` chooses how the images are written.
void PatchTextureSet(benchmark::State& state, bool journaled) {
  const Workspace& w = Files();
  for (auto _ : state) {
    SetSources sources;
    CFile file;
    if (!LoadSetSources(w.textures, 0, sources).empty() ||
        !OpenShapesFile(file, w.shapes.c_str(), ShapesFileUse::Patch).opened) {
      state.SkipWithError("the pictures or the shapes file cannot be opened");
      break;
    }
    const ConvertedSet converted = ConvertSetImages(
        file, 0, FALSE, [&](int image) { return sources.bitmaps[static_cast<std::size_t>(image)].get(); });
    if (journaled) {
      std::vector<FileRange> writes;
      PatchSubject subject;
      AddSetWrites(converted, writes, subject);
      CommitPatch(file, std::move(writes), subject);
    } else {
      WriteConvertedSet(file, converted);
    }
    file.Close();
  }
  state.SetLabel(journaled ? "journal, syncs and history" : "written straight over the images, as before the journal");
  state.SetItemsProcessed(state.iterations() * kTextureSlotCount);
}

void PatchTextureSetJournaled(benchmark::State& state) { PatchTextureSet(state, true); }
void PatchTextureSetUnjournaled(benchmark::State& state) { PatchTextureSet(state, false); }

}  // namespace

BENCHMARK(ImportSet)->DenseRange(0, kSetCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportSetDithered)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportAll)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodePictures)->DenseRange(kBmp, kJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportSetFromFormat)->Arg(kPng)->Arg(kJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(PatchTextureSetJournaled)->Unit(benchmark::kMillisecond);
BENCHMARK(PatchTextureSetUnjournaled)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(Files().root, ignored);
  return 0;
}
