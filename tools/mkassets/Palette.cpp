#include "Palette.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace mkassets {

namespace {

int channel(uint32_t colour, int axis) { return static_cast<int>((colour >> (16 - 8 * axis)) & 255); }

struct Box {
  std::vector<std::pair<uint32_t, uint64_t>> colours;  // colour and how often it occurs

  int range(int axis) const {
    int low = 255, high = 0;
    for (auto& [c, n] : colours) low = std::min(low, channel(c, axis)), high = std::max(high, channel(c, axis));
    return high - low;
  }
  int widestAxis() const {
    int best = 0;
    for (int axis = 1; axis < 3; ++axis)
      if (range(axis) > range(best)) best = axis;
    return best;
  }
  uint64_t weight() const {
    uint64_t total = 0;
    for (auto& entry : colours) total += entry.second;
    return total;
  }
  uint32_t average() const {
    uint64_t sum[3] = {0, 0, 0}, total = weight();
    for (auto& [c, n] : colours)
      for (int axis = 0; axis < 3; ++axis) sum[axis] += uint64_t(channel(c, axis)) * n;
    uint32_t out = 0;
    for (int axis = 0; axis < 3; ++axis) out = (out << 8) | static_cast<uint32_t>((sum[axis] + total / 2) / total);
    return out;
  }
};

}  // namespace

std::vector<uint32_t> medianCut(const std::vector<std::vector<uint32_t>>& pictures, const std::vector<uint32_t>& fixed,
                                size_t size) {
  std::map<uint32_t, uint64_t> counts;  // ordered, so the result never depends on hashing
  for (const auto& picture : pictures)
    for (uint32_t colour : picture)
      if (std::find(fixed.begin(), fixed.end(), colour) == fixed.end()) ++counts[colour];
  std::vector<uint32_t> palette = fixed;
  size_t room = size > fixed.size() ? size - fixed.size() : 0;
  if (counts.size() <= room) {
    for (auto& entry : counts) palette.push_back(entry.first);
    return palette;
  }
  std::vector<Box> boxes(1);
  boxes[0].colours.assign(counts.begin(), counts.end());
  while (boxes.size() < room) {
    // Split the box whose colours spread the most, weighted by how many pixels it holds.
    size_t pick = boxes.size();
    uint64_t best = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].colours.size() < 2) continue;
      uint64_t score = uint64_t(boxes[i].range(boxes[i].widestAxis()) + 1) * boxes[i].weight();
      if (score > best) best = score, pick = i;
    }
    if (pick == boxes.size()) break;
    Box& box = boxes[pick];
    int axis = box.widestAxis();
    std::stable_sort(box.colours.begin(), box.colours.end(),
                     [axis](auto& a, auto& b) { return channel(a.first, axis) < channel(b.first, axis); });
    uint64_t half = box.weight() / 2, running = 0;
    size_t cut = 1;
    for (; cut < box.colours.size() - 1; ++cut) {
      running += box.colours[cut - 1].second;
      if (running >= half) break;
    }
    Box upper;
    upper.colours.assign(box.colours.begin() + static_cast<long>(cut), box.colours.end());
    box.colours.resize(cut);
    boxes.push_back(std::move(upper));
  }
  for (const Box& box : boxes) palette.push_back(box.average());
  return palette;
}

std::vector<uint8_t> toIndices(const std::vector<uint32_t>& picture, const std::vector<uint32_t>& palette) {
  std::unordered_map<uint32_t, uint8_t> nearest;
  std::vector<uint8_t> out;
  out.reserve(picture.size());
  for (uint32_t colour : picture) {
    auto found = nearest.find(colour);
    if (found == nearest.end()) {
      int bestDistance = 1 << 30;
      uint8_t best = 0;
      for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        int distance = 0;
        for (int axis = 0; axis < 3; ++axis) {
          int d = channel(colour, axis) - channel(palette[i], axis);
          distance += d * d;
        }
        if (distance < bestDistance) bestDistance = distance, best = static_cast<uint8_t>(i);
      }
      found = nearest.emplace(colour, best).first;
    }
    out.push_back(found->second);
  }
  return out;
}

std::vector<uint32_t> vgaPalette() {
  return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
          0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
}

}  // namespace mkassets
