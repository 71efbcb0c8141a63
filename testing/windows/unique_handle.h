#pragma once

#include <windows.h>

namespace pos::testing {

// Owns one kernel handle of a test: a file, a process, a thread. Both of the system's "no handle"
// values count as empty.
class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace pos::testing
