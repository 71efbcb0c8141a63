// The real Velmara.exe under Wine, started from a scratch installation medium as its current
// directory and driven through window messages by control id, with Wine's spooler behind it.
// The suite runs once with a Chinese and once with an English user interface.
#include <windows.h>
#include <winspool.h>
#include <tlhelp32.h>

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/spooler.h"
#include "resources/resource.h"
#include "win32_readback.h"
#include "window_driver.h"

namespace velmara::testing {
namespace {

using namespace pos::testing;

using ::testing::ElementsAre;

const char* const kCoreFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"};
const char* const k58Files[] = {"POS58.DLL", "POS58.GPD", "POS58C.GPD", "POS90.DLL", "POS90.GPD",
                                "POS76.DLL", "POS76.GPD", "POS76C.GPD"};
const char* const k80Files[] = {"POS80.DLL", "POS80.GPD", "POS80C.GPD"};
const int kModelButtons[] = {IDR_MODEL_DUR_58, IDR_MODEL_DUR_58C, IDR_MODEL_RUD_80,  IDR_MODEL_RUD_80C,
                             IDR_MODEL_DAD_90, IDR_MODEL_DIZ_76,  IDR_MODEL_DIZ_76C};
const int kOsButtons[] = {IDR_OS_WINDOWS_10,    IDR_OS_WINDOWS_XP, IDR_OS_WINDOWS_2003,
                          IDR_OS_WINDOWS_VISTA, IDR_OS_WINDOWS_7,  IDR_OS_WINDOWS_8};
const char* const kModels[] = {"DUR-58", "DUR-58C", "RUD-80", "RUD-80C", "DAD-90", "DIZ-76", "DIZ-76C"};

std::wstring W(const std::string& s) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), wide.data(), length);
  return wide;
}

// Waits until no program of that file name runs any more.
void WaitForNoProcess(const wchar_t* name, DWORD milliseconds) {
  for (DWORD waited = 0; waited < Scaled(milliseconds); waited += 100) {
    bool running = false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
      if (_wcsicmp(entry.szExeFile, name) == 0) running = true;
    }
    CloseHandle(snapshot);
    if (!running) return;
    Sleep(100);
  }
}

bool Chinese() { return GetUserDefaultUILanguage() == 0x0804; }
// What the installer calls the processor of the Windows it runs on.
std::wstring NativeArchitectureName() { return Win32NativeEnvironment() == "Windows x64" ? L"x64" : L"x86"; }
std::wstring Texts(const wchar_t* chinese, const wchar_t* english) { return Chinese() ? chinese : english; }
std::wstring Language() { return Chinese() ? L"zh" : L"en"; }

class VelmaraWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    medium_ = MakeTemporaryFolder("velmara-medium");
    record_ = MakeTemporaryFolder("velmara-record");
    SetEnvironmentVariableW(L"VELMARA_TEST_RECORD", W(record_).c_str());
    previousDefault_ = CurrentDefaultPrinter();
    CleanSpooler();
    for (const char* model : kModels) RegisterDriverForWineWow64(model);
    // The printer user interface: our stand-in in the system directory, where the installer must
    // take it from, and a decoy in the medium's folder, where it must not.
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    systemRundll_ = std::wstring(system) + L"\\rundll32.exe";
    WaitForNoProcess(L"rundll32.exe", 10000);
    // A run that ended before its clean-up left Wine's own file aside already.
    const std::wstring aside = systemRundll_ + L".velmara-test";
    if (GetFileAttributesW(aside.c_str()) == INVALID_FILE_ATTRIBUTES) {
      ASSERT_TRUE(MoveFileExW(systemRundll_.c_str(), aside.c_str(), 0));
    }
    ASSERT_TRUE(CopyFileW((ThisProgramsDirectory() + L"\\rundll32\\rundll32.exe").c_str(), systemRundll_.c_str(), FALSE));
    // Wine prefers its own build of a program in the system directory to the file there.
    HKEY overrides = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &overrides, nullptr),
              ERROR_SUCCESS);
    const wchar_t native[] = L"native";
    RegSetValueExW(overrides, L"rundll32.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(native), sizeof(native));
    RegCloseKey(overrides);
  }

  void TearDown() override {
    if (releaseRundll32_ != nullptr) {
      SetEvent(releaseRundll32_);
      CloseHandle(releaseRundll32_);
    }
    SetEnvironmentVariableW(L"VELMARA_TEST_RUNDLL32", nullptr);
    SetEnvironmentVariableW(L"VELMARA_TEST_RUNDLL32_RELEASE", nullptr);
    Close();
    WaitForNoProcess(L"rundll32.exe", 10000);
    DeleteFileW(systemRundll_.c_str());
    MoveFileExW((systemRundll_ + L".velmara-test").c_str(), systemRundll_.c_str(), MOVEFILE_REPLACE_EXISTING);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Velmara.exe");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Velmara.exe");
    HKEY overrides = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, KEY_SET_VALUE, &overrides) == ERROR_SUCCESS) {
      RegDeleteValueW(overrides, L"rundll32.exe");
      RegCloseKey(overrides);
    }
    CleanSpooler();
    if (!previousDefault_.empty()) SetDefaultPrinterW(W(previousDefault_).c_str());
    RemoveFolderTree(medium_);
    RemoveFolderTree(record_);
    if (!programFolder_.empty()) RemoveFolderTree(programFolder_);
  }

  void CleanSpooler() {
    for (const char* model : kModels) {
      DeletePrinterNamed(model);
      DeletePrinterNamed(std::string(model) + " (copy 1)");
      DeletePrinterNamed(std::string(model) + " (副本 1)");
      DeleteDriverNamed(model, Win32NativeEnvironment());
      RemoveDriverForWineWow64(model);
    }
  }

  void Medium(bool with58, bool with80) {
    for (const char* folder : {"Windows NT x86", "Windows x64"}) {
      const std::string base = medium_ + "\\" + folder + "\\";
      for (const char* file : kCoreFiles) WriteFileBytes(base + file, std::string("placeholder ") + file);
      if (with58) {
        for (const char* file : k58Files) WriteFileBytes(base + file, std::string("placeholder ") + file);
      }
      if (with80) {
        for (const char* file : k80Files) WriteFileBytes(base + file, std::string("placeholder ") + file);
      }
    }
    CopyFileW((ThisProgramsDirectory() + L"\\rundll32\\rundll32.exe").c_str(), W(medium_ + "\\rundll32.exe").c_str(),
              FALSE);
  }

  // Starts Velmara as Wine reports |version| ("win7", "win81", "win10") to it, and waits for the
  // installation dialog. The program is the one under test, or its copy in another folder once
  // PlantDlls has made one.
  void Start(const std::wstring& version = L"win10") {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Velmara.exe", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    program_ = std::make_unique<Program>();
    const std::wstring folder = programFolder_.empty() ? ProgramsUnderTestDirectory() : W(programFolder_);
    ASSERT_TRUE(program_->Start(folder + L"\\Velmara.exe", W(medium_), L"")) << "no main window";
    main_ = program_->window();
    dialog_ = WaitForDialog(program_->processId(), Texts(L"安装配置", L"Install Configuration"), {main_}, 20000);
    ASSERT_NE(dialog_, nullptr) << "no installation dialog";
  }

  // Ends the program through the installation dialog's Exit, as a user would.
  void Close() {
    if (program_ && dialog_ != nullptr && IsWindow(dialog_)) {
      Press(dialog_, IDB_EXIT);
      program_->WaitForExit(5000);
    }
    program_.reset();
  }

  std::wstring Screenshot(const std::wstring& name) { return ScreenshotPath(name); }

  // Starts the installation and answers the question that follows with |answer|; the text of the
  // question.
  std::wstring InstallAndAnswer(int answer) {
    Pending click = Click(dialog_, IDB_START_INSTALL);
    HWND box = WaitForDialog(program_->processId(), L"Velmara", {main_, dialog_}, 30000, &click);
    if (box == nullptr) return L"<no question>";
    const SeenMessageBox seen = ReadMessageBox(box);
    Press(box, answer);
    click.WaitDone(10000);
    return seen.text;
  }

  bool WaitForFile(const std::string& path, DWORD milliseconds) {
    for (DWORD waited = 0; waited < Scaled(milliseconds); waited += 50) {
      if (FileExists(path)) return true;
      Sleep(50);
    }
    return FileExists(path);
  }

  // Copies the program under test into a folder of its own, as it runs from a medium or a download
  // folder, and plants a DLL that records who loads it under each of |names| beside the copy and
  // in the medium. Wine takes a DLL beside a program for one of its own only when told to prefer
  // a native DLL of that name; Windows does so for every DLL that is not a KnownDLL.
  void PlantDlls(const std::vector<std::wstring>& names) {
    programFolder_ = MakeTemporaryFolder("velmara-program");
    ASSERT_TRUE(CopyFileW((ProgramsUnderTestDirectory() + L"\\Velmara.exe").c_str(),
                          W(programFolder_ + "\\Velmara.exe").c_str(), FALSE));
    HKEY overrides = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Velmara.exe\\DllOverrides", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &overrides, nullptr),
              ERROR_SUCCESS);
    for (const std::wstring& name : names) {
      for (const std::string& folder : {programFolder_, medium_}) {
        ASSERT_TRUE(CopyFileW((ThisProgramsDirectory() + L"\\planted\\planted.dll").c_str(),
                              (W(folder) + L"\\" + name).c_str(), FALSE));
        planted_.push_back(folder + "\\" + Utf8(name));
      }
      // Wine names a DLL without its ".dll" ending, any other (winspool.drv) with it.
      const bool dll = name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".dll") == 0;
      const std::wstring wineName = dll ? name.substr(0, name.size() - 4) : name;
      const wchar_t preferNative[] = L"native,builtin";
      RegSetValueExW(overrides, wineName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(preferNative),
                     sizeof(preferNative));
    }
    RegCloseKey(overrides);
  }

  // The planted DLLs that a process loaded, with the process that did.
  std::vector<std::string> LoadedPlantedDlls() {
    std::vector<std::string> loaded;
    for (const std::string& dll : planted_) {
      if (FileExists(dll + ".loaded")) loaded.push_back(dll + " by " + ReadFileBytes(dll + ".loaded"));
    }
    return loaded;
  }

  // Clicks a button by a posted message, so that a program that hangs in the handler cannot hold
  // the test, and waits up to |milliseconds| for a message box of the program to appear.
  HWND ClickAndWaitForBox(int id, DWORD milliseconds) {
    PostMessageW(GetDlgItem(dialog_, id), BM_CLICK, 0, 0);
    return WaitForDialog(program_->processId(), L"Velmara", {main_, dialog_}, milliseconds);
  }

  std::string medium_;
  std::string record_;
  std::string programFolder_;
  std::vector<std::string> planted_;
  HANDLE releaseRundll32_ = nullptr;
  std::string previousDefault_;
  std::wstring systemRundll_;
  std::unique_ptr<Program> program_;
  HWND main_ = nullptr;
  HWND dialog_ = nullptr;
};

TEST_F(VelmaraWindowTest, OpensInTheLanguageOfTheUserInterfaceWithTheRecommendation) {
  const struct {
    const wchar_t* version;
    const wchar_t* os;
    int button;
  } cases[] = {
      {L"win7", L"Windows 7", IDR_OS_WINDOWS_7},
      {L"win81", L"Windows 8.1", IDR_OS_WINDOWS_8},
      {L"win10", L"Windows 10", IDR_OS_WINDOWS_10},
  };
  Medium(true, true);
  const std::wstring arch = NativeArchitectureName();
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf8(c.version));
    Start(c.version);
    const std::wstring os(c.os);
    EXPECT_EQ(ControlText(dialog_, IDT_STATUS),
              Texts((L"您正使用的是" + os + L" " + arch + L"系统。\n推荐选择" + os + L"进行安装。").c_str(),
                    (L"You are using " + os + L" " + arch + L" OS.\nPlease select " + os + L" to install.").c_str()));
    for (int id : kOsButtons) EXPECT_EQ(Checked(dialog_, id), id == c.button) << id;
    if (c.button == IDR_OS_WINDOWS_10) {
      EXPECT_EQ(ControlText(dialog_, IDG_OS), Texts(L"选择您的操作系统", L"Select Windows OS"));
      EXPECT_EQ(ControlText(dialog_, IDG_MODEL), Texts(L"选择您的打印机类型", L"Select Printer Series"));
      EXPECT_EQ(ControlText(dialog_, IDX_SET_DEFAULT), Texts(L"是否设置成默认打印机", L"Set Default Printer"));
      EXPECT_EQ(ControlText(dialog_, IDB_START_INSTALL), Texts(L"开始安装", L"Install Now"));
      EXPECT_EQ(ControlText(dialog_, IDB_EXIT), Texts(L"退出", L"Cancel"));
      EXPECT_EQ(ControlText(dialog_, IDB_CHECK_USB_PORT), Texts(L"检测USB端口", L"Check USB Port"));
      EXPECT_EQ(ControlText(dialog_, IDT_INTERFACE), Texts(L"打印机接口 :", L"Printer Interface :"));
      EXPECT_EQ(ControlText(dialog_, IDR_INTERFACE_OTHER), Texts(L"其它", L"Other"));
      EXPECT_EQ(ControlText(dialog_, IDR_INTERFACE_USB), L"USB");
      EXPECT_EQ(ControlText(dialog_, IDT_REMARK),
                Texts(L"*说明：后缀字母“C”表示带切刀机型", L"*Remarks: \"C\" means item with cutter"));
      EXPECT_TRUE(Checked(dialog_, IDR_INTERFACE_USB));
      for (int id : kModelButtons) EXPECT_FALSE(Checked(dialog_, id)) << id;
      EXPECT_TRUE(SaveScreenshot(GetDesktopWindow(), Screenshot(L"velmara-" + Language() + L".png")));
    }
    Close();
  }
}

TEST_F(VelmaraWindowTest, OffersTheModelsOfTheFilesOnTheMedium) {
  const struct {
    const char* what;
    bool with58, with80;
    std::vector<int> visible;
  } cases[] = {
      {"58 only", true, false, {IDR_MODEL_DUR_58, IDR_MODEL_DUR_58C, IDR_MODEL_DAD_90, IDR_MODEL_DIZ_76, IDR_MODEL_DIZ_76C}},
      {"80 only", false, true, {IDR_MODEL_RUD_80, IDR_MODEL_RUD_80C}},
      {"both", true, true, {IDR_MODEL_DUR_58, IDR_MODEL_DUR_58C, IDR_MODEL_RUD_80, IDR_MODEL_RUD_80C, IDR_MODEL_DAD_90,
                            IDR_MODEL_DIZ_76, IDR_MODEL_DIZ_76C}},
  };
  const POINT grid[] = {{48, 180}, {168, 180}, {48, 202}, {168, 202}, {48, 224}, {168, 224}, {48, 246}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveFolderTree(medium_);
    MakeFolders(medium_);
    Medium(c.with58, c.with80);
    Start();
    for (int id : kModelButtons) {
      const bool expected = std::find(c.visible.begin(), c.visible.end(), id) != c.visible.end();
      EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog_, id)) != FALSE, expected) << id;
    }
    for (std::size_t i = 0; i < std::size(kModelButtons); ++i) {
      RECT rect{};
      GetWindowRect(GetDlgItem(dialog_, kModelButtons[i]), &rect);
      MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
      if (c.with58 && c.with80) {
        EXPECT_EQ(rect.left, grid[i].x) << kModelButtons[i];
        EXPECT_EQ(rect.top, grid[i].y) << kModelButtons[i];
        EXPECT_EQ(rect.right - rect.left, 90) << kModelButtons[i];
        EXPECT_EQ(rect.bottom - rect.top, 24) << kModelButtons[i];
      } else if (kModelButtons[i] == IDR_MODEL_RUD_80) {
        // At its template position, 33, 133 in the dialog's 221 x 231 units.
        RECT client{};
        GetClientRect(dialog_, &client);
        EXPECT_NEAR(rect.left, MulDiv(33, client.right, 221), 1);
        EXPECT_NEAR(rect.top, MulDiv(133, client.bottom, 231), 1);
      }
    }
    if (c.with58 && c.with80) {
      EXPECT_TRUE(SaveScreenshot(dialog_, Screenshot(L"velmara-models-" + Language() + L".png")));
    }
    Close();
  }
}

TEST_F(VelmaraWindowTest, InstallsOnOtherAndOpensThePrinterPropertiesOnThePortPage) {
  Medium(false, true);
  Start();
  Click(dialog_, IDR_MODEL_RUD_80).WaitDone(5000);
  Click(dialog_, IDR_INTERFACE_OTHER).WaitDone(5000);
  EXPECT_EQ(InstallAndAnswer(IDYES),
            Texts(L"安装成功！\n是否要对打印机进行端口设置？", L"Succeed !\nDo you want to configure printer now?"));
  // The properties are started after the answer, and the program closes 5 s after it started them.
  const DWORD answered = GetTickCount();
  PrinterInfo2 printer;
  ASSERT_TRUE(PrinterRecord("RUD-80", &printer));
  EXPECT_EQ(printer.portName, "LPT1:");
  EXPECT_EQ(printer.driverName, "RUD-80");

  ASSERT_TRUE(WaitForFile(record_ + "\\rundll32-system.txt", 10000)) << "the printer properties were not started";
  EXPECT_EQ(ReadFileBytes(record_ + "\\rundll32-system.txt"), "printui.dll,PrintUIEntry /p /n \"RUD-80\"");
  EXPECT_FALSE(FileExists(record_ + "\\rundll32-other.txt")) << "a rundll32.exe from the medium's folder ran";
  // Its working directory is the system directory, not the medium, Velmara's own.
  wchar_t system[MAX_PATH + 1] = {};
  GetSystemDirectoryW(system, MAX_PATH + 1);
  const std::string workingDirectory = ReadFileBytes(record_ + "\\rundll32-cwd.txt");
  EXPECT_TRUE(_wcsicmp(W(workingDirectory).c_str(), system) == 0) << workingDirectory;
  const bool selected = WaitForFile(record_ + "\\rundll32-tab.txt", 5000);
  ASSERT_TRUE(program_->WaitForExit(15000)) << "the program closes by itself";
  const DWORD ended = GetTickCount();
  EXPECT_GE(ended - answered, 4000u) << "the program waits a while before it closes";
  // It looks for the properties window until it closes: a window that was there for a few of its
  // 100 ms looks has its port page brought to the front. (An emulated machine may be so slow that
  // the window comes only as the program closes; then, as on Windows, no page is selected.)
  ASSERT_TRUE(WaitForFile(record_ + "\\rundll32-titled.txt", 5000)) << "the properties window did not appear";
  const auto titled = static_cast<DWORD>(std::stoul("0" + ReadFileBytes(record_ + "\\rundll32-titled.txt")));
  const auto shownFor = static_cast<long>(ended - titled);
  if (selected) {
    EXPECT_EQ(ReadFileBytes(record_ + "\\rundll32-tab.txt"), "2");
  } else {
    EXPECT_LT(shownFor, 500) << "the window was there " << shownFor << " ms before the program closed, and its port page was not selected";
  }
}

TEST_F(VelmaraWindowTest, OnUsbWithoutAUsbPrinterTheQueueLandsOnTheParallelPort) {
  Medium(true, false);
  Start();
  Click(dialog_, IDR_MODEL_DUR_58).WaitDone(5000);
  EXPECT_EQ(InstallAndAnswer(IDNO),
            Texts(L"安装成功！\n是否要对打印机进行端口设置？", L"Succeed !\nDo you want to configure printer now?"));
  EXPECT_TRUE(program_->WaitForExit(15000)) << "No ends the program";
  PrinterInfo2 printer;
  ASSERT_TRUE(PrinterRecord("DUR-58", &printer));
  EXPECT_EQ(printer.portName, "LPT1:");
  EXPECT_FALSE(FileExists(record_ + "\\rundll32-system.txt"));
}

// The oldest tills: 32-bit Windows XP, version 5.1, where the installer recommends "Windows XP"
// and installs with the 32-bit driver set.
TEST_F(VelmaraWindowTest, InstallsAPrinterOnWindowsXp) {
  if (Win32NativeEnvironment() != "Windows NT x86") GTEST_SKIP() << "Windows XP is a 32-bit Windows here";
  Medium(false, true);
  Start(L"winxp");
  EXPECT_EQ(ControlText(dialog_, IDT_STATUS),
            Texts(L"您正使用的是Windows XP x86系统。\n推荐选择Windows XP进行安装。",
                  L"You are using Windows XP x86 OS.\nPlease select Windows XP to install."));
  for (int id : kOsButtons) EXPECT_EQ(Checked(dialog_, id), id == IDR_OS_WINDOWS_XP) << id;
  Click(dialog_, IDR_MODEL_RUD_80C).WaitDone(5000);
  Click(dialog_, IDR_INTERFACE_OTHER).WaitDone(5000);
  EXPECT_EQ(InstallAndAnswer(IDNO),
            Texts(L"安装成功！\n是否要对打印机进行端口设置？", L"Succeed !\nDo you want to configure printer now?"));
  EXPECT_TRUE(program_->WaitForExit(15000)) << "No ends the program";
  PrinterInfo2 printer;
  ASSERT_TRUE(PrinterRecord("RUD-80C", &printer));
  EXPECT_EQ(printer.portName, "LPT1:");
  RegisteredDriver driver;
  ASSERT_TRUE(DriverOfPrinter("RUD-80C", "Windows NT x86", &driver));
  EXPECT_EQ(driver.environment, "Windows NT x86");
}

TEST_F(VelmaraWindowTest, StartingWithoutAModelAsksForOne) {
  Medium(true, true);
  Start();
  Pending click = Click(dialog_, IDB_START_INSTALL);
  const std::vector<SeenMessageBox> seen = AnswerMessageBoxes(program_->processId(), L"Velmara", click, {main_, dialog_});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, Texts(L"请选择一个打印机型号！", L"Please select a printer series !"));
  EXPECT_TRUE(seen[0].hasIcon);
  EXPECT_TRUE(IsWindow(dialog_));
  EXPECT_TRUE(Enabled(dialog_, IDB_START_INSTALL));
}

TEST_F(VelmaraWindowTest, TheAboutBoxComesFromTheSystemMenu) {
  Medium(true, true);
  Start();
  PostMessageW(main_, WM_SYSCOMMAND, IDM_ABOUT, 0);
  HWND about = WaitForDialog(program_->processId(), L"关于 Velmara", {main_, dialog_}, 10000);
  ASSERT_NE(about, nullptr);
  const SeenMessageBox seen = ReadMessageBox(about);
  EXPECT_EQ(seen.text, L"Receipt printer driver installer");
  EXPECT_THAT(seen.buttons, ElementsAre(L"确定"));
  EXPECT_TRUE(seen.hasIcon);
  EXPECT_TRUE(SaveScreenshot(about, Screenshot(L"velmara-about-" + Language() + L".png")));
  Press(about, IDOK);
  for (int i = 0; i < 100 && IsWindow(about); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(about));
  EXPECT_TRUE(IsWindow(dialog_)) << "the installation dialog stays";
}

TEST_F(VelmaraWindowTest, LoadsNoDllPlantedBesideItUnderTheNameOfASystemDll) {
  Medium(true, true);
  PlantDlls({L"winspool.drv", L"comctl32.dll", L"setupapi.dll"});
  Start();
  if (dialog_ != nullptr) {
    // The USB printers are looked for through SetupAPI; none is there.
    HWND box = ClickAndWaitForBox(IDB_CHECK_USB_PORT, 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, Texts(L"USB打印机没有接入设备", L"Have not found a USB printer device !"));
    Press(box, IDOK);
  }
  Close();
  EXPECT_THAT(LoadedPlantedDlls(), ::testing::IsEmpty());
}

TEST_F(VelmaraWindowTest, NothingItsSystemComponentsLoadByNameComesFromItsFolderOrTheMedium) {
  Medium(false, true);
  // DLLs that system components load by name while the program runs: the theme library, which
  // the window manager loads with the first window, and those of the cryptographic provider,
  // which the stack protector asks for its canary as the program starts.
  PlantDlls({L"uxtheme.dll", L"bcrypt.dll", L"crypt32.dll"});
  Start();
  if (dialog_ != nullptr) {
    Click(dialog_, IDR_MODEL_RUD_80).WaitDone(5000);
    Click(dialog_, IDR_INTERFACE_OTHER).WaitDone(5000);
    if (HWND question = ClickAndWaitForBox(IDB_START_INSTALL, 30000)) {
      Press(question, IDYES);
      WaitForFile(record_ + "\\rundll32-tab.txt", 10000);
    }
  }
  Close();
  EXPECT_THAT(LoadedPlantedDlls(), ::testing::IsEmpty());
}

TEST_F(VelmaraWindowTest, AHungPropertiesWindowDoesNotHoldTheProgram) {
  const std::wstring release = L"velmara-window-test-release-" + std::to_wstring(GetCurrentProcessId());
  releaseRundll32_ = CreateEventW(nullptr, TRUE, FALSE, release.c_str());
  ASSERT_NE(releaseRundll32_, nullptr);
  SetEnvironmentVariableW(L"VELMARA_TEST_RUNDLL32", L"hang");
  SetEnvironmentVariableW(L"VELMARA_TEST_RUNDLL32_RELEASE", release.c_str());
  Medium(false, true);
  Start();
  Click(dialog_, IDR_MODEL_RUD_80).WaitDone(5000);
  Click(dialog_, IDR_INTERFACE_OTHER).WaitDone(5000);
  InstallAndAnswer(IDYES);
  ASSERT_TRUE(WaitForFile(record_ + "\\rundll32-hung.txt", 10000)) << "the properties window did not appear";
  // It closes 5 s after it started the properties, however the window it looks for behaves.
  EXPECT_TRUE(program_->WaitForExit(15000)) << "the program waits for the hung window";
  EXPECT_FALSE(FileExists(record_ + "\\rundll32-tab.txt"));
}

}  // namespace
}  // namespace velmara::testing
