#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/device_interfaces.h"
#include "platform/device_output.h"
#include "platform/machine_registry.h"

namespace velmara::testing {

// "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}": a class GUID as the registry names it.
std::string GuidText(const DeviceClassGuid& guid);

// A class of our own, so that the lists' own checks never meet real devices.
inline constexpr DeviceClassGuid kScratchInterfaceClass{
    0x6a1c3e52, 0x94b0, 0x4d7e, {0x8f, 0x21, 0x5c, 0x3d, 0x7a, 0x90, 0xb4, 0x16}};

// The device-interface lists and the machine registry of one system, the in-memory one or the
// real one (under Wine), with the means to plug in a USB device the way Windows records it.
class UsbSystemUnderTest {
 public:
  virtual ~UsbSystemUnderTest() = default;
  virtual DeviceInterfaces& interfaces() = 0;
  virtual MachineRegistry& registry() = 0;

  // An interface of |interfaceClass| on the USB device "USB\<hardwareId>\<instance>": its key
  // under DeviceClasses (DeviceInstance; "#" with SymbolicLink; "#\Control" with Linked;
  // "#\Device Parameters" with Port Number unless |portNumber| is empty) and the device's key
  // under Enum. Returns the device path the system lists it under.
  virtual std::string Register(const DeviceClassGuid& interfaceClass, const std::string& hardwareId,
                               const std::string& instance, bool linked,
                               std::optional<std::uint32_t> portNumber) = 0;
  // Removes everything Register wrote.
  virtual void RemoveRegistered() = 0;
  // The real system lists only devices that exist; only Wine can be given one through its registry.
  virtual bool CanRegister() const = 0;
  virtual bool IsWine() const = 0;
};

struct UsbSystemBackend {
  std::string name;
  std::function<std::unique_ptr<UsbSystemUnderTest>()> make;
};

inline std::ostream& operator<<(std::ostream& os, const UsbSystemBackend& backend) { return os << backend.name; }

std::vector<UsbSystemBackend> UsbSystemBackends();
std::unique_ptr<UsbSystemUnderTest> MakeMemoryUsbSystem();
#ifdef _WIN32
std::unique_ptr<UsbSystemUnderTest> MakeWin32UsbSystem();
#endif

// Devices to write to: in memory, or files standing in for devices on the real system.
class DeviceOutputUnderTest {
 public:
  virtual ~DeviceOutputUnderTest() = default;
  virtual DeviceOutput& output() = 0;
  // A device that takes writes; |name| is a plain name, the result its path.
  virtual std::string CreateDevice(const std::string& name) = 0;
  // Everything the device at |path| has received.
  virtual std::vector<std::uint8_t> Received(const std::string& path) = 0;
};

struct DeviceOutputBackend {
  std::string name;
  std::function<std::unique_ptr<DeviceOutputUnderTest>()> make;
};

inline std::ostream& operator<<(std::ostream& os, const DeviceOutputBackend& backend) { return os << backend.name; }

std::vector<DeviceOutputBackend> DeviceOutputBackends();

}  // namespace velmara::testing
