#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "device_errors.h"

// Raw output straight to a device by its device path, bypassing the spooler.
namespace velmara {

// An open device (a file handle). Destroying it closes it.
class DeviceChannel {
 public:
  DeviceChannel() = default;
  DeviceChannel(const DeviceChannel&) = delete;
  DeviceChannel& operator=(const DeviceChannel&) = delete;
  virtual ~DeviceChannel() = default;

  // One synchronous WriteFile of |size| bytes. False with the error code when it fails.
  virtual bool Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written,
                     std::uint32_t* error) = 0;
};

// May be used from several threads at once, each with its own device.
class DeviceOutput {
 public:
  DeviceOutput() = default;
  DeviceOutput(const DeviceOutput&) = delete;
  DeviceOutput& operator=(const DeviceOutput&) = delete;
  virtual ~DeviceOutput() = default;

  // CreateFileW(path, GENERIC_READ | GENERIC_WRITE, no sharing, no security attributes,
  // OPEN_EXISTING, no flags, no template). Null with the error code when it fails.
  virtual std::unique_ptr<DeviceChannel> Open(const std::string& devicePath, std::uint32_t* error) = 0;
};

}  // namespace velmara
