#include "memory_files.h"

#include <utility>

#include "registry_names.h"

namespace corvale {

MemoryFiles::MemoryFiles(std::u16string currentDirectory) : currentDirectory_(std::move(currentDirectory)) {
  currentDirectory_ = Resolve(currentDirectory_);
  AddFolder(currentDirectory_);
}

std::u16string MemoryFiles::Resolve(const std::u16string& path) const {
  std::u16string p = path;
  for (char16_t& c : p) {
    if (c == u'/') c = u'\\';
  }
  std::u16string resolved;
  if (p.size() >= 2 && p[1] == u':') {
    resolved = p;
  } else if (!p.empty() && p[0] == u'\\') {
    resolved = currentDirectory_.substr(0, 2) + p;
  } else {
    resolved = currentDirectory_ + u"\\" + p;
  }
  std::u16string collapsed;
  for (char16_t c : resolved) {
    if (c == u'\\' && !collapsed.empty() && collapsed.back() == u'\\') continue;
    collapsed += c;
  }
  while (collapsed.size() > 3 && collapsed.back() == u'\\') collapsed.pop_back();
  return collapsed;
}

// File names compare as the file system compares them: by the same case table as the registry's.
std::u16string MemoryFiles::Key(const std::u16string& resolved) { return FoldRegistryName(resolved); }

std::u16string MemoryFiles::Parent(const std::u16string& resolved) {
  const std::size_t slash = resolved.rfind(u'\\');
  if (slash == std::u16string::npos || slash <= 2) return resolved.substr(0, 3);
  return resolved.substr(0, slash);
}

bool MemoryFiles::FolderExists(const std::u16string& resolved) const {
  return resolved.size() <= 3 || folders_.count(Key(resolved)) != 0;
}

void MemoryFiles::AddFolder(const std::u16string& path) {
  const std::u16string resolved = Resolve(path);
  if (resolved.size() <= 3) return;
  AddFolder(Parent(resolved));
  folders_.emplace(Key(resolved), resolved);
}

void MemoryFiles::AddFile(const std::u16string& path, std::string contents) {
  const std::u16string resolved = Resolve(path);
  AddFolder(Parent(resolved));
  files_[Key(resolved)] = {resolved, std::move(contents)};
}

bool MemoryFiles::HasFile(const std::u16string& path) const { return files_.count(Key(Resolve(path))) != 0; }

std::string MemoryFiles::Contents(const std::u16string& path) const {
  const auto it = files_.find(Key(Resolve(path)));
  return it == files_.end() ? std::string() : it->second.second;
}

void MemoryFiles::ChangeDirectory(const std::u16string& path) {
  currentDirectory_ = Resolve(path);
  AddFolder(currentDirectory_);
}

FileStatus MemoryFiles::Read(const std::u16string& path, std::size_t maxBytes, std::string* bytes) {
  bytes->clear();
  const std::u16string resolved = Resolve(path);
  const auto it = files_.find(Key(resolved));
  if (it == files_.end()) {
    if (FolderExists(resolved)) return file_error::kAccessDenied;
    return FolderExists(Parent(resolved)) ? file_error::kFileNotFound : file_error::kPathNotFound;
  }
  if (it->second.second.size() > maxBytes) return file_error::kFileTooLarge;
  *bytes = it->second.second;
  return file_error::kSuccess;
}

FileStatus MemoryFiles::CheckWritable(const std::u16string& resolved) const {
  if (FolderExists(resolved)) return file_error::kAccessDenied;
  if (!FolderExists(Parent(resolved))) return file_error::kPathNotFound;
  const auto readOnly = readOnly_.find(Key(resolved));
  if (readOnly != readOnly_.end() && readOnly->second && files_.count(Key(resolved)) != 0) {
    return file_error::kAccessDenied;
  }
  return file_error::kSuccess;
}

FileStatus MemoryFiles::Write(const std::u16string& path, std::string_view bytes) {
  const std::u16string resolved = Resolve(path);
  if (const FileStatus status = CheckWritable(resolved); status != file_error::kSuccess) return status;
  auto& entry = files_[Key(resolved)];
  if (entry.first.empty()) entry.first = resolved;
  entry.second.assign(bytes);
  return file_error::kSuccess;
}

FileStatus MemoryFiles::Append(const std::u16string& path, std::string_view bytes) {
  const std::u16string resolved = Resolve(path);
  if (const FileStatus status = CheckWritable(resolved); status != file_error::kSuccess) return status;
  auto& entry = files_[Key(resolved)];
  if (entry.first.empty()) entry.first = resolved;
  entry.second.append(bytes);
  return file_error::kSuccess;
}

}  // namespace corvale
