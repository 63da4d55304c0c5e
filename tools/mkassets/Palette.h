// Reducing full-colour pictures to one shared palette, for 8-bit clips and icons.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkassets {

// A palette of at most `size` colours (0xRRGGBB) for all the pictures together, by median cut;
// the `fixed` colours come first and stay exact.
std::vector<uint32_t> medianCut(const std::vector<std::vector<uint32_t>>& pictures, const std::vector<uint32_t>& fixed,
                                size_t size);

// Each pixel as the index of its nearest palette colour.
std::vector<uint8_t> toIndices(const std::vector<uint32_t>& picture, const std::vector<uint32_t>& palette);

// The 16 colours of the standard VGA palette, in their usual order.
std::vector<uint32_t> vgaPalette();

}  // namespace mkassets
