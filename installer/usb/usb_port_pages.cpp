#include "usb_port_pages.h"

#include <memory>
#include <string_view>

#include "usb_discovery.h"
#include "usb_globals.h"

namespace velmara {

namespace {

constexpr std::string_view kChineseHeader = "当前USB打印机的打印端口是：\r\n";
constexpr std::string_view kEnglishHeader = "Your USB printer's Port is :\r\n";
constexpr std::string_view kNotFoundDebugLine = "USB打印机没有接入设备";
constexpr std::string_view kChineseNotFound = "USB打印机没有接入设备";
constexpr std::string_view kEnglishNotFound = "Have not found a USB printer device !";

// The printers take the Chinese page in GBK (code page 936).
// "* 您使用的当前打印 *\r\n"
constexpr std::uint8_t kChineseTextLine1[] = {'*',  ' ',  0xC4, 0xFA, 0xCA, 0xB9, 0xD3, 0xC3, 0xB5, 0xC4, 0xB5,
                                              0xB1, 0xC7, 0xB0, 0xB4, 0xF2, 0xD3, 0xA1, ' ',  '*',  '\r', '\n'};
// "* 机USB打印端口是  *\r\n"
constexpr std::uint8_t kChineseTextLine2[] = {'*',  ' ',  0xBB, 0xFA, 'U',  'S',  'B',  0xB4, 0xF2, 0xD3, 0xA1,
                                              0xB6, 0xCB, 0xBF, 0xDA, 0xCA, 0xC7, ' ',  ' ',  '*',  '\r', '\n'};

// The feed carries the page past the cutter; GS V 1 then cuts it, leaving a bridge (partial cut).
constexpr std::size_t kTrailerLineFeeds = 20;
constexpr std::uint8_t kPartialCut[] = {0x1D, 0x56, 0x01};

bool IsChinese(std::uint16_t uiLanguage) { return uiLanguage == kChineseUiLanguage; }

template <std::size_t N>
void AppendBytes(std::string& page, const std::uint8_t (&bytes)[N]) {
  for (std::uint8_t b : bytes) page.push_back(static_cast<char>(b));
}

// "*", |blanks| blanks, "*", CR LF: an empty line of the frame.
void AppendEmptyFrameLine(std::string& page, std::size_t blanks) {
  page.append("*").append(blanks, ' ').append("*\r\n");
}

}  // namespace

std::string UsbPortSummaryHeader(std::uint16_t uiLanguage) {
  return std::string(IsChinese(uiLanguage) ? kChineseHeader : kEnglishHeader);
}

std::string UsbPortSummaryLine(std::uint32_t portNumber) {
  std::string line = "\t";
  line.append(UsbPortName(portNumber)).append(" ;\r\n");
  return line;
}

std::vector<std::uint8_t> UsbPortPageBytes(std::uint16_t uiLanguage, std::uint32_t portNumber) {
  const std::string port = UsbPortName(portNumber);
  std::string page;
  if (IsChinese(uiLanguage)) {
    page.append("********************\r\n");
    AppendEmptyFrameLine(page, 18);
    AppendBytes(page, kChineseTextLine1);
    AppendBytes(page, kChineseTextLine2);
    page.append("*      ").append(port).append("      *\r\n");
    AppendEmptyFrameLine(page, 18);
    page.append("********************\r\n");
  } else {
    page.append("*************************\r\n");
    AppendEmptyFrameLine(page, 23);
    page.append("* The current printer's *\r\n");
    page.append("*  USBPrinter port is   *\r\n");
    page.append("*        ").append(port).append("         *\r\n");
    AppendEmptyFrameLine(page, 23);
    // The bottom line is shorter than the top one, as the printers have always printed it.
    page.append("********************\r\n");
  }
  page.append(kTrailerLineFeeds, '\n');
  AppendBytes(page, kPartialCut);
  return std::vector<std::uint8_t>(page.begin(), page.end());
}

bool WriteToUsbDevice(DeviceOutput& output, DebugOutput& debug, const std::string& devicePath,
                      const std::uint8_t* bytes, std::uint32_t length) {
  std::uint32_t error = 0;
  const std::unique_ptr<DeviceChannel> device = output.Open(devicePath, &error);
  if (!device) {
    debug.Write("open usb device failed !");
    return false;
  }
  std::uint32_t written = 0;
  if (!device->Write(bytes, length, &written, &error)) {
    debug.Write("print failed !");
    return false;
  }
  debug.Write("print scuessful !");
  return true;
}

void UsbPortPageWriter::Run() {
  WriteToUsbDevice(*output_, *debug_, job_.devicePath, job_.bytes.data(), static_cast<std::uint32_t>(job_.bytes.size()));
}

bool PrintUsbPortPages(const DeviceClassGuid& interfaceClass, const UsbServices& services) {
  const std::uint16_t language = g_uiLanguage;
  std::string summary = UsbPortSummaryHeader(language);
  bool found = false;

  const UsbWalkEnd end = EnumerateUsbPrinters(interfaceClass, services, [&](const UsbPrinter& printer) {
    summary += UsbPortSummaryLine(printer.portNumber);
    found = true;
    UsbPortPageJob job{printer.devicePath, UsbPortPageBytes(language, printer.portNumber)};
    if (!services.threads.Start(
            std::make_unique<UsbPortPageWriter>(std::move(job), services.deviceOutput, services.debugOutput))) {
      // The page is lost, as with a printer that refuses it; the summary still names the port.
      services.debugOutput->Write("start writer thread failed !");
    }
    // A moment for the writer to open its device before the next one starts.
    services.pauses.Sleep(10);
    return true;
  });
  if (end == UsbWalkEnd::kFailed) return false;

  if (found) {
    services.debugOutput->Write(summary);
    services.messageBoxes.Show(services.owner, summary, kMbOk);
    return true;
  }
  services.debugOutput->Write(kNotFoundDebugLine);
  services.messageBoxes.Show(services.owner, std::string(IsChinese(language) ? kChineseNotFound : kEnglishNotFound),
                             kMbOk);
  return false;
}

}  // namespace velmara
