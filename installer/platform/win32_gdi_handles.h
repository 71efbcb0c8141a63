#pragma once

#include <windows.h>

#include <utility>

namespace velmara {

// Owns a device context made with CreateDCW or CreateCompatibleDC, and deletes it.
class UniqueDc {
 public:
  UniqueDc() = default;
  explicit UniqueDc(HDC dc) : dc_(dc) {}
  UniqueDc(UniqueDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  UniqueDc& operator=(UniqueDc&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.dc_, nullptr));
    return *this;
  }
  UniqueDc(const UniqueDc&) = delete;
  UniqueDc& operator=(const UniqueDc&) = delete;
  ~UniqueDc() { Reset(); }

  HDC Get() const { return dc_; }
  void Reset(HDC dc = nullptr) {
    if (dc_ != nullptr) DeleteDC(dc_);
    dc_ = dc;
  }

 private:
  HDC dc_ = nullptr;
};

// Keeps a GDI object selected into a device context, and selects the previous one back.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;
  ~ScopedSelection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  bool Selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace velmara
