#pragma once

#include <memory>

#include "platform/device_interfaces.h"
#include "platform/device_output.h"
#include "platform/machine_registry.h"
#include "platform/threads.h"
#include "platform/ui_services.h"

namespace velmara {

// The Windows services USB discovery and direct output use, handed in by the caller. The writer
// threads share the device output and the debug output, which therefore take calls from several
// threads at once: a writer keeps both alive as long as it runs, however soon the command, the
// window or the program's start-up that made them are gone. The others serve the command alone.
struct UsbServices {
  DeviceInterfaces& deviceInterfaces;
  MachineRegistry& machineRegistry;
  std::shared_ptr<DeviceOutput> deviceOutput;
  Threads& threads;
  MessageBoxes& messageBoxes;
  Pauses& pauses;
  std::shared_ptr<DebugOutput> debugOutput;
  // The owner of the result message box.
  WindowHandle owner = nullptr;
};

}  // namespace velmara
