#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/files.h"

namespace velmara {

// An in-memory disk that answers as Windows does: names ignore letter case and keep their
// spelling, relative paths are resolved against a current directory, a path that starts with a
// backslash names the root of the current drive, and a file can only be made in a directory
// that exists. Every operation is logged, so that a test can tell what was touched, and in
// which order.
class MemoryFiles final : public Files {
 public:
  struct Operation {
    enum Kind { kCopy, kDelete, kAppend } kind;
    std::string from;  // resolved; empty for a deletion
    std::string to;    // resolved: the target of a copy, the file deleted or appended to
    FileStatus status;
  };

  // |currentDirectory| is absolute ("C:\medium") and is created.
  explicit MemoryFiles(std::string currentDirectory = "C:\\medium");

  FileStatus Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  FileStatus Delete(const std::string& path) override;
  bool Exists(const std::string& path) override;
  FileStatus Append(const std::string& path, std::string_view bytes) override;

  // Setting up and looking: the directories on the way are created as needed.
  void AddDirectory(const std::string& path);
  void AddFile(const std::string& path, const std::string& contents);
  bool HasFile(const std::string& path) const;
  bool HasDirectory(const std::string& path) const;
  // The contents of a file; empty when there is none.
  std::string Contents(const std::string& path) const;
  // The resolved paths of every file, in their own spelling.
  std::vector<std::string> AllFiles() const;
  // Makes the directory |path| the current one, as SetCurrentDirectoryW does.
  void ChangeDirectory(const std::string& path) {
    currentDirectory_ = Resolve(path);
    AddDirectory(currentDirectory_);
  }
  // The absolute form of |path|, backslashes only, without a trailing backslash.
  std::string Resolve(const std::string& path) const;

  std::vector<Operation> log;

 private:
  struct Entry {
    std::string path;
    std::string contents;
  };
  static std::u16string Key(const std::string& resolved);
  static std::string Parent(const std::string& resolved);
  bool DirectoryExists(const std::string& resolved) const;

  std::string currentDirectory_;
  std::map<std::u16string, Entry> files_;
  std::map<std::u16string, std::string> directories_;
};

}  // namespace velmara
