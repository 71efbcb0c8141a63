#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

// Whole values and whole name lists, with buffers sized by what the registry reports.
namespace corvale {

// The value |name| with its type and all of its data.
RegStatus ReadValue(RegistryKey& key, const std::u16string& name, std::uint32_t* type, std::vector<std::uint8_t>* data);

// The text of string data: REG_SZ or REG_EXPAND_SZ (taken as stored, not expanded), a whole
// number of characters ending in a NUL, or no data at all; the text runs to the first NUL.
std::optional<std::u16string> TextOfStringData(std::uint32_t type, const std::vector<std::uint8_t>& data);

// A string value of at most |maxChars| characters before its NUL.
std::optional<std::u16string> ReadString(RegistryKey& key, const std::u16string& name,
                                         std::size_t maxChars = SIZE_MAX);

// A REG_DWORD of exactly four bytes.
std::optional<std::uint32_t> ReadDword(RegistryKey& key, const std::u16string& name);
// The same, telling apart a value that is missing (the registry's ERROR_FILE_NOT_FOUND) from one
// that is there but is no such number (ERROR_INVALID_DATA, or whatever else the registry said).
RegStatus ReadDword(RegistryKey& key, const std::u16string& name, std::uint32_t* value);

RegStatus WriteString(RegistryKey& key, const std::u16string& name, const std::u16string& text);
RegStatus WriteDword(RegistryKey& key, const std::u16string& name, std::uint32_t value);

// The names of all values, in the order the registry gives them, at most as many as the key
// held when the listing began and up to the first entry the registry cannot report; a name that
// will not fit any buffer is passed over. False when the key cannot be queried.
bool ListValueNames(RegistryKey& key, std::vector<std::u16string>* names);

// The names of all subkeys, in the same way.
bool ListSubkeyNames(RegistryKey& key, std::vector<std::u16string>* names);

}  // namespace corvale
