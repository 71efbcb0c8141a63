#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dunlith::testing {

inline std::string AsText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Bytes as "1B 40 44 ..." and, beside them, as readable text with "." for what is not ASCII.
inline std::string HexAndText(const std::vector<std::uint8_t>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t row = 0; row < bytes.size(); row += 16) {
    std::string hex;
    std::string text;
    for (std::size_t i = row; i < row + 16; ++i) {
      if (i < bytes.size()) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0xF];
        hex += ' ';
        text += bytes[i] >= 0x20 && bytes[i] < 0x7F ? static_cast<char>(bytes[i]) : '.';
      } else {
        hex += "   ";
      }
    }
    out += hex + " " + text + "\n";
  }
  return out;
}

}  // namespace dunlith::testing
