#include "Palette.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

const std::array<Rgb8, 16>& classicPalette() {
  static const std::array<Rgb8, 16> palette = {{
      {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
      {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
      {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
      {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
  }};
  return palette;
}

namespace {

using Counted = std::pair<Rgb8, std::size_t>;
using Box = std::vector<Counted>;

int channel(Rgb8 c, int which) { return which == 0 ? c.r : which == 1 ? c.g : c.b; }

// The channel with the widest spread in the box, and that spread.
std::pair<int, int> widestChannel(const Box& box) {
  std::pair<int, int> best{0, -1};
  for (int which = 0; which < 3; ++which) {
    const auto [low, high] = std::minmax_element(
        box.begin(), box.end(), [which](const Counted& a, const Counted& b) {
          return channel(a.first, which) < channel(b.first, which);
        });
    const int spread = channel(high->first, which) - channel(low->first, which);
    if (spread > best.second) best = {which, spread};
  }
  return best;
}

Rgb8 average(const Box& box) {
  double r = 0, g = 0, b = 0, n = 0;
  for (const auto& [colour, count] : box) {
    r += colour.r * static_cast<double>(count);
    g += colour.g * static_cast<double>(count);
    b += colour.b * static_cast<double>(count);
    n += static_cast<double>(count);
  }
  return {static_cast<std::uint8_t>(r / n + 0.5), static_cast<std::uint8_t>(g / n + 0.5),
          static_cast<std::uint8_t>(b / n + 0.5)};
}

}  // namespace

std::vector<Rgb8> fitPalette(const std::vector<Rgb8>& colours, std::size_t maxColours) {
  std::map<std::tuple<int, int, int>, std::size_t> histogram;
  for (Rgb8 c : colours) ++histogram[{c.r, c.g, c.b}];
  Box all;
  for (const auto& [key, count] : histogram) {
    all.push_back({{static_cast<std::uint8_t>(std::get<0>(key)),
                    static_cast<std::uint8_t>(std::get<1>(key)),
                    static_cast<std::uint8_t>(std::get<2>(key))},
                   count});
  }
  if (all.empty() || maxColours == 0) return {};

  std::vector<Box> boxes{all};
  while (boxes.size() < maxColours) {
    std::size_t pick = boxes.size();
    std::pair<int, int> pickChannel{0, 0};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].size() < 2) continue;
      const auto widest = widestChannel(boxes[i]);
      if (widest.second > pickChannel.second) {
        pick = i;
        pickChannel = widest;
      }
    }
    if (pick == boxes.size()) break;  // every box holds one colour: exact

    Box& box = boxes[pick];
    const int which = pickChannel.first;
    std::sort(box.begin(), box.end(), [which](const Counted& a, const Counted& b) {
      return channel(a.first, which) < channel(b.first, which);
    });
    std::size_t total = 0;
    for (const auto& entry : box) total += entry.second;
    std::size_t split = 1, running = box[0].second;
    while (split < box.size() - 1 && running * 2 < total) running += box[split++].second;
    Box upper(box.begin() + static_cast<std::ptrdiff_t>(split), box.end());
    box.resize(split);
    boxes.push_back(std::move(upper));
  }

  std::vector<Rgb8> palette;
  for (const Box& box : boxes) palette.push_back(average(box));
  return palette;
}

std::size_t nearestEntry(const std::vector<Rgb8>& palette, Rgb8 colour) {
  std::size_t best = 0;
  long bestDistance = -1;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const long dr = palette[i].r - colour.r, dg = palette[i].g - colour.g,
               db = palette[i].b - colour.b;
    // Green weighs most in how bright a colour looks, blue least.
    const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}
