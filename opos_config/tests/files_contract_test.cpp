// What the command line relies on from the disk, checked against the in-memory stand-in and, under
// Wine, against the real files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "registry_fixture.h"
#include "support/memory_files.h"
#ifdef _WIN32
#include <windows.h>

#include "platform/win32_files.h"
#endif

namespace corvale::testing {
namespace {

// The disk of a test: a scratch folder of its own, and the means to look at it without the service
// under test.
class DiskUnderTest {
 public:
  virtual ~DiskUnderTest() = default;
  virtual Files& files() = 0;
  virtual std::u16string Scratch() = 0;
  virtual void PutFolder(const std::u16string& path) = 0;
  virtual void PutFile(const std::u16string& path, const std::string& contents) = 0;
  virtual std::string Contents(const std::u16string& path) = 0;
  virtual void EnterFolder(const std::u16string& path) = 0;
};

class MemoryDisk final : public DiskUnderTest {
 public:
  Files& files() override { return files_; }
  std::u16string Scratch() override { return u"C:\\scratch"; }
  void PutFolder(const std::u16string& path) override { files_.AddFolder(path); }
  void PutFile(const std::u16string& path, const std::string& contents) override { files_.AddFile(path, contents); }
  std::string Contents(const std::u16string& path) override { return files_.Contents(path); }
  void EnterFolder(const std::u16string& path) override { files_.ChangeDirectory(path); }

 private:
  MemoryFiles files_{u"C:\\tills"};
};

#ifdef _WIN32
std::wstring Wide(const std::u16string& path) {
  std::wstring wide(path.begin(), path.end());
  // The test's own look at the disk takes long paths too.
  if (wide.size() >= MAX_PATH - 12 && wide.size() > 2 && wide[1] == L':') wide = L"\\\\?\\" + wide;
  return wide;
}

class Win32Disk final : public DiskUnderTest {
 public:
  Win32Disk() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    scratch_ = std::u16string(temp, temp + length) + u"corvale-files-" +
               Utf16(std::to_string(GetCurrentProcessId()));
    RemoveTree(scratch_);
    CreateDirectoryW(Wide(scratch_).c_str(), nullptr);
    wchar_t current[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    previous_ = current;
  }
  ~Win32Disk() override {
    SetCurrentDirectoryW(previous_.c_str());
    RemoveTree(scratch_);
  }
  Files& files() override { return files_; }
  std::u16string Scratch() override { return scratch_; }
  void PutFolder(const std::u16string& path) override {
    for (std::size_t i = 3; i <= path.size(); ++i) {
      if (i == path.size() || path[i] == u'\\') CreateDirectoryW(Wide(path.substr(0, i)).c_str(), nullptr);
    }
  }
  void PutFile(const std::u16string& path, const std::string& contents) override {
    PutFolder(path.substr(0, path.rfind(u'\\')));
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
  }
  std::string Contents(const std::u16string& path) override {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<no file>";
    std::string contents;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) contents.append(chunk, read);
    CloseHandle(file);
    return contents;
  }
  void EnterFolder(const std::u16string& path) override { SetCurrentDirectoryW(Wide(path).c_str()); }

 private:
  static std::u16string Utf16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }
  static void RemoveTree(const std::u16string& path) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((Wide(path) + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::u16string name(found.cFileName, found.cFileName + wcsnlen(found.cFileName, std::size(found.cFileName)));
        if (name == u"." || name == u"..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
          RemoveTree(path + u"\\" + name);
        } else {
          DeleteFileW(Wide(path + u"\\" + name).c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(Wide(path).c_str());
  }

  Win32Files files_;
  std::u16string scratch_;
  std::wstring previous_;
};
#endif

struct DiskBackend {
  std::string name;
  std::function<std::unique_ptr<DiskUnderTest>()> make;
};
std::ostream& operator<<(std::ostream& os, const DiskBackend& backend) { return os << backend.name; }

std::vector<DiskBackend> DiskBackends() {
  std::vector<DiskBackend> backends{{"Memory", [] { return std::unique_ptr<DiskUnderTest>(std::make_unique<MemoryDisk>()); }}};
#ifdef _WIN32
  backends.push_back({"Win32", [] { return std::unique_ptr<DiskUnderTest>(std::make_unique<Win32Disk>()); }});
#endif
  return backends;
}

class FilesContract : public ::testing::TestWithParam<DiskBackend> {
 protected:
  void SetUp() override {
    disk_ = GetParam().make();
    scratch_ = disk_->Scratch();
    disk_->PutFolder(scratch_);
  }
  Files& files() { return disk_->files(); }
  std::u16string At(const std::u16string& name) { return scratch_ + u"\\" + name; }
  std::string Read(const std::u16string& path, std::size_t maxBytes = 1024) {
    std::string bytes = "stale";
    const FileStatus status = files().Read(path, maxBytes, &bytes);
    return status == file_error::kSuccess ? bytes : "<error " + std::to_string(status) + ">";
  }

  std::unique_ptr<DiskUnderTest> disk_;
  std::u16string scratch_;
};

TEST_P(FilesContract, WriteMakesOrReplacesTheFileWhateverTheCaseOfItsName) {
  EXPECT_EQ(files().Write(At(u"Tills.ini"), "first\r\n"), file_error::kSuccess);
  EXPECT_EQ(Read(At(u"TILLS.INI")), "first\r\n");
  EXPECT_EQ(files().Write(At(u"tills.ini"), "二"), file_error::kSuccess);
  EXPECT_EQ(disk_->Contents(At(u"Tills.ini")), "二");
  EXPECT_EQ(files().Write(At(u"empty.ini"), ""), file_error::kSuccess);
  EXPECT_EQ(Read(At(u"empty.ini")), "");
}

TEST_P(FilesContract, ReadTakesTheWholeFileUpToItsLimit) {
  disk_->PutFile(At(u"ten.ini"), "0123456789");
  EXPECT_EQ(Read(At(u"ten.ini"), 10), "0123456789");
  std::string bytes = "stale";
  EXPECT_EQ(files().Read(At(u"ten.ini"), 9, &bytes), file_error::kFileTooLarge);
  EXPECT_EQ(bytes, "") << "nothing is read of a file past the limit";
}

TEST_P(FilesContract, FailuresAsTheSystemNamesThem) {
  disk_->PutFolder(At(u"folder"));
  std::string bytes;
  EXPECT_EQ(files().Read(At(u"missing.ini"), 10, &bytes), file_error::kFileNotFound);
  EXPECT_EQ(files().Read(At(u"no folder\\a.ini"), 10, &bytes), file_error::kPathNotFound);
  EXPECT_EQ(files().Read(At(u"folder"), 10, &bytes), file_error::kAccessDenied);
  EXPECT_EQ(files().Write(At(u"no folder\\a.ini"), "x"), file_error::kPathNotFound);
  EXPECT_EQ(files().Write(At(u"folder"), "x"), file_error::kAccessDenied);
  EXPECT_EQ(files().Append(At(u"no folder\\a.log"), "x"), file_error::kPathNotFound);
  EXPECT_EQ(files().Append(At(u"folder"), "x"), file_error::kAccessDenied);
}

TEST_P(FilesContract, AppendMakesTheFileThenAddsToItsEnd) {
  EXPECT_EQ(files().Append(At(u"till.log"), "one\r\n"), file_error::kSuccess);
  EXPECT_EQ(files().Append(At(u"TILL.log"), "二\r\n"), file_error::kSuccess);
  EXPECT_EQ(disk_->Contents(At(u"till.log")), "one\r\n二\r\n");
}

TEST_P(FilesContract, NamesBeyondTheAnsiCodePage) {
  EXPECT_EQ(files().Write(At(u"收银台 😀.ini"), "中文"), file_error::kSuccess);
  EXPECT_EQ(disk_->Contents(At(u"收银台 😀.ini")), "中文");
  EXPECT_EQ(Read(At(u"收银台 😀.ini")), "中文");
}

TEST_P(FilesContract, PathsLongerThanMaxPath) {
  const std::u16string deep = At(std::u16string(100, u'd'));
  const std::u16string deeper = deep + u"\\" + std::u16string(100, u'e') + u"\\" + std::u16string(100, u'f');
  ASSERT_GT(deeper.size(), 300u);
  disk_->PutFolder(deeper);
  EXPECT_EQ(files().Write(deeper + u"\\tills.ini", "far"), file_error::kSuccess);
  EXPECT_EQ(Read(deeper + u"\\tills.ini"), "far");
  EXPECT_EQ(files().Append(deeper + u"\\till.log", "farther"), file_error::kSuccess);
  EXPECT_EQ(disk_->Contents(deeper + u"\\till.log"), "farther");
  // Short, but long once the current directory is put in front.
  disk_->EnterFolder(deep);
  const std::u16string relative = std::u16string(100, u'e') + u"\\" + std::u16string(100, u'f') + u"\\near.ini";
  EXPECT_EQ(files().Write(relative, "near"), file_error::kSuccess);
  EXPECT_EQ(disk_->Contents(deeper + u"\\near.ini"), "near");
  EXPECT_EQ(Read(relative), "near");
}

#ifdef _WIN32
// Wine takes a path past MAX_PATH as it is; Windows only in the \\?\ form, which the adapter makes.
TEST(Win32Files, APathOfMaxPathCharactersOrMoreGoesInItsLongForm) {
  const std::u16string a(150, u'a'), b(150, u'b');
  std::vector<wchar_t> current(GetCurrentDirectoryW(0, nullptr));
  GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
  const std::wstring here(current.data());
  const auto wide = [](const std::u16string& text) { return std::wstring(text.begin(), text.end()); };
  const struct {
    std::u16string path;
    std::wstring expected;
  } cases[] = {
      {u"C:\\logs\\tills.ini", L"C:\\logs\\tills.ini"},
      {u"tills.ini", L"tills.ini"},
      {u"C:\\" + a + u"\\" + b + u"\\tills.ini", L"\\\\?\\C:\\" + wide(a) + L"\\" + wide(b) + L"\\tills.ini"},
      {u"C:/" + a + u"/x/../" + b + u"/tills.ini", L"\\\\?\\C:\\" + wide(a) + L"\\" + wide(b) + L"\\tills.ini"},
      {u"\\\\server\\share\\" + a + u"\\" + b, L"\\\\?\\UNC\\server\\share\\" + wide(a) + L"\\" + wide(b)},
      {u"\\\\?\\C:\\" + a + u"\\" + b, L"\\\\?\\C:\\" + wide(a) + L"\\" + wide(b)},
      {a + u"\\" + b, L"\\\\?\\" + here + (here.back() == L'\\' ? L"" : L"\\") + wide(a) + L"\\" + wide(b)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.path.substr(0, 40)));
    EXPECT_TRUE(SystemPath(c.path) == c.expected);
  }
}
#endif

INSTANTIATE_TEST_SUITE_P(Backends, FilesContract, ::testing::ValuesIn(DiskBackends()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace corvale::testing
