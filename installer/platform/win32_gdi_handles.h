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

// Owns a font, brush or bitmap, and deletes it.
template <typename Handle>
class UniqueGdiObject {
 public:
  UniqueGdiObject() = default;
  explicit UniqueGdiObject(Handle object) : object_(object) {}
  UniqueGdiObject(UniqueGdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.object_, nullptr));
    return *this;
  }
  UniqueGdiObject(const UniqueGdiObject&) = delete;
  UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
  ~UniqueGdiObject() { Reset(); }

  Handle Get() const { return object_; }
  void Reset(Handle object = nullptr) {
    if (object_ != nullptr) DeleteObject(object_);
    object_ = object;
  }

 private:
  Handle object_ = nullptr;
};

using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;

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
