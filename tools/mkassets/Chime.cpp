#include <algorithm>
#include <cmath>

#include "Art.h"

namespace mkassets {

// Two bell-like notes, a fifth apart and falling, each a few decaying partials.
std::vector<int16_t> chimeSamples() {
  constexpr int kRate = 22050;
  constexpr double kPi = 3.14159265358979323846;
  const int count = kRate * 8 / 10;  // 0.8 s
  struct Note {
    double start, frequency;
  };
  const Note notes[] = {{0.0, 1318.51}, {0.16, 879.0}};
  const double partials[][2] = {{1.0, 1.0}, {2.0, 0.35}, {3.01, 0.12}, {4.2, 0.05}};
  std::vector<double> wave(count, 0.0);
  for (const Note& note : notes) {
    for (int i = static_cast<int>(note.start * kRate); i < count; ++i) {
      double t = static_cast<double>(i) / kRate - note.start;
      double attack = std::min(1.0, t / 0.004);
      for (auto& partial : partials)
        wave[i] += attack * partial[1] * std::exp(-t * (4.5 + 2.5 * partial[0])) *
                   std::sin(2 * kPi * note.frequency * partial[0] * t);
    }
  }
  double peak = 1e-9;
  for (double v : wave) peak = std::max(peak, std::abs(v));
  std::vector<int16_t> samples(count);
  for (int i = 0; i < count; ++i) {
    double fade = i > count - 441 ? (count - i) / 441.0 : 1.0;  // no click at the end
    samples[i] = static_cast<int16_t>(std::lround(wave[i] / peak * 0.6 * 32767 * fade));
  }
  return samples;
}

}  // namespace mkassets
