#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The ESC/POS test receipt that proves an LDN's settings reach its printer. Pure: the caller
// supplies the time, so that the same settings always give the same bytes.
namespace dunlith {

using Bytes = std::vector<std::uint8_t>;

struct ReceiptContent {
  std::u16string ldnName;
  std::string portWords;  // "USB", "COM3 at 19200", "192.168.1.100:9100"
  std::string printedAt;  // "2026-12-10 14:07:21"
  std::uint32_t dotLineWidth = 576;
  std::uint32_t codePage = 437;
};

// Epson's ESC t number of a single-byte code page; -1 when the printer's table has none.
int EscTNumber(std::uint32_t codePage);

// Font A characters per line: a character cell is 12 dots wide. A width that gives no sensible
// line (below one character or wider than any receipt printer) counts as the common 576 dots.
std::uint32_t ColumnsOf(std::uint32_t dotLineWidth);

// "----+----1----+----2..." as wide as |columns|.
std::string Ruler(std::uint32_t columns);

// Text that prints the same in every code page: printable ASCII, anything else as '?'.
std::string PlainAscii(const std::u16string& text);

Bytes BuildReceipt(const ReceiptContent& content);

// ESC p 0 25 250: a 50 ms pulse on drawer pin 2, then 500 ms off.
Bytes DrawerPulse();

}  // namespace dunlith

namespace dunlith {

// "2026-12-10 14:07:21".
std::string FormatTimestamp(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                            unsigned second);

}  // namespace dunlith
