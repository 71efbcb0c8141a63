#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace corvale {

// An in-memory disk that answers as Windows does: names ignore letter case and keep their
// spelling, relative paths start at a current directory, a file is made only in a folder that
// exists, and a folder is no file. Paths of any length.
class MemoryFiles final : public Files {
 public:
  // |currentDirectory| is absolute ("C:\tills") and is made.
  explicit MemoryFiles(std::u16string currentDirectory = u"C:\\tills");

  FileStatus Read(const std::u16string& path, std::size_t maxBytes, std::string* bytes) override;
  FileStatus Write(const std::u16string& path, std::string_view bytes) override;
  FileStatus Append(const std::u16string& path, std::string_view bytes) override;

  // Setting up and looking: the folders on the way are made as needed.
  void AddFolder(const std::u16string& path);
  void AddFile(const std::u16string& path, std::string contents);
  // A file that cannot be opened for writing, as a read-only one.
  void MakeReadOnly(const std::u16string& path) { readOnly_[Key(Resolve(path))] = true; }
  bool HasFile(const std::u16string& path) const;
  // The contents of a file; empty when there is none.
  std::string Contents(const std::u16string& path) const;
  void ChangeDirectory(const std::u16string& path);
  // The absolute form of |path|, backslashes only, without a trailing backslash.
  std::u16string Resolve(const std::u16string& path) const;

 private:
  static std::u16string Key(const std::u16string& resolved);
  static std::u16string Parent(const std::u16string& resolved);
  bool FolderExists(const std::u16string& resolved) const;
  FileStatus CheckWritable(const std::u16string& resolved) const;

  std::u16string currentDirectory_;
  std::map<std::u16string, std::pair<std::u16string, std::string>> files_;
  std::map<std::u16string, std::u16string> folders_;
  std::map<std::u16string, bool> readOnly_;
};

}  // namespace corvale
