#pragma once

#include "files.h"

namespace corvale {

// CreateFileW, ReadFile and WriteFile; a path of MAX_PATH characters or more goes to the system in
// its \\?\ form.
class Win32Files final : public Files {
 public:
  FileStatus Read(const std::u16string& path, std::size_t maxBytes, std::string* bytes) override;
  FileStatus Write(const std::u16string& path, std::string_view bytes) override;
  FileStatus Append(const std::u16string& path, std::string_view bytes) override;
};

}  // namespace corvale
