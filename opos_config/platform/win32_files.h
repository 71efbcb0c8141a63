#pragma once

#include <string>

#include "files.h"

namespace corvale {

// The name the system takes for |path|: as given while it is short once made absolute, else its
// absolute form with the \\?\ prefix (\\?\UNC\ for a network path), without which the system
// refuses a path of MAX_PATH characters or more.
std::wstring SystemPath(const std::u16string& path);

// CreateFileW, ReadFile and WriteFile; a path of MAX_PATH characters or more goes to the system in
// its \\?\ form.
class Win32Files final : public Files {
 public:
  FileStatus Read(const std::u16string& path, std::size_t maxBytes, std::string* bytes) override;
  FileStatus Write(const std::u16string& path, std::string_view bytes) override;
  FileStatus Append(const std::u16string& path, std::string_view bytes) override;
};

}  // namespace corvale
