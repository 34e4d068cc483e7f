#include "tools/make_art/colour_quantizer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>
#include <vector>

namespace make_art {
namespace {

struct Sample {
  Rgb colour;
  double weight;
};

std::uint32_t Key(Rgb c) { return ToXrgb(c); }

// Green counts most and blue least, roughly as the eye weighs them.
double Distance(double r0, double g0, double b0, Rgb c) {
  const double dr = r0 - c.r, dg = g0 - c.g, db = b0 - c.b;
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int Channel(Rgb c, int channel) { return channel == 0 ? c.r : channel == 1 ? c.g : c.b; }

struct Box {
  std::size_t begin;
  std::size_t end;
  double weight;
  int widest;  // channel with the largest spread
  int spread;
};

Box MeasureBox(const std::vector<Sample>& samples, std::size_t begin, std::size_t end) {
  Box box{begin, end, 0, 0, 0};
  int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  for (std::size_t i = begin; i < end; ++i) {
    box.weight += samples[i].weight;
    for (int ch = 0; ch < 3; ++ch) {
      lo[ch] = std::min(lo[ch], Channel(samples[i].colour, ch));
      hi[ch] = std::max(hi[ch], Channel(samples[i].colour, ch));
    }
  }
  for (int ch = 0; ch < 3; ++ch)
    if (hi[ch] - lo[ch] > box.spread) {
      box.spread = hi[ch] - lo[ch];
      box.widest = ch;
    }
  return box;
}

std::vector<Rgb> MedianCut(std::vector<Sample>& samples, std::size_t count) {
  std::vector<Box> boxes{MeasureBox(samples, 0, samples.size())};
  while (boxes.size() < count) {
    // Split the box whose colours are both common and far apart.
    auto it = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
      return std::sqrt(a.weight) * a.spread < std::sqrt(b.weight) * b.spread;
    });
    if (it->spread == 0) break;
    const Box box = *it;
    const int ch = box.widest;
    std::sort(samples.begin() + static_cast<std::ptrdiff_t>(box.begin),
              samples.begin() + static_cast<std::ptrdiff_t>(box.end), [ch](const Sample& a, const Sample& b) {
                const int ca = Channel(a.colour, ch), cb = Channel(b.colour, ch);
                return ca != cb ? ca < cb : Key(a.colour) < Key(b.colour);
              });
    double running = 0;
    std::size_t split = box.begin + 1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
      running += samples[i].weight;
      split = i + 1;
      if (running >= box.weight / 2) break;
    }
    // Never split between two equal values of the channel, or the halves
    // would share a colour.
    while (split < box.end && Channel(samples[split].colour, ch) == Channel(samples[split - 1].colour, ch)) ++split;
    if (split == box.end) {
      split = box.begin + 1;
      while (Channel(samples[split].colour, ch) == Channel(samples[box.begin].colour, ch)) ++split;
    }
    *it = MeasureBox(samples, box.begin, split);
    boxes.push_back(MeasureBox(samples, split, box.end));
  }
  std::vector<Rgb> centres;
  for (const Box& box : boxes) {
    double r = 0, g = 0, b = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      r += samples[i].colour.r * samples[i].weight;
      g += samples[i].colour.g * samples[i].weight;
      b += samples[i].colour.b * samples[i].weight;
    }
    centres.push_back({ClampChannel(r / box.weight), ClampChannel(g / box.weight), ClampChannel(b / box.weight)});
  }
  return centres;
}

void Refine(const std::vector<Sample>& samples, std::vector<Rgb>& centres, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    std::vector<double> r(centres.size()), g(centres.size()), b(centres.size()), w(centres.size());
    for (const Sample& s : samples) {
      std::size_t best = 0;
      double bestDistance = 1e300;
      for (std::size_t k = 0; k < centres.size(); ++k) {
        const double d = Distance(s.colour.r, s.colour.g, s.colour.b, centres[k]);
        if (d < bestDistance) {
          bestDistance = d;
          best = k;
        }
      }
      r[best] += s.colour.r * s.weight;
      g[best] += s.colour.g * s.weight;
      b[best] += s.colour.b * s.weight;
      w[best] += s.weight;
    }
    for (std::size_t k = 0; k < centres.size(); ++k)
      if (w[k] > 0) centres[k] = {ClampChannel(r[k] / w[k]), ClampChannel(g[k] / w[k]), ClampChannel(b[k] / w[k])};
  }
}

double Luma(Rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

}  // namespace

Palette256 BuildPalette(std::span<const Canvas> pictures) {
  std::map<std::uint32_t, std::size_t> counts;  // ordered, so the result never depends on hashing
  for (const Canvas& picture : pictures)
    for (const Rgb& c : picture.pixels) ++counts[Key(c)];

  std::vector<Sample> samples;
  for (const auto& [key, count] : counts) {
    // The square root keeps small details (an eye, an outline) from being
    // swallowed by the large areas of sky.
    samples.push_back(
        {Rgb{static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8), static_cast<std::uint8_t>(key)},
         std::sqrt(static_cast<double>(count))});
  }

  std::vector<Rgb> centres;
  if (samples.size() <= 256) {
    for (const Sample& s : samples) centres.push_back(s.colour);
  } else {
    centres = MedianCut(samples, 256);
    Refine(samples, centres, 8);
  }
  std::sort(centres.begin(), centres.end(),
            [](Rgb a, Rgb b) { return Luma(a) != Luma(b) ? Luma(a) < Luma(b) : Key(a) < Key(b); });
  Palette256 palette{};
  std::copy(centres.begin(), centres.end(), palette.begin());
  return palette;
}

std::uint8_t NearestEntry(const Palette256& palette, Rgb c) {
  std::size_t best = 0;
  double bestDistance = 1e300;
  for (std::size_t k = 0; k < palette.size(); ++k) {
    const double d = Distance(c.r, c.g, c.b, palette[k]);
    if (d < bestDistance) {
      bestDistance = d;
      best = k;
    }
  }
  return static_cast<std::uint8_t>(best);
}

IndexedImage MapToPalette(const Canvas& picture, const Palette256& palette) {
  IndexedImage out(picture.width, picture.height);
  std::unordered_map<std::uint32_t, std::uint8_t> memo;
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const Rgb c = picture.pixels[i];
    auto [it, added] = memo.try_emplace(Key(c), 0);
    if (added) it->second = NearestEntry(palette, c);
    out.pixels[i] = it->second;
  }
  return out;
}

}  // namespace make_art
