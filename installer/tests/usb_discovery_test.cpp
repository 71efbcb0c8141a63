// Finding the connected USB printers and their spooler ports, on the in-memory system.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "usb/usb_discovery.h"
#include "usb_fixture.h"

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct DiscoveryCase {
  const char* name;
  std::vector<SeededInterface> list;
  bool skipLinkedCheck;
  std::optional<std::string> port;  // what FindUsbPrinterPort gives, if anything
  std::vector<std::string> debugLines;
};

std::ostream& operator<<(std::ostream& os, const DiscoveryCase& c) { return os << c.name; }

using V = SeededValue;
const std::string kOpenFailed = "打开键失败";
const std::string kQueryFailed = "读取键失败";
const std::string kReadFailed = "read regkey failed";
const std::string kOffLine = "print is off-line";

const DiscoveryCase kDiscoveryCases[] = {
    {"NoInterfaces", {}, false, std::nullopt, {}},
    {"OnlyAnUnlistedVendor", {{"vid_abcd&pid_0001", 1, V::Dword(1), V::Dword(1)}}, false, std::nullopt, {}},
    {"VendorInUpperCase", {{"VID_0416&PID_5011", 1, V::Dword(1), V::Dword(1)}}, false, "USB001", {}},
    {"VendorListedInMixedCaseGivenInLowerCase", {{"vid_1fc9&pid_2016", 1, V::Dword(1), V::Dword(4)}}, false,
     "USB004", {}},
    {"ActiveAndDefaultIsSkipped", {{"vid_0416&pid_5011", 3, V::Dword(1), V::Dword(1)}}, false, std::nullopt, {}},
    {"InactiveIsSkipped", {{"vid_0416&pid_5011", 0, V::Dword(1), V::Dword(1)}}, false, std::nullopt, {}},
    {"OnlyExactlyActiveQualifies",
     {{"vid_0416&pid_5011", 3, V::Dword(1), V::Dword(1)}, {"vid_0416&pid_5011", 1, V::Dword(1), V::Dword(2)}},
     false, "USB002", {}},
    {"LinkedZeroIsOffLine", {{"vid_0416&pid_5011", 1, V::Dword(0), V::Dword(5)}}, false, std::nullopt, {kOffLine}},
    {"LinkedZeroWithTheSkipFlag", {{"vid_0416&pid_5011", 1, V::Dword(0), V::Dword(5)}}, true, "USB005", {}},
    {"NoControlKey", {{"vid_0416&pid_5011", 1, V::NoKey(), V::Dword(1)}}, false, std::nullopt,
     {kOpenFailed, kReadFailed}},
    {"NoLinkedValue", {{"vid_0416&pid_5011", 1, V::NoValue(), V::Dword(1)}}, false, std::nullopt,
     {kQueryFailed, kReadFailed}},
    {"NoControlKeyWithTheSkipFlag", {{"vid_0416&pid_5011", 1, V::NoKey(), V::Dword(6)}}, true, "USB006", {}},
    {"NoDeviceParametersKey", {{"vid_0416&pid_5011", 1, V::Dword(1), V::NoKey()}}, false, std::nullopt,
     {kOpenFailed, kReadFailed}},
    {"NoPortNumberValue", {{"vid_0416&pid_5011", 1, V::Dword(1), V::NoValue()}}, false, std::nullopt,
     {kQueryFailed, kReadFailed}},
    // A port number is taken only from a REG_DWORD of four bytes.
    {"PortNumberAsText", {{"vid_0416&pid_5011", 1, V::Dword(1), V::Raw(reg::kTypeSz, {'1', 0, 0, 0})}}, false,
     std::nullopt, {kReadFailed}},
    {"PortNumberAsFourBinaryBytes", {{"vid_0416&pid_5011", 1, V::Dword(1), V::Raw(reg::kTypeBinary, {1, 0, 0, 0})}},
     false, std::nullopt, {kReadFailed}},
    {"PortNumberAsAShortDword", {{"vid_0416&pid_5011", 1, V::Dword(1), V::Raw(reg::kTypeDword, {1, 0})}}, false,
     std::nullopt, {kReadFailed}},
    {"PortNumberAsAnEmptyDword", {{"vid_0416&pid_5011", 1, V::Dword(1), V::Raw(reg::kTypeDword, {})}}, false,
     std::nullopt, {kReadFailed}},
    {"PortNumberAsAQword",
     {{"vid_0416&pid_5011", 1, V::Dword(1), V::Raw(reg::kTypeQword, {1, 0, 0, 0, 0, 0, 0, 0})}}, false,
     std::nullopt, {kReadFailed}},
    {"PortNumberLargerThanTheBuffer",
     {{"vid_0416&pid_5011", 1, V::Dword(1), V::Raw(reg::kTypeBinary, std::vector<std::uint8_t>(262, 1))}}, false,
     std::nullopt, {kQueryFailed, kReadFailed}},
    {"AStrayPortNumberDoesNotStopTheNextPrinter",
     {{"vid_0416&pid_5011", 1, V::Dword(1), V::Raw(reg::kTypeSz, {'7', 0})},
      {"vid_0416&pid_5011", 1, V::Dword(1), V::Dword(8)}},
     false, "USB008", {kReadFailed}},
    {"TheFirstListedOfTwoWins",
     {{"vid_0483&pid_5720", 1, V::Dword(1), V::Dword(9)}, {"vid_0416&pid_5011", 1, V::Dword(1), V::Dword(2)}},
     false, "USB009", {}},
    {"AnOffLinePrinterBeforeAnOnLineOne",
     {{"vid_0416&pid_5011", 1, V::Dword(0), V::Dword(1)}, {"vid_067b&pid_2305", 1, V::Dword(1), V::Dword(2)}},
     false, "USB002", {kOffLine}},
    {"AnUnlistedVendorBeforeAListedOne",
     {{"vid_04b8&pid_0202", 1, V::Dword(1), V::Dword(1)}, {"vid_0471&pid_0055", 1, V::Dword(1), V::Dword(3)}},
     false, "USB003", {}},
};

class FindUsbPrinterPortTable : public UsbFixture, public ::testing::WithParamInterface<DiscoveryCase> {};

TEST_P(FindUsbPrinterPortTable, GivesThePortOfTheFirstQualifyingPrinter) {
  const DiscoveryCase& c = GetParam();
  for (const SeededInterface& i : c.list) Plug(i);
  g_skipLinkedCheck = c.skipLinkedCheck;

  std::string port = "untouched";
  const bool found = FindUsbPrinterPort(services_, &port);

  EXPECT_EQ(found, c.port.has_value());
  EXPECT_EQ(port, c.port.value_or("untouched"));
  EXPECT_EQ(debug_.lines, c.debugLines);
  EXPECT_THAT(boxes_.calls, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Lists, FindUsbPrinterPortTable, ::testing::ValuesIn(kDiscoveryCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct PortCase {
  std::uint32_t number;
  const char* name;
};

class PortNumberTable : public UsbFixture, public ::testing::WithParamInterface<PortCase> {};

// The whole REG_DWORD is the port number; a number of more than three digits keeps them all.
TEST_P(PortNumberTable, NamesThePortWithAtLeastThreeDigits) {
  PlugPrinter("vid_0416&pid_5011", GetParam().number);
  std::string port;
  ASSERT_TRUE(FindUsbPrinterPort(services_, &port));
  EXPECT_EQ(port, GetParam().name);
  EXPECT_EQ(UsbPortName(GetParam().number), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Ports, PortNumberTable,
                         ::testing::Values(PortCase{0, "USB000"}, PortCase{1, "USB001"}, PortCase{7, "USB007"},
                                           PortCase{10, "USB010"}, PortCase{12, "USB012"}, PortCase{123, "USB123"},
                                           PortCase{999, "USB999"}, PortCase{1000, "USB1000"},
                                           PortCase{2147483648u, "USB2147483648"},
                                           PortCase{4294967295u, "USB4294967295"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(IsSupportedUsbVendor, LooksAtTheEightCharactersAfterTheFirstEight) {
  const struct {
    const char* path;
    bool supported;
  } cases[] = {
      {"\\\\?\\usb#vid_067b&pid_2305#1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}", true},
      {"\\\\?\\usb#vid_0416&pid_5011#1#{guid}", true},
      {"\\\\?\\usb#vid_1cbe&pid_0001#1#{guid}", true},
      {"\\\\?\\usb#vid_0483&pid_5720#1#{guid}", true},
      {"\\\\?\\usb#vid_0471&pid_0055#1#{guid}", true},
      {"\\\\?\\usb#vid_1fc9&pid_2016#1#{guid}", true},
      {"\\\\?\\USB#VID_067B&PID_2305#1#{GUID}", true},
      {"\\\\?\\USB#VID_1FC9&PID_2016#1#{GUID}", true},
      {"\\\\?\\usb#Vid_1Cbe&pid_0001", true},
      {"\\\\?\\usb#vid_0416", true},  // exactly long enough
      {"\\\\?\\usb#vid_041", false},
      {"\\\\?\\usb#vid_0417&pid_5011#1#{guid}", false},
      {"\\\\?\\usb#vid_04b8&pid_0202#1#{guid}", false},
      {"\\\\?\\usb#pid_5011&vid_0416#1#{guid}", false},
      {"\\\\?\\usb##vid_0416&pid_5011", false},
      {"", false},
      {"\\\\?\\usb#", false},
      // Counted in characters, not bytes.
      {"\\\\?\\打sb#vid_0416&pid", true},
      {"\\\\?\\打印sb#vid_0416&pid", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsSupportedUsbVendor(c.path), c.supported);
  }
}

TEST(IsSupportedUsbVendor, ReadsNothingBeyondTheEndOfAShortPath) {
  // Each path in a heap block of exactly its own size, so that a read past its end shows.
  for (const std::string_view text : {"\\\\?\\usb#vid_041", "\\\\?\\usb#", "\\\\", "x"}) {
    SCOPED_TRACE(std::string(text));
    const std::size_t length = text.size();
    std::unique_ptr<char[]> exact(new char[length]);
    std::memcpy(exact.get(), text.data(), length);
    EXPECT_FALSE(IsSupportedUsbVendor(std::string_view(exact.get(), length)));
  }
}

TEST_F(UsbFixture, AShortDevicePathIsSkippedWithoutARead) {
  interfaces_.Add(kUsbPrintInterfaceClass, "\\\\?\\usb#vid_04");
  PlugPrinter("vid_0416&pid_5011", 8);
  std::string port;
  ASSERT_TRUE(FindUsbPrinterPort(services_, &port));
  EXPECT_EQ(port, "USB008");
  EXPECT_THAT(debug_.lines, IsEmpty());
  EXPECT_EQ(registry_.opened.size(), 2u) << "Linked and Port Number of the second interface only";
}

TEST_F(UsbFixture, AnUnlistedVendorsKeysAreNeverOpened) {
  PlugPrinter("vid_abcd&pid_0001", 1);
  std::string port;
  EXPECT_FALSE(FindUsbPrinterPort(services_, &port));
  EXPECT_THAT(registry_.opened, IsEmpty());
}

TEST_F(UsbFixture, TheKeysReadAreThoseOfTheInterfaceUnderTheUsbPrintingClass) {
  const std::string path = PlugPrinter("vid_0416&pid_5011", 1);
  std::string port;
  ASSERT_TRUE(FindUsbPrinterPort(services_, &port));
  std::string keyName = path;
  for (char& c : keyName) c = c == '\\' ? '#' : c;
  const std::string root =
      "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";
  EXPECT_THAT(registry_.opened,
              ElementsAre(root + keyName + "\\#\\Control", root + keyName + "\\#\\Device Parameters"));
}

TEST_F(UsbFixture, ADevicePathWithADoubleByteCharacterFindsItsKey) {
  // In GBK the second byte of 乗 is a backslash: converted byte by byte it would become "#".
  const std::string path = "\\\\?\\usb#vid_0416&pid_5011#乗#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
  interfaces_.Add(kUsbPrintInterfaceClass, path);
  const std::string key = std::string(kUsbPrintInterfacesKey) +
                          "##?#USB#VID_0416&PID_5011#乗#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\";
  memoryRegistry_.SetDword(key + "Control", "Linked", 1);
  memoryRegistry_.SetDword(key + "Device Parameters", "Port Number", 11);
  std::string port;
  ASSERT_TRUE(FindUsbPrinterPort(services_, &port));
  EXPECT_EQ(port, "USB011");
}

class WalkTest : public UsbFixture {
 protected:
  UsbWalkEnd Walk(bool stopAtFirst = false) {
    return EnumerateUsbPrinters(kUsbPrintInterfaceClass, services_, [&](const UsbPrinter& p) {
      visited.push_back(p.devicePath + " " + std::to_string(p.portNumber));
      return !stopAtFirst;
    });
  }
  std::vector<std::string> visited;
};

TEST_F(WalkTest, HandsOverEveryQualifyingPrinterInListOrder) {
  const std::string b = PlugPrinter("vid_0483&pid_5720", 2);
  PlugPrinter("vid_abcd&pid_0001", 9);
  const std::string a = PlugPrinter("vid_0416&pid_5011", 1);
  EXPECT_EQ(Walk(), UsbWalkEnd::kCompleted);
  EXPECT_THAT(visited, ElementsAre(b + " 2", a + " 1"));
}

TEST_F(WalkTest, ExaminesAtMost255Interfaces) {
  for (int i = 0; i < 254; ++i) PlugPrinter("vid_abcd&pid_0001", 1);
  const std::string last = PlugPrinter("vid_0416&pid_5011", 254);  // member index 254, the last examined
  PlugPrinter("vid_0416&pid_5011", 255);                            // member index 255, beyond the bound
  EXPECT_EQ(Walk(), UsbWalkEnd::kCompleted);
  EXPECT_THAT(visited, ElementsAre(last + " 254"));
}

TEST_F(WalkTest, StopsWhenTheCallerSaysSo) {
  const std::string a = PlugPrinter("vid_0416&pid_5011", 1);
  PlugPrinter("vid_0416&pid_5011", 2);
  EXPECT_EQ(Walk(true), UsbWalkEnd::kStopped);
  EXPECT_THAT(visited, ElementsAre(a + " 1"));
}

TEST_F(WalkTest, FailsWhenTheListCannotBeOpened) {
  PlugPrinter("vid_0416&pid_5011", 1);
  interfaces_.FailOpen(device_error::kInvalidParameter);
  EXPECT_EQ(Walk(), UsbWalkEnd::kFailed);
  EXPECT_THAT(visited, IsEmpty());
  std::string port = "untouched";
  EXPECT_FALSE(FindUsbPrinterPort(services_, &port));
  EXPECT_EQ(port, "untouched");
  EXPECT_THAT(debug_.lines, IsEmpty());
}

TEST_F(WalkTest, EndsAtOnceWhenADetailCannotBeRead) {
  const std::string a = PlugPrinter("vid_0416&pid_5011", 1);
  PlugPrinter("vid_0416&pid_5011", 2);
  PlugPrinter("vid_0416&pid_5011", 3);
  interfaces_.interfaces()[1].detailError = device_error::kNotEnoughMemory;
  EXPECT_EQ(Walk(), UsbWalkEnd::kFailed);
  EXPECT_THAT(visited, ElementsAre(a + " 1"));
}

TEST_F(WalkTest, TheDetailOfAnInterfaceThatIsNotExactlyActiveIsNeverRead) {
  Plug({"vid_0416&pid_5011", kInterfaceActive | kInterfaceDefault, V::Dword(1), V::Dword(1)});
  interfaces_.interfaces()[0].detailError = device_error::kNotEnoughMemory;
  const std::string b = PlugPrinter("vid_0416&pid_5011", 2);
  EXPECT_EQ(Walk(), UsbWalkEnd::kCompleted);
  EXPECT_THAT(visited, ElementsAre(b + " 2"));
}

TEST_F(WalkTest, FindUsbPrinterPortStopsBeforeALaterDetailFailure) {
  PlugPrinter("vid_0416&pid_5011", 4);
  PlugPrinter("vid_0416&pid_5011", 5);
  interfaces_.interfaces()[1].detailError = device_error::kNotEnoughMemory;
  std::string port;
  EXPECT_TRUE(FindUsbPrinterPort(services_, &port));
  EXPECT_EQ(port, "USB004");
}

TEST_F(WalkTest, TheSkipFlagIsReadAtEachWalk) {
  Plug({"vid_0416&pid_5011", 1, V::Dword(0), V::Dword(3)});
  EXPECT_EQ(Walk(), UsbWalkEnd::kCompleted);
  EXPECT_THAT(visited, IsEmpty());
  g_skipLinkedCheck = true;
  EXPECT_EQ(Walk(), UsbWalkEnd::kCompleted);
  EXPECT_EQ(visited.size(), 1u);
}

}  // namespace
}  // namespace velmara::testing
