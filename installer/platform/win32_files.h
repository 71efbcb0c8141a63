#pragma once

#include <string>

#include "files.h"

namespace velmara {

// The name the system takes for |path|: as given while it is short once made absolute, else its
// absolute form with the \\?\ prefix (\\?\UNC\ for a network path), without which the system
// refuses a path of MAX_PATH characters or more.
std::wstring SystemPath(const std::string& path);

class Win32Files final : public Files {
 public:
  FileStatus Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  FileStatus Delete(const std::string& path) override;
  bool Exists(const std::string& path) override;
  FileStatus Append(const std::string& path, std::string_view bytes) override;
};

}  // namespace velmara
