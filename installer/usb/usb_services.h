#pragma once

#include "platform/device_interfaces.h"
#include "platform/device_output.h"
#include "platform/machine_registry.h"
#include "platform/threads.h"
#include "platform/ui_services.h"

namespace velmara {

// The Windows services USB discovery and direct output use, handed in by the caller. The writer
// threads use deviceOutput and debugOutput too, so those must take calls from several threads,
// and all must outlive the writers (the program's own live as long as it runs).
struct UsbServices {
  DeviceInterfaces& deviceInterfaces;
  MachineRegistry& machineRegistry;
  DeviceOutput& deviceOutput;
  Threads& threads;
  MessageBoxes& messageBoxes;
  Pauses& pauses;
  DebugOutput& debugOutput;
  // The owner of the result message box.
  WindowHandle owner = nullptr;
};

}  // namespace velmara
