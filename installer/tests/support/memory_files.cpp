#include "memory_files.h"

#include <utility>

#include "platform/case_fold.h"

namespace velmara {

MemoryFiles::MemoryFiles(std::string currentDirectory) : currentDirectory_(std::move(currentDirectory)) {
  currentDirectory_ = Resolve(currentDirectory_);
  AddDirectory(currentDirectory_);
}

std::string MemoryFiles::Resolve(const std::string& path) const {
  std::string p = path;
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  std::string resolved;
  if (p.size() >= 2 && p[1] == ':') {
    resolved = p;
  } else if (!p.empty() && p[0] == '\\') {
    resolved = currentDirectory_.substr(0, 2) + p;
  } else {
    resolved = currentDirectory_ + "\\" + p;
  }
  // Repeated separators count as one, as they do for the system.
  std::string collapsed;
  for (char c : resolved) {
    if (c == '\\' && !collapsed.empty() && collapsed.back() == '\\') continue;
    collapsed += c;
  }
  while (collapsed.size() > 3 && collapsed.back() == '\\') collapsed.pop_back();
  return collapsed;
}

std::u16string MemoryFiles::Key(const std::string& resolved) { return FoldCase(resolved); }

std::string MemoryFiles::Parent(const std::string& resolved) {
  const std::size_t slash = resolved.rfind('\\');
  if (slash == std::string::npos || slash <= 2) return resolved.substr(0, 3);
  return resolved.substr(0, slash);
}

bool MemoryFiles::DirectoryExists(const std::string& resolved) const {
  if (resolved.size() <= 3) return true;  // a drive's root
  return directories_.count(Key(resolved)) != 0;
}

void MemoryFiles::AddDirectory(const std::string& path) {
  const std::string resolved = Resolve(path);
  if (resolved.size() <= 3) return;
  AddDirectory(Parent(resolved));
  directories_.emplace(Key(resolved), resolved);
}

void MemoryFiles::AddFile(const std::string& path, const std::string& contents) {
  const std::string resolved = Resolve(path);
  AddDirectory(Parent(resolved));
  files_[Key(resolved)] = {resolved, contents};
}

bool MemoryFiles::HasFile(const std::string& path) const { return files_.count(Key(Resolve(path))) != 0; }

bool MemoryFiles::HasDirectory(const std::string& path) const { return DirectoryExists(Resolve(path)); }

std::string MemoryFiles::Contents(const std::string& path) const {
  const auto it = files_.find(Key(Resolve(path)));
  return it == files_.end() ? std::string() : it->second.contents;
}

std::vector<std::string> MemoryFiles::AllFiles() const {
  std::vector<std::string> all;
  for (const auto& [key, entry] : files_) all.push_back(entry.path);
  return all;
}

FileStatus MemoryFiles::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  const std::string source = Resolve(from);
  const std::string target = Resolve(to);
  FileStatus status = file_error::kSuccess;
  const auto found = files_.find(Key(source));
  if (found == files_.end()) {
    status = DirectoryExists(Parent(source)) ? file_error::kFileNotFound : file_error::kPathNotFound;
  } else if (!DirectoryExists(Parent(target))) {
    status = file_error::kPathNotFound;
  } else if (DirectoryExists(target)) {
    status = file_error::kAccessDenied;
  } else if (failIfExists && files_.count(Key(target)) != 0) {
    status = file_error::kFileExists;
  } else {
    // A replaced file keeps the spelling of its name.
    Entry& entry = files_[Key(target)];
    if (entry.path.empty()) entry.path = target;
    entry.contents = found->second.contents;
  }
  log.push_back({Operation::kCopy, source, target, status});
  return status;
}

FileStatus MemoryFiles::Delete(const std::string& path) {
  const std::string target = Resolve(path);
  FileStatus status = file_error::kSuccess;
  if (files_.erase(Key(target)) == 0) {
    if (DirectoryExists(target)) {
      status = file_error::kAccessDenied;
    } else {
      status = DirectoryExists(Parent(target)) ? file_error::kFileNotFound : file_error::kPathNotFound;
    }
  }
  log.push_back({Operation::kDelete, std::string(), target, status});
  return status;
}

bool MemoryFiles::Exists(const std::string& path) {
  const std::string resolved = Resolve(path);
  return files_.count(Key(resolved)) != 0 || DirectoryExists(resolved);
}

FileStatus MemoryFiles::Append(const std::string& path, std::string_view bytes) {
  const std::string target = Resolve(path);
  FileStatus status = file_error::kSuccess;
  if (DirectoryExists(target)) {
    status = file_error::kAccessDenied;
  } else if (!DirectoryExists(Parent(target))) {
    status = file_error::kPathNotFound;
  } else {
    Entry& entry = files_[Key(target)];
    if (entry.path.empty()) entry.path = target;
    entry.contents.append(bytes);
  }
  log.push_back({Operation::kAppend, std::string(), target, status});
  return status;
}

}  // namespace velmara
