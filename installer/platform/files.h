#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmara {

// Win32 error codes, 0 on success.
using FileStatus = std::uint32_t;

namespace file_error {
inline constexpr FileStatus kSuccess = 0;
inline constexpr FileStatus kFileNotFound = 2;
inline constexpr FileStatus kPathNotFound = 3;
inline constexpr FileStatus kAccessDenied = 5;
inline constexpr FileStatus kFileExists = 80;
inline constexpr FileStatus kInvalidName = 123;
}  // namespace file_error

// The file operations of the installer. Relative paths are resolved against the current
// directory of the process, as the system resolves them.
class Files {
 public:
  virtual ~Files() = default;
  // CopyFileW: copies |from| to |to|; an existing |to| is replaced unless |failIfExists|.
  virtual FileStatus Copy(const std::string& from, const std::string& to, bool failIfExists) = 0;
  // DeleteFileW.
  virtual FileStatus Delete(const std::string& path) = 0;
  // Whether a file or directory of that name exists.
  virtual bool Exists(const std::string& path) = 0;
  // Appends |bytes| to the file |path|, which is made when it does not exist; its directory must.
  // Other programs may read and append to the file meanwhile. A path of any length.
  virtual FileStatus Append(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace velmara
