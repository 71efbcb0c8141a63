#include "receipt.h"

#include <string_view>

namespace dunlith {

namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kFs = 0x1C;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kLf = 0x0A;

constexpr std::uint32_t kFontADots = 12;
constexpr std::uint32_t kDefaultDotLineWidth = 576;
// Wider than the 112 mm paper of the widest receipt printers.
constexpr std::uint32_t kMostColumns = 80;
constexpr std::uint32_t kCharactersPerRow = 16;

struct CodePageNumber {
  std::uint32_t codePage;
  int escT;
};

// Epson's character code table numbers.
constexpr CodePageNumber kEscTNumbers[] = {
    {437, 0}, {850, 2}, {852, 18}, {858, 19}, {866, 17}, {1252, 16},
};

constexpr std::uint32_t kGbkCodePage = 936;
// 打印测试 中文 你好 ￥ in GBK: a few of the characters every GBK font has.
constexpr std::uint8_t kGbkSample[] = {0xB4, 0xF2, 0xD3, 0xA1, 0xB2, 0xE2, 0xCA, 0xD4, 0x20, 0xD6, 0xD0,
                                       0xCE, 0xC4, 0x20, 0xC4, 0xE3, 0xBA, 0xC3, 0x20, 0xA3, 0xA4};

void Append(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

void Line(Bytes& out, std::string_view text) {
  Append(out, text);
  out.push_back(kLf);
}

}  // namespace

int EscTNumber(std::uint32_t codePage) {
  for (const CodePageNumber& entry : kEscTNumbers) {
    if (entry.codePage == codePage) return entry.escT;
  }
  return -1;
}

std::uint32_t ColumnsOf(std::uint32_t dotLineWidth) {
  const std::uint32_t columns = dotLineWidth / kFontADots;
  if (columns == 0 || columns > kMostColumns) return kDefaultDotLineWidth / kFontADots;
  return columns;
}

std::string Ruler(std::uint32_t columns) {
  std::string ruler;
  for (std::uint32_t at = 1; at <= columns; ++at) {
    if (at % 10 == 0) {
      ruler += static_cast<char>('0' + (at / 10) % 10);
    } else {
      ruler += at % 5 == 0 ? '+' : '-';
    }
  }
  return ruler;
}

std::string PlainAscii(const std::u16string& text) {
  std::string plain;
  for (char16_t c : text) plain += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  return plain;
}

Bytes BuildReceipt(const ReceiptContent& content) {
  Bytes out{kEsc, '@'};
  Line(out, "Dunlith printer test");
  Line(out, "LDN:  " + PlainAscii(content.ldnName));
  Line(out, "Port: " + content.portWords);
  Line(out, "Time: " + content.printedAt);

  const std::uint32_t columns = ColumnsOf(content.dotLineWidth);
  Line(out, "Width: " + std::to_string(content.dotLineWidth) + " dots, " + std::to_string(columns) +
                " columns in font A:");
  Line(out, Ruler(columns));

  const std::string codePage = std::to_string(content.codePage);
  if (content.codePage == kGbkCodePage) {
    Line(out, "Code page 936 (GBK, FS &):");
    out.insert(out.end(), {kFs, '&'});
    out.insert(out.end(), std::begin(kGbkSample), std::end(kGbkSample));
    out.insert(out.end(), {kFs, '.'});
    out.push_back(kLf);
  } else if (const int number = EscTNumber(content.codePage); number >= 0) {
    Line(out, "Code page " + codePage + " (ESC t " + std::to_string(number) + "):");
    out.insert(out.end(), {kEsc, 't', static_cast<std::uint8_t>(number)});
    for (unsigned row = 0x80; row <= 0xFF; row += kCharactersPerRow) {
      for (unsigned c = row; c < row + kCharactersPerRow; ++c) {
        if (c != row) out.push_back(' ');
        out.push_back(static_cast<std::uint8_t>(c));
      }
      out.push_back(kLf);
    }
    // Back to the printer's first table, so that whatever follows prints as plain ASCII.
    out.insert(out.end(), {kEsc, 't', 0});
  } else {
    Line(out, "Code page " + codePage + ": this printer model set has no ESC t number for it;");
    Line(out, "its characters are not printed.");
  }

  Line(out, "End of test.");
  out.insert(out.end(), {kLf, kLf, kLf, kLf});
  out.insert(out.end(), {kGs, 'V', 1});
  return out;
}

Bytes DrawerPulse() { return {kEsc, 'p', 0, 25, 250}; }

}  // namespace dunlith

namespace dunlith {

namespace {

std::string TwoDigits(unsigned value) {
  return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

}  // namespace

std::string FormatTimestamp(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                            unsigned second) {
  return std::to_string(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day) + " " + TwoDigits(hour) + ":" +
         TwoDigits(minute) + ":" + TwoDigits(second);
}

}  // namespace dunlith
