// The settings file: what it reads, what it refuses (naming the line), and what it writes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/settings_file.h"
#include "cli/text_encoding.h"
#include "registry_fixture.h"

namespace corvale::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::vector<LdnSettings> Read(const std::string& text, SettingsRead expected = SettingsRead::kRead) {
  std::vector<LdnSettings> ldns;
  int line = 0;
  std::u16string message;
  EXPECT_EQ(ReadSettingsFile(text, &ldns, &line, &message), expected) << "line " << line << ": " << Narrow(message);
  return ldns;
}

TEST(ReadSettingsFile, EveryFormOfEachSetting) {
  const std::vector<LdnSettings> ldns = Read(
      "\xEF\xBB\xBF; a comment\r\n"
      "# another\r\n"
      "\r\n"
      "[Shop 1]\r\n"
      "Port = USB\r\n"
      "TimeOut = 10\r\n"
      "CodePage = 0\r\n"
      "DotLineWidth = 576\r\n"
      "Effect = Floyd-Steinberg\r\n"
      "  [ Kitchen ]  \n"
      "\tport\t=\tcom3   AT  19200  \n"
      "timeout=10000\n"
      "CODEPAGE = 99999\n"
      "dotlinewidth = 640\n"
      "effect = adaptive threshold\n"
      "[[Bar]] ; = x]\n"
      "Port = 192.168.001.100\n"
      "[收银台 2 😀]\n"
      "Port = COM255 at 115200\n"
      "[Empty]");
  ASSERT_EQ(ldns.size(), 5u);
  EXPECT_EQ(ldns[0].name, u"Shop 1");
  EXPECT_EQ(ldns[0].line, 4);
  EXPECT_EQ(ldns[0].port, (PortChoice{1, 0}));
  EXPECT_EQ(ldns[0].timeOut, 10u);
  EXPECT_EQ(ldns[0].codePage, 0u);
  EXPECT_EQ(ldns[0].dotLineWidth, 576u);
  EXPECT_EQ(ldns[0].effect, 0u);
  EXPECT_EQ(ldns[1].name, u" Kitchen ") << "the name exactly as it stands between the brackets";
  EXPECT_EQ(ldns[1].port, (PortChoice{2, 3 | 2 << 8}));
  EXPECT_EQ(ldns[1].timeOut, 10000u);
  EXPECT_EQ(ldns[1].codePage, 99999u);
  EXPECT_EQ(ldns[1].dotLineWidth, 640u);
  EXPECT_EQ(ldns[1].effect, 10u);
  EXPECT_EQ(ldns[2].name, u"[Bar]] ; = x");
  EXPECT_EQ(ldns[2].port, (PortChoice{3, 0xC0A80164}));
  EXPECT_FALSE(ldns[2].timeOut.has_value()) << "what a section does not give stays as it is";
  EXPECT_EQ(ldns[3].name, u"收银台 2 😀");
  EXPECT_EQ(ldns[3].port, (PortChoice{2, 255 | 4 << 8}));
  EXPECT_EQ(ldns[4].name, u"Empty");
  EXPECT_EQ(ldns[4].line, 20);
}

TEST(ReadSettingsFile, EachWrongLineIsNamedAndNothingIsRead) {
  const struct {
    std::string text;
    int line;
    const char* says;
  } cases[] = {
      {"Port = USB\n[A]\n", 1, "a setting before the first [LDN]"},
      {"[A]\nPort USB\n", 2, "not a [section], a setting or a comment"},
      {"[A]\n[]\n", 2, "an LDN without a name"},
      {"[A]\n[B] x\n", 2, "not a [section], a setting or a comment"},
      {"[A]\nSpeed = 9600\n", 2, "\"Speed\" is not a setting: Port, TimeOut, CodePage, DotLineWidth or Effect"},
      {"[A]\n = USB\n", 2, "\"\" is not a setting"},
      {"[A]\r\nPort = USB\r\nport = USB\r\n", 3, "port is given twice for this LDN"},
      {"[A]\nPort = USB1\n", 2, "Port \"USB1\" is not USB, COMn at 9600, 19200, 38400 or 115200, or an IPv4 address"},
      {"[A]\nPort = COM3\n", 2, "Port \"COM3\" is not"},
      {"[A]\nPort = COM0 at 9600\n", 2, "Port \"COM0 at 9600\" is not"},
      {"[A]\nPort = COM256 at 9600\n", 2, "Port \"COM256 at 9600\" is not"},
      {"[A]\nPort = COM3 at 4800\n", 2, "Port \"COM3 at 4800\" is not"},
      {"[A]\nPort = COM3 19200\n", 2, "Port \"COM3 19200\" is not"},
      {"[A]\nPort = COM3 at 19200 baud\n", 2, "Port \"COM3 at 19200 baud\" is not"},
      {"[A]\nPort = 192.168.1\n", 2, "Port \"192.168.1\" is not"},
      {"[A]\nPort = 192.168.1.256\n", 2, "Port \"192.168.1.256\" is not"},
      {"[A]\nPort = 192.168.1.1.1\n", 2, "Port \"192.168.1.1.1\" is not"},
      {"[A]\nPort = 192.168..1\n", 2, "Port \"192.168..1\" is not"},
      {"[A]\nPort = -1.2.3.4\n", 2, "Port \"-1.2.3.4\" is not"},
      {"[A]\nPort =\n", 2, "Port \"\" is not"},
      {"[A]\nTimeOut = 9\n", 2, "TimeOut \"9\" is not a whole number from 10 to 10000"},
      {"[A]\nTimeOut = 10001\n", 2, "TimeOut \"10001\" is not a whole number from 10 to 10000"},
      {"[A]\nTimeOut = +100\n", 2, "TimeOut \"+100\" is not"},
      {"[A]\nTimeOut = 1 000\n", 2, "TimeOut \"1 000\" is not"},
      {"[A]\nTimeOut = 4294968296\n", 2, "TimeOut \"4294968296\" is not"},
      {"[A]\nCodePage = 100000\n", 2, "CodePage \"100000\" is not a whole number from 0 to 99999"},
      {"[A]\nCodePage = 43x\n", 2, "CodePage \"43x\" is not"},
      {"[A]\nDotLineWidth = 600\n", 2, "DotLineWidth \"600\" is not 576 or 640"},
      {"[A]\nEffect = Burke\n", 2, "Effect \"Burke\" is not one of Floyd-Steinberg, Ordered-Dithering (4x4), Burkes"},
      {"[A]\nEffect = 2\n", 2, "Effect \"2\" is not one of"},
      {"[A]\nTimeOut = 10\r00\n", 2, "a control character"},
      {"[A]\n[B\x1B]\n", 2, "a control character"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<LdnSettings> ldns{LdnSettings{}};
    int line = 0;
    std::u16string message;
    EXPECT_EQ(ReadSettingsFile(c.text, &ldns, &line, &message), SettingsRead::kError);
    EXPECT_EQ(line, c.line);
    EXPECT_THAT(Narrow(message), HasSubstr(Narrow(std::u16string(c.says, c.says + std::char_traits<char>::length(c.says)))));
    EXPECT_THAT(ldns, IsEmpty());
  }
}

TEST(ReadSettingsFile, WhatIsNotUtf8TextIsNamedByItsLine) {
  const struct {
    std::string bytes;
    int line;
    const char* says;
  } cases[] = {
      {"[A]\nPort = USB\n[\xC0\xAF]\n", 3, "not UTF-8 text"},                   // an overlong "/"
      {"[A]\n[B\xE0\x80\xAF]\n", 2, "not UTF-8 text"},                         // an overlong "/" of three bytes
      {"[A]\n[B\xED\xA0\x80]\n", 2, "not UTF-8 text"},                         // a surrogate
      {"[A]\n[B\xF4\x90\x80\x80]\n", 2, "not UTF-8 text"},                     // past U+10FFFF
      {"[A]\n\n[\xE6\x94]", 3, "not UTF-8 text"},                              // cut off
      {"[A]\n[\xB6\xD4]\n", 2, "not UTF-8 text"},                              // GBK
      {std::string("[A]\nTimeOut = 1\0\n", 17), 2, "a NUL character"},
      {"\xFF\xFE[\0A\0]\0", 1, "UTF-16 text; it must be saved as UTF-8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<LdnSettings> ldns;
    int line = 0;
    std::u16string message;
    EXPECT_EQ(ReadSettingsFile(c.bytes, &ldns, &line, &message), SettingsRead::kNotText);
    EXPECT_EQ(line, c.line);
    EXPECT_THAT(Narrow(message), HasSubstr(c.says));
    EXPECT_THAT(ldns, IsEmpty());
  }
}

TEST(ReadSettingsFile, AFileWithoutAnLdnIsEmpty) {
  for (const std::string& text : {std::string(), std::string("\xEF\xBB\xBF"), std::string("; only a comment\r\n\r\n  \n")}) {
    Read(text, SettingsRead::kEmpty);
  }
}

TEST(WriteSettingsFile, WritesWhatItReadsBack) {
  std::vector<LdnSettings> ldns(4);
  ldns[0].name = u"Shop 1";
  ldns[0].port = PortChoice{1, 0};
  ldns[0].timeOut = 1000;
  ldns[0].codePage = 437;
  ldns[0].dotLineWidth = 576;
  ldns[0].effect = 2;
  ldns[1].name = u" [收银台] = 2; 😀 ";
  ldns[1].port = PortChoice{2, 4 | 3 << 8};
  ldns[1].notes = {u"Effect is left out"};
  ldns[2].name = u"#Bar\twith a tab";
  ldns[2].port = PortChoice{3, 0x0A000001};
  ldns[3].name = u";Kitchen";

  std::string bytes;
  std::u16string unwritable;
  ASSERT_TRUE(WriteSettingsFile(ldns, true, &bytes, &unwritable));
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "Notepad takes it for UTF-8";
  EXPECT_THAT(bytes, HasSubstr("\r\n[Shop 1]\r\nPort = USB\r\nTimeOut = 1000\r\nCodePage = 437\r\nDotLineWidth = 576\r\n"
                               "Effect = Burkes\r\n\r\n[ [收银台] = 2; 😀 ]\r\n; Effect is left out\r\n"
                               "Port = COM4 at 38400\r\n\r\n[#Bar\twith a tab]\r\nPort = 10.0.0.1\r\n\r\n[;Kitchen]\r\n"));
  const std::vector<LdnSettings> read = Read(bytes);
  ASSERT_EQ(read.size(), ldns.size());
  for (std::size_t i = 0; i < ldns.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read[i].name, ldns[i].name);
    EXPECT_EQ(read[i].port, ldns[i].port);
    EXPECT_EQ(read[i].timeOut, ldns[i].timeOut);
    EXPECT_EQ(read[i].codePage, ldns[i].codePage);
    EXPECT_EQ(read[i].dotLineWidth, ldns[i].dotLineWidth);
    EXPECT_EQ(read[i].effect, ldns[i].effect);
  }
}

TEST(WriteSettingsFile, RefusesANameItCannotHold) {
  for (const std::u16string& name : {std::u16string(u"line\r\nbreak"), std::u16string(u"nul\0x", 5),
                                    std::u16string(u"lone \xD800 surrogate"), std::u16string()}) {
    SCOPED_TRACE(Narrow(name));
    std::vector<LdnSettings> ldns(2);
    ldns[0].name = u"fine";
    ldns[1].name = name;
    std::string bytes = "untouched";
    std::u16string unwritable;
    EXPECT_FALSE(WriteSettingsFile(ldns, false, &bytes, &unwritable));
    EXPECT_EQ(unwritable, name);
    EXPECT_EQ(bytes, "untouched");
  }
}

TEST(PortText, TheReadableFormsOfTheStoredPorts) {
  EXPECT_EQ(PortText({1, 0}), u"USB");
  EXPECT_EQ(PortText({2, 3 | 3 << 8}), u"COM3 at 38400");
  EXPECT_EQ(PortText({2, 0xABCD0000u | 12 | 1 << 8}), u"COM12 at 9600") << "bytes 2 and 3 carry nothing";
  EXPECT_EQ(PortText({3, 0xC0A80164}), u"192.168.1.100");
  for (const PortChoice none : {PortChoice{0, 1}, PortChoice{2, 0 | 1 << 8}, PortChoice{2, 3 | 5 << 8},
                                PortChoice{2, 3}, PortChoice{4, 0}}) {
    EXPECT_EQ(PortText(none), u"") << none.type << " " << none.setting;
  }
}

TEST(Utf8, BothWaysAndTheBytesThatAreNot) {
  const std::u16string text = u"A é 收 😀";
  std::u16string back;
  std::size_t bad = 99;
  ASSERT_TRUE(Utf16FromUtf8(Utf8FromUtf16(text), &back, &bad));
  EXPECT_EQ(back, text);
  EXPECT_EQ(Utf8FromUtf16(u"\xDC00x"), "\xEF\xBF\xBDx");
  EXPECT_FALSE(Utf16FromUtf8("ab\xC3", &back, &bad));
  EXPECT_EQ(bad, 2u);
}

}  // namespace
}  // namespace corvale::testing
