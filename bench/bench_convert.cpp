// Bitmap-to-palette conversion, the plain way (one GetPixel call and one
// linear palette scan per pixel) against ours, on a texture set (thirty
// photo-like sources, several of them scaled from other sizes) and on a
// landscape, each reduced to a 256-colour and a 231-colour palette. Beside
// them a floor: the least any conversion must do, reading each sampled
// source pixel once from the same bitmap storage and writing one byte per
// target pixel in the same order, with no palette at all.
//
// Besides Google Benchmark's own table it checks, in the same run, that both
// conversions give the same bytes, and ends with two lines per workload:
//   speed-up texture-set/256: 63.2x, output equal
//   floor ratio texture-set/256: 2.9x
// (or "output DIFFERS", and a non-zero exit status). The speed-up is the
// plain conversion's time over ours, the floor ratio ours over the floor's.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_pictures.h"
#include "editor/import/convert_bitmap.h"
#include "editor/import/dither_bitmap.h"
#include "editor/import/reference/reference_conversion.h"
#include "editor/shapes/set_kinds.h"
#include "platform/gdi/gdi.h"

namespace {
using bench::Clamp;
using bench::PhotoLike;
using bench::Random;

// A game-like palette: ramps of shades, each from near black to a light
// tint of one hue, plus greys.
SetPalette RampPalette(int count, std::uint32_t seed) {
  Random random(seed);
  const int ramps = count == 256 ? 16 : 11;
  const int shades = count / ramps;
  SetPalette palette{};
  for (int ramp = 0; ramp < ramps; ++ramp) {
    const double r = ramp == 0 ? 1 : 0.3 + random.Unit() * 0.7;
    const double g = ramp == 0 ? 1 : 0.3 + random.Unit() * 0.7;
    const double b = ramp == 0 ? 1 : 0.3 + random.Unit() * 0.7;
    for (int s = 0; s < shades; ++s) {
      const double t = (s + 1.0) / shades;
      const double light = std::pow(t, 0.8) * 255;
      palette[static_cast<std::size_t>(ramp * shades + s)] =
          PaletteEntry(Clamp(light * r + t * t * 40), Clamp(light * g + t * t * 40), Clamp(light * b + t * t * 40));
    }
  }
  return palette;
}

// One source bitmap selected into its memory DC.
struct Source {
  Source(int w, int h, std::uint32_t seed)
      : width(w), height(h), bitmap(kp::gdi::CreateBitmapFromPixels(w, h, 32, PhotoLike(w, h, seed))), dc(nullptr) {
    previous = SelectObject(dc.get(), bitmap.get());
  }
  ~Source() {
    if (previous) SelectObject(dc.get(), previous);
  }
  int width;
  int height;
  kp::gdi::ScopedBitmap bitmap;
  kp::gdi::ScopedMemoryDC dc;
  HGDIOBJ previous = nullptr;
};

struct Workload {
  std::string name;
  bool landscape = false;
  int count = 256;
  SetPalette palette{};
  std::vector<std::unique_ptr<Source>> sources;
};

std::vector<Workload>& Workloads() {
  static std::vector<Workload> workloads = [] {
    std::vector<Workload> all;
    for (bool landscape : {false, true}) {
      for (int count : {256, 231}) {
        Workload w;
        w.name = std::string(landscape ? "landscape/" : "texture-set/") + std::to_string(count);
        w.landscape = landscape;
        w.count = count;
        w.palette = RampPalette(count, static_cast<std::uint32_t>(count));
        if (landscape) {
          w.sources.push_back(std::make_unique<Source>(600, 200, 1000));
        } else {
          // Mostly the set's own size, some scaled up or down.
          static const int kSizes[][2] = {{128, 128}, {128, 128}, {64, 64}, {128, 128}, {300, 200}, {256, 256}};
          for (int i = 0; i < kTextureSlotCount; ++i) {
            const int* size = kSizes[i % std::size(kSizes)];
            w.sources.push_back(std::make_unique<Source>(size[0], size[1], static_cast<std::uint32_t>(i + 1)));
          }
        }
        all.push_back(std::move(w));
      }
    }
    return all;
  }();
  return workloads;
}

// Converts every source of a workload into `out`, image after image, as a
// patch of the set does.
using Conversion = bool (*)(const Workload& w, std::vector<BYTE>& out);

template <typename Convert>
bool EachImage(const Workload& w, std::vector<BYTE>& out, Convert&& convert) {
  const SetKind& kind = w.landscape ? kLandscape : kTextureSet;
  const std::size_t bytes = static_cast<std::size_t>(kind.ImageBytes());
  out.resize(bytes * w.sources.size());
  for (std::size_t i = 0; i < w.sources.size(); ++i) {
    const Source& s = *w.sources[i];
    if (!convert(out.data() + i * bytes, kind.width, kind.height, s.dc.get(), s.width, s.height,
                 w.landscape ? TRUE : FALSE))
      return false;
  }
  return true;
}

bool Reference(const Workload& w, std::vector<BYTE>& out) {
  return EachImage(w, out, [&](BYTE* to, int dw, int dh, HDC dc, int sw, int sh, BOOL rows) {
    return reference::ConvertBitmapToPalette(to, dw, dh, dc, sw, sh, rows, w.palette, w.count) != FALSE;
  });
}

// Each target pixel's byte is the blue of its source pixel, taken through the
// same scaled rows the conversion reads; a row that repeats the row above
// copies its bytes, as the conversion does.
bool Floor(const Workload& w, std::vector<BYTE>& out) {
  return EachImage(w, out, [](BYTE* to, int dw, int dh, HDC dc, int sw, int sh, BOOL rows) {
    const kp::gdi::StretchedRows source(dc, sw, sh, dw, dh);
    if (!source.ok()) return false;
    const int* columns = source.Columns().data();
    const std::ptrdiff_t step = rows ? 1 : dh;
    for (int y = 0; y < dh; ++y) {
      BYTE* start = to + (rows ? static_cast<std::ptrdiff_t>(dh - 1 - y) * dw : y);
      const std::uint32_t* row = source.Row(y);
      const bool repeat = y > 0 && source.SourceRow(y) == source.SourceRow(y - 1);
      const std::ptrdiff_t above = rows ? dw : -1;
      for (std::ptrdiff_t x = 0; x < dw; ++x)
        start[x * step] = repeat ? start[x * step + above] : static_cast<BYTE>(row[columns[x]]);
    }
    return true;
  });
}

// One matcher per set, made inside the timed work, as the patch does.
bool Ours(const Workload& w, std::vector<BYTE>& out) {
  PaletteMatcher matcher(w.palette, w.count);
  return EachImage(w, out, [&](BYTE* to, int dw, int dh, HDC dc, int sw, int sh, BOOL rows) {
    return ConvertBitmapToPalette(to, dw, dh, dc, sw, sh, rows, matcher) != FALSE;
  });
}

void Run(benchmark::State& state, const Workload& w, Conversion convert) {
  std::vector<BYTE> out;
  for (auto _ : state) {
    if (!convert(w, out)) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}

// Keeps the best processor time per iteration of each benchmark over its
// five repetitions, to report the speed-ups at the end. Processor time and the
// best of several runs keep other work on the machine out of the ratio.
class TimingReporter : public benchmark::ConsoleReporter {
 public:
  // Without colours: their escape codes would run into the lines after the
  // table, which scripts read.
  TimingReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
        m_seconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
  }
  std::map<std::string, double> m_seconds;
};

// The best time of one benchmark over that of another, as "12.3x".
std::string Ratio(const TimingReporter& reporter, const std::string& slower, const std::string& faster) {
  const auto over = reporter.m_seconds.find(slower);
  const auto under = reporter.m_seconds.find(faster);
  if (over == reporter.m_seconds.end() || under == reporter.m_seconds.end() || under->second <= 0)
    return "not measured";
  char ratio[32];
  std::snprintf(ratio, sizeof ratio, "%.1fx", over->second / under->second);
  return ratio;
}

// Dithering's cost: the same workloads reduced by error diffusion, one
// matcher per set as the patch makes, reported in the table as "dithered/"
// and at the end as "dithering texture-set/256: 4.7x the time of nearest
// colour".
bool Dithered(const Workload& w, std::vector<BYTE>& out) {
  PaletteMatcher matcher(w.palette, w.count);
  return EachImage(w, out, [&](BYTE* to, int dw, int dh, HDC dc, int sw, int sh, BOOL rows) {
    return DitherBitmapToPalette(to, dw, dh, dc, sw, sh, rows, w.palette, matcher) != FALSE;
  });
}

}  // namespace

int main(int argc, char** argv) {
  // The repetitions of the three conversions of a workload take turns
  // (unless the command line says otherwise), so that a stretch of other
  // work on the machine slows all three alike instead of one of them.
  std::vector<char*> arguments(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  if (std::none_of(argv + 1, argv + argc, [](const char* a) {
        return std::string(a).rfind("--benchmark_enable_random_interleaving", 0) == 0;
      }))
    arguments.insert(arguments.begin() + 1, interleave.data());
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;

  for (const Workload& w : Workloads()) {
    for (auto [prefix, conversion] : {std::pair<std::string, Conversion>{"reference/", Reference},
                                      std::pair<std::string, Conversion>{"ours/", Ours},
                                      std::pair<std::string, Conversion>{"floor/", Floor},
                                      std::pair<std::string, Conversion>{"dithered/", Dithered}})
      benchmark::RegisterBenchmark((prefix + w.name).c_str(), Run, std::cref(w), conversion)
          ->Unit(benchmark::kMillisecond)
          ->Repetitions(5)
          ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
          ->ReportAggregatesOnly(true);
  }
  TimingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::fflush(stdout);

  bool allEqual = true;
  for (const Workload& w : Workloads()) {
    std::vector<BYTE> expected;
    std::vector<BYTE> ours;
    const bool converted = Reference(w, expected) && Ours(w, ours);
    const bool equal = converted && expected == ours;
    allEqual = allEqual && equal;
    const std::string speedUp = Ratio(reporter, "reference/" + w.name, "ours/" + w.name);
    std::printf("speed-up %s: %s, output %s\n", w.name.c_str(), speedUp.c_str(), equal ? "equal" : "DIFFERS");
    std::printf("floor ratio %s: %s\n", w.name.c_str(), Ratio(reporter, "ours/" + w.name, "floor/" + w.name).c_str());
  }
  for (const Workload& w : Workloads())
    std::printf("dithering %s: %s the time of nearest colour\n", w.name.c_str(),
                Ratio(reporter, "dithered/" + w.name, "ours/" + w.name).c_str());
  std::fflush(stdout);
  return allEqual ? 0 : 1;
}
