#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_interfaces.h"
#include "usb_services.h"

namespace velmara {

// What one writer thread owns: its own copies of the printer's device path and of the bytes of
// the page, so that nothing it reads belongs to the command or to the walk.
struct UsbPortPageJob {
  std::string devicePath;
  std::vector<std::uint8_t> bytes;
};

// The summary's first line in the UI language (UTF-8).
std::string UsbPortSummaryHeader(std::uint16_t uiLanguage);
// The summary's line of one printer: a tab, the port name, " ;" and CR LF.
std::string UsbPortSummaryLine(std::uint32_t portNumber);

// The identification page of one printer as the printer receives it: the framed text naming its
// port (ASCII, or GBK for the Chinese UI language), 20 line feeds and GS V 1 (partial cut).
std::vector<std::uint8_t> UsbPortPageBytes(std::uint16_t uiLanguage, std::uint32_t portNumber);

// One raw write of |length| bytes to the device; the count written is not checked.
bool WriteToUsbDevice(DeviceOutput& output, DebugOutput& debug, const std::string& devicePath,
                      const std::uint8_t* bytes, std::uint32_t length);

// The body of a writer thread: writes the job's page, whatever comes of it, and ends. It owns its
// job and a share of the services it writes through.
class UsbPortPageWriter final : public ThreadJob {
 public:
  UsbPortPageWriter(UsbPortPageJob job, std::shared_ptr<DeviceOutput> output, std::shared_ptr<DebugOutput> debug)
      : job_(std::move(job)), output_(std::move(output)), debug_(std::move(debug)) {}
  void Run() override;

 private:
  UsbPortPageJob job_;
  std::shared_ptr<DeviceOutput> output_;
  std::shared_ptr<DebugOutput> debug_;
};

// Check USB port: prints on every qualifying printer of |interfaceClass| the page naming its port,
// one writer thread each, and shows the list of ports found (by g_uiLanguage). False, without a
// message, when the walk failed; false with the not-found message when it found nothing.
bool PrintUsbPortPages(const DeviceClassGuid& interfaceClass, const UsbServices& services);

}  // namespace velmara
