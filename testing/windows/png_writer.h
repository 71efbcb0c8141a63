#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pos::testing {

// Writes 8-bit RGB rows, top row first, as an uncompressed PNG file.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace pos::testing
