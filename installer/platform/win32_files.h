#pragma once

#include "files.h"

namespace velmara {

class Win32Files final : public Files {
 public:
  FileStatus Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  FileStatus Delete(const std::string& path) override;
  bool Exists(const std::string& path) override;
  FileStatus Append(const std::string& path, std::string_view bytes) override;
};

}  // namespace velmara
