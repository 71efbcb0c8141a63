#include "win32_system_library.h"

#include <utility>
#include <vector>

namespace velmara {

std::wstring SystemDirectoryPath() {
  const UINT needed = GetSystemDirectoryW(nullptr, 0);
  if (needed == 0) return {};
  std::vector<wchar_t> buffer(needed);
  const UINT length = GetSystemDirectoryW(buffer.data(), needed);
  if (length == 0 || length >= needed) return {};
  return std::wstring(buffer.data(), length);
}

SystemLibrary::SystemLibrary(const wchar_t* fileName) {
  const std::wstring directory = SystemDirectoryPath();
  if (directory.empty()) {
    loadError_ = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_PATH_NOT_FOUND;
    return;
  }
  const std::wstring path = directory + L"\\" + fileName;
  module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  loadError_ = module_ != nullptr ? ERROR_SUCCESS : GetLastError();
  if (module_ == nullptr && loadError_ == ERROR_SUCCESS) loadError_ = ERROR_MOD_NOT_FOUND;
}

SystemLibrary::SystemLibrary(SystemLibrary&& other) noexcept
    : module_(std::exchange(other.module_, nullptr)),
      loadError_(std::exchange(other.loadError_, static_cast<DWORD>(ERROR_MOD_NOT_FOUND))) {}

SystemLibrary& SystemLibrary::operator=(SystemLibrary&& other) noexcept {
  if (this != &other) {
    Reset();
    module_ = std::exchange(other.module_, nullptr);
    loadError_ = std::exchange(other.loadError_, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  }
  return *this;
}

SystemLibrary::~SystemLibrary() { Reset(); }

void SystemLibrary::Reset() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
  loadError_ = ERROR_MOD_NOT_FOUND;
}

DWORD MissingFunctionError(const SystemLibrary& library) {
  return library.Loaded() ? static_cast<DWORD>(ERROR_PROC_NOT_FOUND) : library.LoadError();
}

}  // namespace velmara
