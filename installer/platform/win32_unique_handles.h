#pragma once

#include <windows.h>
#include <setupapi.h>

#include <utility>

// Owning wrappers of the Win32 handles Velmara's services open: each closes its handle when it is
// destroyed and can be moved, never copied.
namespace velmara {

template <typename Handle, typename Traits>
class UniqueWin32Handle {
 public:
  UniqueWin32Handle() = default;
  explicit UniqueWin32Handle(Handle handle) : handle_(handle) {}
  UniqueWin32Handle(UniqueWin32Handle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Empty())) {}
  UniqueWin32Handle& operator=(UniqueWin32Handle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Traits::Empty()));
    return *this;
  }
  UniqueWin32Handle(const UniqueWin32Handle&) = delete;
  UniqueWin32Handle& operator=(const UniqueWin32Handle&) = delete;
  ~UniqueWin32Handle() { Reset(); }

  Handle Get() const { return handle_; }
  bool Valid() const { return Traits::IsValid(handle_); }
  Handle* Receive() {
    Reset();
    return &handle_;
  }
  void Reset(Handle handle = Traits::Empty()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Empty();
};

struct HKeyTraits {
  static HKEY Empty() { return nullptr; }
  static bool IsValid(HKEY key) { return key != nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};

// Kernel objects: CreateFileW fails with INVALID_HANDLE_VALUE, CreateThread with null.
struct KernelHandleTraits {
  static HANDLE Empty() { return nullptr; }
  static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};

struct DeviceInfoListTraits {
  static HDEVINFO Empty() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HDEVINFO list) { return list != nullptr && list != INVALID_HANDLE_VALUE; }
  // Through the program's one setupapi.dll, where every list comes from.
  static void Close(HDEVINFO list);
};

using UniqueHKey = UniqueWin32Handle<HKEY, HKeyTraits>;
using UniqueKernelHandle = UniqueWin32Handle<HANDLE, KernelHandleTraits>;
using UniqueDeviceInfoList = UniqueWin32Handle<HDEVINFO, DeviceInfoListTraits>;

}  // namespace velmara
