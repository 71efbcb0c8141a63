#include "win32_system_info.h"

#include <windows.h>

#include <utility>

#include "win32_text.h"

namespace velmara {

namespace {

// Owns memory that a system call allocated with LocalAlloc.
class UniqueLocalMemory {
 public:
  UniqueLocalMemory() = default;
  UniqueLocalMemory(UniqueLocalMemory&& other) noexcept : memory_(std::exchange(other.memory_, nullptr)) {}
  UniqueLocalMemory& operator=(UniqueLocalMemory&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.memory_, nullptr));
    return *this;
  }
  UniqueLocalMemory(const UniqueLocalMemory&) = delete;
  UniqueLocalMemory& operator=(const UniqueLocalMemory&) = delete;
  ~UniqueLocalMemory() { Reset(); }

  HLOCAL Get() const { return memory_; }
  HLOCAL* Receive() {
    Reset();
    return &memory_;
  }
  void Reset(HLOCAL memory = nullptr) {
    if (memory_ != nullptr) LocalFree(memory_);
    memory_ = memory;
  }

 private:
  HLOCAL memory_ = nullptr;
};

}  // namespace

std::uint16_t Win32SystemInfo::NativeProcessorArchitecture() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture;
}

bool Win32SystemInfo::QueryWindowsVersion(WindowsVersion* version) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) return false;
  version->major = info.dwMajorVersion;
  version->minor = info.dwMinorVersion;
  return true;
}

std::uint16_t Win32SystemInfo::UserUiLanguage() { return GetUserDefaultUILanguage(); }

LocalDateTime Win32SystemInfo::LocalTime() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::string Win32SystemInfo::ErrorText(std::uint32_t code) {
  UniqueLocalMemory buffer;
  // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument receives the address of the text.
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                     nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                     reinterpret_cast<LPWSTR>(buffer.Receive()), 0, nullptr);
  if (length == 0 || buffer.Get() == nullptr) return std::string();
  return Narrow(std::wstring_view(static_cast<const wchar_t*>(buffer.Get()), length));
}

}  // namespace velmara
