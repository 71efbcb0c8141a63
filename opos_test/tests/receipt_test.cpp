// The receipt's exact bytes for the code pages and widths an LDN can hold.
#include <gtest/gtest.h>

#include <string>

#include "receipt/receipt.h"
#include "receipt_bytes.h"

namespace dunlith::testing {
namespace {

TEST(Receipt, IsExactlyTheLayoutForCodePage437At576Dots) {
  ReceiptContent content;
  content.ldnName = u"Shop 1";
  content.portWords = "192.168.1.100:9100";
  content.printedAt = "2026-12-10 14:07:21";
  content.dotLineWidth = 576;
  content.codePage = 437;

  std::string expected =
      "\x1b@"
      "Dunlith printer test\n"
      "LDN:  Shop 1\n"
      "Port: 192.168.1.100:9100\n"
      "Time: 2026-12-10 14:07:21\n"
      "Width: 576 dots, 48 columns in font A:\n"
      "----+----1----+----2----+----3----+----4----+---\n"
      "Code page 437 (ESC t 0):\n"
      "\x1bt";
  expected += '\0';
  for (int row = 0x80; row <= 0xF0; row += 16) {
    for (int c = row; c < row + 16; ++c) {
      if (c != row) expected += ' ';
      expected += static_cast<char>(c);
    }
    expected += '\n';
  }
  expected += "\x1bt";
  expected += '\0';
  expected +=
      "End of test.\n"
      "\n\n\n\n"
      "\x1dV\x01";
  EXPECT_EQ(AsText(BuildReceipt(content)), expected);
}

TEST(Receipt, SelectsEachCommonCodePageByItsEscTNumber) {
  struct Case {
    std::uint32_t codePage;
    std::uint8_t escT;
  };
  const Case cases[] = {{437, 0}, {850, 2}, {852, 18}, {858, 19}, {866, 17}, {1252, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage);
    ReceiptContent content;
    content.codePage = c.codePage;
    const std::string receipt = AsText(BuildReceipt(content));
    const std::string heading =
        "Code page " + std::to_string(c.codePage) + " (ESC t " + std::to_string(c.escT) + "):\n\x1bt";
    const std::size_t at = receipt.find(heading);
    ASSERT_NE(at, std::string::npos);
    const std::size_t table = at + heading.size();
    EXPECT_EQ(static_cast<std::uint8_t>(receipt[table]), c.escT);
    EXPECT_EQ(receipt.substr(table + 1, 3), "\x80 \x81");
    EXPECT_EQ(receipt.find("\xef \xf0"), std::string::npos) << "0xEF ends a row";
    EXPECT_NE(receipt.find("\xfe \xff\n\x1bt"), std::string::npos) << "0xFF last, then back to table 0";
  }
}

TEST(Receipt, PrintsGbkThroughTheDoubleByteModeFor936) {
  ReceiptContent content;
  content.codePage = 936;
  const std::string receipt = AsText(BuildReceipt(content));
  EXPECT_NE(receipt.find("Code page 936 (GBK, FS &):\n"
                         "\x1c&"
                         "\xb4\xf2\xd3\xa1\xb2\xe2\xca\xd4 \xd6\xd0\xce\xc4 \xc4\xe3\xba\xc3 \xa3\xa4"
                         "\x1c.\n"
                         "End of test.\n"),
            std::string::npos);
  EXPECT_EQ(receipt.find("\x1bt"), std::string::npos) << "no single-byte table is selected";
}

TEST(Receipt, SaysPlainlyWhenACodePageHasNoEscTNumber) {
  for (std::uint32_t codePage : {0u, 1251u, 65001u, 99999u}) {
    SCOPED_TRACE(codePage);
    ReceiptContent content;
    content.codePage = codePage;
    const std::string receipt = AsText(BuildReceipt(content));
    EXPECT_NE(receipt.find("Code page " + std::to_string(codePage) +
                           ": this printer model set has no ESC t number for it;\n"
                           "its characters are not printed.\n"
                           "End of test.\n"),
              std::string::npos);
    EXPECT_EQ(receipt.find("\x1bt"), std::string::npos);
    EXPECT_EQ(receipt.find('\x80'), std::string::npos);
  }
}

TEST(Receipt, TheRulerIsAsWideAsTheDotLineAllowsInFontA) {
  struct Case {
    std::uint32_t dots;
    std::uint32_t columns;
  };
  // Below one character and beyond any receipt printer, the common 576 dots stand in.
  const Case cases[] = {{576, 48}, {640, 53}, {384, 32}, {12, 1}, {11, 48}, {0, 48}, {960, 80}, {972, 48},
                        {0xFFFFFFFF, 48}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dots);
    ReceiptContent content;
    content.dotLineWidth = c.dots;
    const std::string receipt = AsText(BuildReceipt(content));
    const std::string heading =
        "Width: " + std::to_string(c.dots) + " dots, " + std::to_string(c.columns) + " columns in font A:\n";
    const std::size_t at = receipt.find(heading);
    ASSERT_NE(at, std::string::npos);
    const std::size_t ruler = at + heading.size();
    EXPECT_EQ(receipt.substr(ruler, receipt.find('\n', ruler) - ruler), Ruler(c.columns));
  }
  EXPECT_EQ(Ruler(53), "----+----1----+----2----+----3----+----4----+----5---");
  EXPECT_EQ(Ruler(1), "-");
}

TEST(Receipt, NamesTheLdnInPlainAscii) {
  ReceiptContent content;
  content.ldnName = u"Kasse \u00c4 \u6536\u94f6\t1";
  EXPECT_NE(AsText(BuildReceipt(content)).find("LDN:  Kasse ? ???1\n"), std::string::npos);
}

TEST(Receipt, TheDrawerPulseIsEscP) { EXPECT_EQ(DrawerPulse(), (Bytes{0x1B, 0x70, 0x00, 0x19, 0xFA})); }

TEST(Receipt, TimestampsHaveFixedWidth) {
  EXPECT_EQ(FormatTimestamp(2026, 1, 2, 3, 4, 5), "2026-01-02 03:04:05");
  EXPECT_EQ(FormatTimestamp(2026, 12, 31, 23, 59, 59), "2026-12-31 23:59:59");
}

}  // namespace
}  // namespace dunlith::testing
