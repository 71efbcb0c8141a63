#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Whole files, as the command line reads and writes them. Paths are UTF-16, of any length;
// relative ones start at the current directory. Results are Win32 error codes.
namespace corvale {

using FileStatus = std::uint32_t;

namespace file_error {
inline constexpr FileStatus kSuccess = 0;
inline constexpr FileStatus kFileNotFound = 2;
inline constexpr FileStatus kPathNotFound = 3;
inline constexpr FileStatus kAccessDenied = 5;
inline constexpr FileStatus kFileTooLarge = 223;  // ERROR_FILE_TOO_LARGE
}  // namespace file_error

class Files {
 public:
  virtual ~Files() = default;
  // The whole file. A file of more than |maxBytes| bytes is not read: kFileTooLarge.
  virtual FileStatus Read(const std::u16string& path, std::size_t maxBytes, std::string* bytes) = 0;
  // Makes the file, or replaces what it holds, with |bytes|; its folder must exist.
  virtual FileStatus Write(const std::u16string& path, std::string_view bytes) = 0;
  // Adds |bytes| at the end of the file, which is made when missing; other programs may read and
  // append to it meanwhile.
  virtual FileStatus Append(const std::u16string& path, std::string_view bytes) = 0;
};

}  // namespace corvale
