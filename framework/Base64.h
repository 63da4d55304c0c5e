// Base64 with the standard alphabet and padding, for picture bytes inside window descriptions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::string Base64Encode(const std::vector<uint8_t>& bytes);
// Nothing when the text holds anything but the alphabet, padding in the right place, or blanks.
std::optional<std::vector<uint8_t>> Base64Decode(std::string_view text);
