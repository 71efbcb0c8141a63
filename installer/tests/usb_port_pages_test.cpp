// The port-identification pages written straight to each USB printer, and the summary of ports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32_text.h"
#else
#include <iconv.h>
#endif

#include "device_backends.h"
#include "usb/usb_discovery.h"
#include "usb/usb_port_pages.h"
#include "usb_fixture.h"

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint16_t kEnglishUs = 1033;
constexpr std::uint16_t kChineseTaiwan = 1028;

// UTF-8 to GBK by the system's own converter, independent of the program's byte constants.
std::vector<std::uint8_t> Gbk(const std::string& utf8) {
#ifdef _WIN32
  const std::wstring wide = Wide(utf8);
  const int size = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(size));
  WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), reinterpret_cast<char*>(out.data()), size,
                      nullptr, nullptr);
  return out;
#else
  iconv_t cd = iconv_open("GBK", "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string in = utf8;
  std::vector<char> out(in.size() * 2 + 16);
  char* inPtr = in.data();
  std::size_t inLeft = in.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1));
  iconv_close(cd);
  return std::vector<std::uint8_t>(out.data(), outPtr);
#endif
}

// The page as the printers have always been sent it, formatted here by printf.
std::string FormattedPage(bool chinese, int port) {
  char page[512];
  if (chinese) {
    std::snprintf(page, sizeof page,
                  "********************\r\n*%19c\r\n* 您使用的当前打印 *\r\n* 机USB打印端口是  *\r\n*      USB%03d      "
                  "*\r\n*%19c\r\n********************\r\n",
                  '*', port, '*');
  } else {
    std::snprintf(page, sizeof page,
                  "*************************\r\n*%24c\r\n* The current printer's *\r\n*  USBPrinter port is   "
                  "*\r\n*        USB%03d         *\r\n*%24c\r\n********************\r\n",
                  '*', port, '*');
  }
  return page;
}

std::vector<std::uint8_t> Trailer() {
  std::vector<std::uint8_t> trailer(23, 0x0A);
  trailer[20] = 0x1D;
  trailer[21] = 0x56;
  trailer[22] = 0x01;
  return trailer;
}

std::vector<std::uint8_t> ExpectedPage(bool chinese, int port) {
  std::vector<std::uint8_t> page = chinese ? Gbk(FormattedPage(true, port)) : [&] {
    const std::string text = FormattedPage(false, port);
    return std::vector<std::uint8_t>(text.begin(), text.end());
  }();
  const std::vector<std::uint8_t> trailer = Trailer();
  page.insert(page.end(), trailer.begin(), trailer.end());
  return page;
}

// Byte widths of the page's lines, up to the trailer.
std::vector<std::size_t> LineWidths(const std::vector<std::uint8_t>& page) {
  std::vector<std::size_t> widths;
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < page.size(); ++i) {
    if (page[i] == '\r' && page[i + 1] == '\n') {
      widths.push_back(i - start);
      start = i + 2;
    }
  }
  return widths;
}

TEST(UsbPortPageBytes, MatchThePageFormatOfEachLanguageByteForByte) {
  for (std::uint16_t language : {kChineseUiLanguage, kEnglishUs, kChineseTaiwan}) {
    for (int port : {1, 3, 12, 99, 999}) {
      SCOPED_TRACE(::testing::Message() << "language " << language << " port " << port);
      EXPECT_EQ(UsbPortPageBytes(language, static_cast<std::uint32_t>(port)),
                ExpectedPage(language == kChineseUiLanguage, port));
    }
  }
}

TEST(UsbPortPageBytes, FramesHaveTheirFixedWidths) {
  EXPECT_THAT(LineWidths(UsbPortPageBytes(kChineseUiLanguage, 1)), ElementsAre(20, 20, 20, 20, 20, 20, 20));
  EXPECT_THAT(LineWidths(UsbPortPageBytes(kEnglishUs, 1)), ElementsAre(25, 25, 25, 25, 25, 25, 20));
}

TEST(UsbPortPageBytes, APortNumberOfMoreDigitsWidensOnlyItsLine) {
  const std::vector<std::uint8_t> page = UsbPortPageBytes(kChineseUiLanguage, 1000);
  EXPECT_THAT(LineWidths(page), ElementsAre(20, 20, 20, 20, 21, 20, 20));
  const std::string text(page.begin(), page.end());
  EXPECT_NE(text.find("*      USB1000      *\r\n"), std::string::npos);
  const std::vector<std::uint8_t> english = UsbPortPageBytes(kEnglishUs, 4294967295u);
  const std::string englishText(english.begin(), english.end());
  EXPECT_NE(englishText.find("*        USB4294967295         *\r\n"), std::string::npos);
}

TEST(UsbPortPageBytes, EndWithTheFeedAndTheCutAndNoTerminatingZero) {
  for (std::uint16_t language : {kChineseUiLanguage, kEnglishUs}) {
    SCOPED_TRACE(language);
    const std::vector<std::uint8_t> page = UsbPortPageBytes(language, 5);
    const std::vector<std::uint8_t> trailer = Trailer();
    ASSERT_GT(page.size(), trailer.size());
    EXPECT_TRUE(std::equal(trailer.begin(), trailer.end(), page.end() - static_cast<std::ptrdiff_t>(trailer.size())));
    EXPECT_EQ(std::count(page.begin(), page.end(), 0), 0);
  }
}

class PrintUsbPortPagesTest : public UsbFixture {
 protected:
  std::vector<std::uint8_t> Received(const std::string& path) {
    const MemoryDeviceOutput::Device* device = output_.Find(path);
    if (device == nullptr || device->writes.empty()) return {};
    EXPECT_EQ(device->writes.size(), 1u) << "one write per page";
    return device->writes.front();
  }
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& call : boxes_.calls) texts.push_back(call.text);
    return texts;
  }
};

TEST_F(PrintUsbPortPagesTest, OnePrinterInEnglish) {
  g_uiLanguage = kEnglishUs;
  const std::string path = PlugPrinter("vid_0416&pid_5011", 1);

  EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));

  const std::string summary = "Your USB printer's Port is :\r\n\tUSB001 ;\r\n";
  ASSERT_EQ(boxes_.calls.size(), 1u);
  EXPECT_EQ(boxes_.calls[0].text, summary);
  EXPECT_EQ(boxes_.calls[0].style, kMbOk);
  EXPECT_EQ(boxes_.calls[0].owner, owner_);
  EXPECT_EQ(Received(path), ExpectedPage(false, 1));
  EXPECT_THAT(debug_.lines, ElementsAre("print scuessful !", summary));
  EXPECT_THAT(pauses_.pauses, ElementsAre(10u));
  EXPECT_EQ(threads_.starts, 1);
}

TEST_F(PrintUsbPortPagesTest, TwoPrintersEachGetTheirOwnPageAndOneSummaryInListOrder) {
  g_uiLanguage = kEnglishUs;
  const std::string third = PlugPrinter("vid_0483&pid_5720", 3);
  const std::string first = PlugPrinter("vid_0416&pid_5011", 1);

  EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));

  EXPECT_THAT(BoxTexts(), ElementsAre("Your USB printer's Port is :\r\n\tUSB003 ;\r\n\tUSB001 ;\r\n"));
  EXPECT_EQ(Received(third), ExpectedPage(false, 3));
  EXPECT_EQ(Received(first), ExpectedPage(false, 1));
  EXPECT_THAT(pauses_.pauses, ElementsAre(10u, 10u));
}

TEST_F(PrintUsbPortPagesTest, TheChineseSummaryAndPage) {
  g_uiLanguage = kChineseUiLanguage;
  const std::string path = PlugPrinter("vid_0416&pid_5011", 12);
  EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));
  EXPECT_THAT(BoxTexts(), ElementsAre("当前USB打印机的打印端口是：\r\n\tUSB012 ;\r\n"));
  EXPECT_EQ(Received(path), ExpectedPage(true, 12));
}

TEST_F(PrintUsbPortPagesTest, APrinterThatRefusesItsPageIsStillListed) {
  g_uiLanguage = kEnglishUs;
  const std::string refusing = PlugPrinter("vid_0416&pid_5011", 1);
  output_.Add(refusing).openError = device_error::kAccessDenied;
  const std::string failing = PlugPrinter("vid_0416&pid_5011", 2);
  output_.Add(failing).writeError = device_error::kGenFailure;
  interfaces_.Add(kUsbPrintInterfaceClass, UsbFixture::DevicePath("vid_0416&pid_5011", "gone"));
  memoryRegistry_.SetDword(std::string(kUsbPrintInterfacesKey) +
                               "##?#USB#VID_0416&PID_5011#GONE#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Control",
                           "Linked", 1);
  memoryRegistry_.SetDword(
      std::string(kUsbPrintInterfacesKey) +
          "##?#USB#VID_0416&PID_5011#GONE#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\#\\Device Parameters",
      "Port Number", 3);

  EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));

  const std::string summary = "Your USB printer's Port is :\r\n\tUSB001 ;\r\n\tUSB002 ;\r\n\tUSB003 ;\r\n";
  EXPECT_THAT(BoxTexts(), ElementsAre(summary));
  EXPECT_THAT(debug_.lines,
              ElementsAre("open usb device failed !", "print failed !", "open usb device failed !", summary));
  EXPECT_THAT(Received(refusing), IsEmpty());
}

TEST_F(PrintUsbPortPagesTest, NoPrinterShowsTheNotFoundMessageOfTheLanguage) {
  const struct {
    std::uint16_t language;
    const char* message;
  } cases[] = {{kEnglishUs, "Have not found a USB printer device !"},
               {kChineseTaiwan, "Have not found a USB printer device !"},
               {kChineseUiLanguage, "USB打印机没有接入设备"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    boxes_.calls.clear();
    debug_.lines.clear();
    g_uiLanguage = c.language;
    PlugPrinter("vid_abcd&pid_0001", 1);  // an unlisted vendor is no printer of ours
    EXPECT_FALSE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].text, c.message);
    EXPECT_EQ(boxes_.calls[0].style, kMbOk);
    EXPECT_THAT(debug_.lines, ElementsAre("USB打印机没有接入设备"));
  }
  EXPECT_EQ(threads_.starts, 0);
}

TEST_F(PrintUsbPortPagesTest, AListThatCannotBeOpenedEndsSilently) {
  PlugPrinter("vid_0416&pid_5011", 1);
  interfaces_.FailOpen(device_error::kInvalidParameter);
  EXPECT_FALSE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));
  EXPECT_THAT(boxes_.calls, IsEmpty());
  EXPECT_THAT(debug_.lines, IsEmpty());
}

TEST_F(PrintUsbPortPagesTest, ADetailThatCannotBeReadDropsTheSummaryButNotThePagesStarted) {
  FakeThreads onDemand(FakeThreads::Mode::kRunOnDemand);
  UsbServices services{interfaces_, registry_, sharedOutput_, onDemand, boxes_, pauses_, sharedDebug_, owner_};
  g_uiLanguage = kEnglishUs;
  const std::string first = PlugPrinter("vid_0416&pid_5011", 1);
  PlugPrinter("vid_0416&pid_5011", 2);
  interfaces_.interfaces()[1].detailError = device_error::kNotEnoughMemory;

  EXPECT_FALSE(PrintUsbPortPages(kUsbPrintInterfaceClass, services));
  EXPECT_THAT(boxes_.calls, IsEmpty());
  EXPECT_THAT(debug_.lines, IsEmpty());

  onDemand.RunPending();
  EXPECT_EQ(Received(first), ExpectedPage(false, 1));
}

TEST_F(PrintUsbPortPagesTest, EachWriterOwnsItsPathAndBytes) {
  FakeThreads onDemand(FakeThreads::Mode::kRunOnDemand);
  UsbServices services{interfaces_, registry_, sharedOutput_, onDemand, boxes_, pauses_, sharedDebug_, owner_};
  g_uiLanguage = kChineseUiLanguage;
  const std::string a = PlugPrinter("vid_0416&pid_5011", 7);
  const std::string b = PlugPrinter("vid_1cbe&pid_0003", 8);

  EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, services));
  // The walk and the command are over and the list is gone when the writers run.
  interfaces_.interfaces().clear();
  EXPECT_EQ(onDemand.pending(), 2u);
  onDemand.RunPending();

  EXPECT_EQ(Received(a), ExpectedPage(true, 7));
  EXPECT_EQ(Received(b), ExpectedPage(true, 8));
}

// What a writer reports lands in lines that outlive it and its services.
class ForwardingDebugOutput final : public DebugOutput {
 public:
  explicit ForwardingDebugOutput(std::vector<std::string>& lines) : lines_(lines) {}
  void Write(std::string_view line) override { lines_.emplace_back(line); }

 private:
  std::vector<std::string>& lines_;
};

TEST_F(PrintUsbPortPagesTest, WritersKeepTheirServicesAfterTheCommandAndItsCallerAreGone) {
  FakeThreads onDemand(FakeThreads::Mode::kRunOnDemand);
  g_uiLanguage = kEnglishUs;
  const std::string path = PlugPrinter("vid_0416&pid_5011", 1);
  std::vector<std::string> lines;
  std::weak_ptr<MemoryDeviceOutput> output;
  std::weak_ptr<DebugOutput> debug;
  {
    // The services of the caller, gone before the writer runs, as the program's start-up frame is
    // when the window closes while a page is still on its way.
    auto callersOutput = std::make_shared<MemoryDeviceOutput>();
    callersOutput->Add(path);
    auto callersDebug = std::make_shared<ForwardingDebugOutput>(lines);
    output = callersOutput;
    debug = callersDebug;
    const UsbServices services{interfaces_, registry_, callersOutput, onDemand, boxes_, pauses_, callersDebug, owner_};
    EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, services));
  }
  ASSERT_EQ(onDemand.pending(), 1u);
  ASSERT_FALSE(output.expired()) << "the writer owns a share of the device output";
  ASSERT_FALSE(debug.expired()) << "the writer owns a share of the debug output";

  // Under AddressSanitizer a writer that kept references to the caller's services fails here.
  onDemand.RunPending();
  EXPECT_THAT(lines, ::testing::Contains("print scuessful !"));
  EXPECT_TRUE(output.expired() && debug.expired()) << "the writer releases its shares when it ends";
}

TEST_F(PrintUsbPortPagesTest, AWriterThatCannotStartLosesOnlyItsPage) {
  threads_.refuse = true;
  g_uiLanguage = kEnglishUs;
  const std::string path = PlugPrinter("vid_0416&pid_5011", 1);
  EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));
  EXPECT_THAT(BoxTexts(), ElementsAre("Your USB printer's Port is :\r\n\tUSB001 ;\r\n"));
  EXPECT_THAT(Received(path), IsEmpty());
  EXPECT_EQ(debug_.lines.front(), "start writer thread failed !");
}

TEST_F(PrintUsbPortPagesTest, AnyNumberOfPrintersAndAnyPortNumberFitTheSummary) {
  g_uiLanguage = kEnglishUs;
  std::string expected = "Your USB printer's Port is :\r\n";
  std::vector<std::string> paths;
  for (std::uint32_t port = 1; port <= 200; ++port) {
    paths.push_back(PlugPrinter("vid_0416&pid_5011", port));
    expected += "\tUSB" + std::string(port < 10 ? "00" : port < 100 ? "0" : "") + std::to_string(port) + " ;\r\n";
  }
  paths.push_back(PlugPrinter("vid_0416&pid_5011", 4294967295u));
  expected += "\tUSB4294967295 ;\r\n";

  EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));

  EXPECT_THAT(BoxTexts(), ElementsAre(expected));
  EXPECT_EQ(Received(paths[199]), ExpectedPage(false, 200));
  EXPECT_EQ(threads_.starts, 201);
}

TEST_F(PrintUsbPortPagesTest, TheListIsOfTheGivenClassButTheKeysAlwaysOfTheUsbPrintingClass) {
  g_uiLanguage = kEnglishUs;
  Plug({"vid_0416&pid_5011", kInterfaceActive, SeededValue::Dword(1), SeededValue::Dword(4)}, kScratchInterfaceClass);
  EXPECT_TRUE(PrintUsbPortPages(kScratchInterfaceClass, services_));
  EXPECT_THAT(BoxTexts(), ElementsAre("Your USB printer's Port is :\r\n\tUSB004 ;\r\n"));

  boxes_.calls.clear();
  EXPECT_FALSE(PrintUsbPortPages(kUsbPrintInterfaceClass, services_));
  EXPECT_THAT(BoxTexts(), ElementsAre("Have not found a USB printer device !"));
}

TEST(WriteToUsbDevice, ReportsEachOutcome) {
  MemoryDeviceOutput output;
  output.Add("\\\\?\\ok");
  output.Add("\\\\?\\busy").openError = device_error::kAccessDenied;
  output.Add("\\\\?\\jammed").writeError = device_error::kGenFailure;
  const std::uint8_t bytes[] = {0x1D, 0x56, 0x01};
  const struct {
    const char* path;
    bool result;
    const char* line;
  } cases[] = {{"\\\\?\\ok", true, "print scuessful !"},
               {"\\\\?\\busy", false, "open usb device failed !"},
               {"\\\\?\\absent", false, "open usb device failed !"},
               {"\\\\?\\jammed", false, "print failed !"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    RecordingDebugOutput debug;
    EXPECT_EQ(WriteToUsbDevice(output, debug, c.path, bytes, sizeof bytes), c.result);
    EXPECT_THAT(debug.lines, ElementsAre(c.line));
  }
  ASSERT_EQ(output.Find("\\\\?\\ok")->writes.size(), 1u);
  EXPECT_THAT(output.Find("\\\\?\\ok")->writes[0], ElementsAre(0x1D, 0x56, 0x01));
  EXPECT_FALSE(output.Find("\\\\?\\ok")->open) << "the device is closed again";
  EXPECT_FALSE(output.Find("\\\\?\\jammed")->open) << "the device is closed again";
}

}  // namespace
}  // namespace velmara::testing

