#pragma once

#include <cstdint>

// The Win32 error codes (GetLastError) that the device services answer with.
namespace velmara::device_error {

inline constexpr std::uint32_t kFileNotFound = 2;        // ERROR_FILE_NOT_FOUND
inline constexpr std::uint32_t kAccessDenied = 5;        // ERROR_ACCESS_DENIED
inline constexpr std::uint32_t kNotEnoughMemory = 8;     // ERROR_NOT_ENOUGH_MEMORY
inline constexpr std::uint32_t kGenFailure = 31;         // ERROR_GEN_FAILURE
inline constexpr std::uint32_t kSharingViolation = 32;   // ERROR_SHARING_VIOLATION
inline constexpr std::uint32_t kInvalidParameter = 87;   // ERROR_INVALID_PARAMETER
inline constexpr std::uint32_t kInsufficientBuffer = 122;  // ERROR_INSUFFICIENT_BUFFER
inline constexpr std::uint32_t kNoMoreItems = 259;       // ERROR_NO_MORE_ITEMS
inline constexpr std::uint32_t kInvalidUserBuffer = 1784;  // ERROR_INVALID_USER_BUFFER

}  // namespace velmara::device_error
