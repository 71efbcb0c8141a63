#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/fake_threads.h"
#include "support/fake_ui_services.h"
#include "support/memory_device_interfaces.h"
#include "support/memory_device_output.h"
#include "support/memory_machine_registry.h"
#include "usb/usb_globals.h"
#include "usb/usb_services.h"

namespace velmara::testing {

// A registry value as a printer's interface key holds it, or the lack of it.
struct SeededValue {
  enum class Kind { kNoKey, kNoValue, kValue };
  Kind kind = Kind::kNoKey;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;

  static SeededValue NoKey() { return {}; }
  static SeededValue NoValue() { return {Kind::kNoValue, 0, {}}; }
  static SeededValue Raw(std::uint32_t type, std::vector<std::uint8_t> data) {
    return {Kind::kValue, type, std::move(data)};
  }
  static SeededValue Dword(std::uint32_t value);
};

// One interface of the USB printing class as a test plugs it in.
struct SeededInterface {
  std::string hardware;  // as the device path writes it, e.g. "vid_0416&pid_5011"
  std::uint32_t flags = kInterfaceActive;
  SeededValue linked = SeededValue::Dword(1);
  SeededValue port = SeededValue::Dword(1);
};

// Forwards to the in-memory registry and notes every key opened.
class KeyOpeningLog final : public MachineRegistry {
 public:
  explicit KeyOpeningLog(MachineRegistry& inner) : inner_(inner) {}
  RegStatus OpenKey(const std::string& path, std::uint32_t access, std::unique_ptr<MachineRegistryKey>* key) override {
    opened.push_back(path);
    return inner_.OpenKey(path, access, key);
  }
  std::vector<std::string> opened;

 private:
  MachineRegistry& inner_;
};

// The in-memory system of one USB test, with the process-wide flags reset around it.
class UsbFixture : public ::testing::Test {
 protected:
  UsbFixture();
  ~UsbFixture() override;

  // Plugs in the interface after those plugged before; returns its device path. The device
  // itself takes writes.
  std::string Plug(const SeededInterface& seeded, const DeviceClassGuid& interfaceClass = kUsbPrintInterfaceClass);
  std::string PlugPrinter(const std::string& hardware, std::uint32_t portNumber) {
    return Plug({hardware, kInterfaceActive, SeededValue::Dword(1), SeededValue::Dword(portNumber)});
  }
  // The device path an interface's registry key stands for; the key itself is written in upper
  // case, as Windows names it, while the list gives the path in lower case.
  static std::string DevicePath(const std::string& hardware, const std::string& instance);

  MemoryDeviceInterfaces interfaces_;
  MemoryMachineRegistry memoryRegistry_;
  KeyOpeningLog registry_{memoryRegistry_};
  // The writers' services, shared as the program shares them with its writer threads.
  std::shared_ptr<MemoryDeviceOutput> sharedOutput_ = std::make_shared<MemoryDeviceOutput>();
  std::shared_ptr<RecordingDebugOutput> sharedDebug_ = std::make_shared<RecordingDebugOutput>();
  MemoryDeviceOutput& output_ = *sharedOutput_;
  FakeThreads threads_;
  RecordingMessageBoxes boxes_;
  RecordingPauses pauses_;
  RecordingDebugOutput& debug_ = *sharedDebug_;
  WindowHandle owner_ = reinterpret_cast<WindowHandle>(static_cast<std::uintptr_t>(0x1234));
  UsbServices services_{interfaces_, registry_, sharedOutput_, threads_, boxes_, pauses_, sharedDebug_, owner_};

 private:
  int plugged_ = 0;
};

}  // namespace velmara::testing
