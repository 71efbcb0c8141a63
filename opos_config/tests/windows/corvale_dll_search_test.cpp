// The real Corvale.exe under Wine, started from a folder in which someone has left DLLs under the
// names of those that Windows components load by name while it runs, with such DLLs in its working
// directory too: none of them is ever loaded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/system_info.h"
#include "platform/win32_registry.h"
#include "store/opos_store.h"
#include "window_driver.h"

namespace corvale::testing {
namespace {

using namespace pos::testing;

// DLLs that system components load by name once the program runs: the theme library, which the
// common controls load, the image library, which the theme library loads when the first window is
// drawn, and those of the cryptographic provider, which the stack protector asks for its canary as
// the program starts.
const wchar_t* const kPlantedNames[] = {L"uxtheme.dll", L"msimg32.dll", L"bcrypt.dll", L"crypt32.dll"};
const wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\Corvale.exe";

std::wstring ScratchFolder(const std::wstring& tag) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = std::wstring(temp) + L"corvale-" + tag + L"-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class CorvaleDllSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The OPOS keys that Corvale makes sure of as it starts go again, unless they were there.
    const std::u16string classKey = store_.ClassKeyPath(u"POSPrinter");
    const std::u16string root = classKey.substr(0, classKey.find(u"\\ServiceOPOS"));
    oposRoot_.assign(root.begin(), root.end());
    HKEY key = nullptr;
    oposRootExisted_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, oposRoot_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key != nullptr) RegCloseKey(key);

    programFolder_ = ScratchFolder(L"program");
    workingFolder_ = ScratchFolder(L"working");
    ASSERT_TRUE(CopyFileW((ProgramsUnderTestDirectory() + L"\\Corvale.exe").c_str(),
                          (programFolder_ + L"\\Corvale.exe").c_str(), FALSE));
    // Wine takes a DLL beside a program for one of its own only when told to prefer a native DLL
    // of that name; Windows does so for every DLL that is not a KnownDLL.
    HKEY overrides = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kOverrides) + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &overrides, nullptr),
              ERROR_SUCCESS);
    for (const wchar_t* name : kPlantedNames) {
      for (const std::wstring& folder : {programFolder_, workingFolder_}) {
        ASSERT_TRUE(CopyFileW((ThisProgramsDirectory() + L"\\planted\\planted.dll").c_str(),
                              (folder + L"\\" + name).c_str(), FALSE));
        planted_.push_back(folder + L"\\" + name);
      }
      const std::wstring_view file(name);
      const std::wstring wineName(file.substr(0, file.size() - 4));  // without ".dll"
      const wchar_t preferNative[] = L"native,builtin";
      RegSetValueExW(overrides, wineName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(preferNative),
                     sizeof(preferNative));
    }
    RegCloseKey(overrides);
  }

  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kOverrides);
    RegDeleteKeyW(HKEY_CURRENT_USER, kOverrides);
    if (!oposRootExisted_ && !oposRoot_.empty()) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, oposRoot_.c_str());
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, oposRoot_.c_str());
    }
    for (const std::wstring& folder : {programFolder_, workingFolder_}) {
      WIN32_FIND_DATAW found{};
      HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
      if (search != INVALID_HANDLE_VALUE) {
        do {
          if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
      }
      RemoveDirectoryW(folder.c_str());
    }
  }

  // The planted DLLs that a process loaded, with the process that did.
  std::vector<std::string> Loaded() const {
    std::vector<std::string> loaded;
    for (const std::wstring& dll : planted_) {
      if (Exists(dll + L".loaded")) loaded.push_back(Utf8(dll));
    }
    return loaded;
  }

  Win32Registry registry_;
  Win32SystemInfo system_;
  OposStore store_{registry_, system_};
  std::wstring oposRoot_;
  bool oposRootExisted_ = false;
  std::wstring programFolder_;
  std::wstring workingFolder_;
  std::vector<std::wstring> planted_;
};

TEST_F(CorvaleDllSearchTest, LoadsNoDllPlantedInItsFolderOrItsWorkingDirectory) {
  {
    Program program;
    const bool started = program.Start(programFolder_ + L"\\Corvale.exe", workingFolder_, L"Corvale");
    EXPECT_TRUE(started) << "Corvale's main dialog did not appear";
    if (started) {
      // Drawn, with the theme and what the theme loads; closing it ends the program.
      const std::wstring screenshots = ThisProgramsDirectory() + L"\\..\\screenshots";
      CreateDirectoryW(screenshots.c_str(), nullptr);
      EXPECT_TRUE(SaveScreenshot(program.window(), screenshots + L"\\corvale-planted-dlls.png"));
      PostMessageW(program.window(), WM_COMMAND, IDCANCEL, 0);
      EXPECT_TRUE(program.WaitForExit(10000));
    }
  }
  EXPECT_THAT(Loaded(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace corvale::testing
