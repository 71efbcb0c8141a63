#pragma once

#include <windows.h>

#include <utility>

namespace corvale {

// Owns one open registry key.
class UniqueHKey {
 public:
  UniqueHKey() = default;
  explicit UniqueHKey(HKEY key) : key_(key) {}
  UniqueHKey(UniqueHKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  UniqueHKey& operator=(UniqueHKey&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.key_, nullptr));
    return *this;
  }
  UniqueHKey(const UniqueHKey&) = delete;
  UniqueHKey& operator=(const UniqueHKey&) = delete;
  ~UniqueHKey() { Reset(); }

  HKEY Get() const { return key_; }
  HKEY* Receive() {
    Reset();
    return &key_;
  }
  void Reset(HKEY key = nullptr) {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = key;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace corvale
