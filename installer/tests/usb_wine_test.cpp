// USB discovery and the identification pages on the real system: Wine lists the USB printing
// interfaces this test registers in its registry the way Windows records them, and, as on a
// machine whose printers are not really there, refuses to open their devices.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_backends.h"
#include "support/fake_ui_services.h"
#include "platform/win32_device_output.h"
#include "platform/win32_threads.h"
#include "platform/win32_ui_services.h"
#include "usb/usb_discovery.h"
#include "usb/usb_globals.h"
#include "usb/usb_port_pages.h"

namespace velmara::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

// The writers' lines come from their own threads.
class LockedDebugOutput final : public DebugOutput {
 public:
  void Write(std::string_view line) override {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.emplace_back(line);
  }
  std::vector<std::string> lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

class UsbOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    system_ = MakeWin32UsbSystem();
    if (!system_->CanRegister()) GTEST_SKIP() << "only Wine takes devices from its registry";
    g_skipLinkedCheck = false;
    g_uiLanguage = 1033;
  }
  void TearDown() override {
    if (system_) system_->RemoveRegistered();
    g_skipLinkedCheck = false;
    g_uiLanguage = kChineseUiLanguage;
  }

  // Several printers: two of ours on line, one of ours not linked, one of ours without a port
  // number, one of another vendor. Wine lists them in the order of their key names.
  void PlugSeveral() {
    ours1_ = system_->Register(kUsbPrintInterfaceClass, "VID_0416&PID_5011", "VW1", true, 1);
    system_->Register(kUsbPrintInterfaceClass, "VID_0483&PID_5720", "VW4", false, 4);
    system_->Register(kUsbPrintInterfaceClass, "VID_067B&PID_2305", "VW5", true, std::nullopt);
    ours2_ = system_->Register(kUsbPrintInterfaceClass, "VID_1FC9&PID_2016", "VW2", true, 2);
    system_->Register(kUsbPrintInterfaceClass, "VID_ABCD&PID_0001", "VW3", true, 3);
  }

  UsbServices Services() {
    return {system_->interfaces(), system_->registry(), output_, threads_, boxes_, pauses_, debug_, nullptr};
  }

  std::unique_ptr<UsbSystemUnderTest> system_;
  std::shared_ptr<Win32DeviceOutput> output_ = std::make_shared<Win32DeviceOutput>();
  Win32Threads threads_;
  RecordingMessageBoxes boxes_;
  Win32Pauses pauses_;
  std::shared_ptr<LockedDebugOutput> debug_ = std::make_shared<LockedDebugOutput>();
  std::string ours1_;
  std::string ours2_;
};

TEST_F(UsbOnWine, FindsThePortsOfThePrintersOfOurVendorsThatAreOnLine) {
  PlugSeveral();
  const UsbServices services = Services();

  std::string port;
  ASSERT_TRUE(FindUsbPrinterPort(services, &port));
  EXPECT_EQ(port, "USB001");

  std::vector<std::string> visited;
  EXPECT_EQ(EnumerateUsbPrinters(kUsbPrintInterfaceClass, services,
                                 [&](const UsbPrinter& p) {
                                   visited.push_back(p.devicePath + " " + std::to_string(p.portNumber));
                                   return true;
                                 }),
            UsbWalkEnd::kCompleted);
  EXPECT_THAT(visited, ElementsAre(ours1_ + " 1", ours2_ + " 2"));
  // The printer without a port number; the unlinked one Wine does not list at all.
  EXPECT_THAT(debug_->lines(), ElementsAre("打开键失败", "read regkey failed"));
}

TEST_F(UsbOnWine, TheSkipFlagDoesNotBringBackAnInterfaceWineLeavesOut) {
  system_->Register(kUsbPrintInterfaceClass, "VID_0416&PID_5011", "VW6", false, 6);
  g_skipLinkedCheck = true;
  std::string port;
  EXPECT_FALSE(FindUsbPrinterPort(Services(), &port));
}

TEST_F(UsbOnWine, ThePagesAreSentAndTheSummaryListsPrintersWhoseDevicesRefuseTheOpen) {
  PlugSeveral();
  std::uint32_t error = 0;
  EXPECT_EQ(output_->Open(ours1_, &error), nullptr);
  EXPECT_EQ(error, device_error::kFileNotFound);

  EXPECT_TRUE(PrintUsbPortPages(kUsbPrintInterfaceClass, Services()));
  ASSERT_TRUE(threads_.WaitForAll(10000));

  const std::string summary = "Your USB printer's Port is :\r\n\tUSB001 ;\r\n\tUSB002 ;\r\n";
  ASSERT_EQ(boxes_.calls.size(), 1u);
  EXPECT_EQ(boxes_.calls[0].text, summary);
  const std::vector<std::string> lines = debug_->lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "open usb device failed !"), 2);
  EXPECT_THAT(lines, Contains(summary));
}

TEST_F(UsbOnWine, WithoutAPrinterOfOursTheNotFoundMessageShows) {
  system_->Register(kUsbPrintInterfaceClass, "VID_ABCD&PID_0001", "VW7", true, 7);
  g_uiLanguage = kChineseUiLanguage;
  EXPECT_FALSE(PrintUsbPortPages(kUsbPrintInterfaceClass, Services()));
  ASSERT_EQ(boxes_.calls.size(), 1u);
  EXPECT_EQ(boxes_.calls[0].text, "USB打印机没有接入设备");
}

}  // namespace
}  // namespace velmara::testing
