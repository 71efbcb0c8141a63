// The real Corvale.exe under Wine, driven through window messages by control id, with the real
// registry behind it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/system_info.h"
#include "platform/win32_registry.h"
#include "registry_fixture.h"
#include "resources/resource.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"
#include "window_driver.h"

namespace corvale::testing {
namespace {

using namespace pos::testing;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

MATCHER_P(Says, text, "") { return arg.text == text && arg.title == L"Corvale" && arg.buttons.size() == 1; }

class CorvaleWindowTest : public ::testing::Test {
 protected:
  CorvaleWindowTest() : store_(registry_, system_), seed_(registry_) {}

  void SetUp() override {
    Clear();
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    scratch_ = std::wstring(temp) + L"corvale-window-test-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(scratch_.c_str(), nullptr);
    RemoveRecords();
    ASSERT_TRUE(CopyFileW((ThisProgramsDirectory() + L"\\dunlith\\Dunlith.exe").c_str(),
                          (scratch_ + L"\\Dunlith.exe").c_str(), FALSE));
  }

  void TearDown() override {
    program_.reset();
    Clear();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Corvale.exe", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
      RegDeleteValueW(key, L"Version");
      RegCloseKey(key);
    }
    RemoveRecords();
    DeleteFileW((scratch_ + L"\\Dunlith.exe").c_str());
    DeleteFileW((Planted() + L"\\Dunlith.exe").c_str());
    RemoveDirectoryW(Planted().c_str());
    RemoveDirectoryW(scratch_.c_str());
  }

  // A folder for a Dunlith.exe that must never run.
  std::wstring Planted() const { return scratch_ + L"\\planted"; }

  void RemoveRecords() {
    for (const std::wstring& folder : {scratch_, Planted()}) {
      for (const wchar_t* record : {L"\\dunlith-args.txt", L"\\dunlith-ran.txt"}) {
        DeleteFileW((folder + record).c_str());
      }
    }
  }

  // The OPOS root where the store finds it on this machine.
  std::u16string Root() {
    const std::u16string printerClass = store_.ClassKeyPath(kPrinterClass);
    return printerClass.substr(0, printerClass.rfind(u"\\ServiceOPOS\\"));
  }

  void Clear() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, reinterpret_cast<const wchar_t*>(Root().c_str())); }

  void AddLdn(const std::u16string& name, std::uint32_t portType, std::uint32_t portSetting) {
    // The class keys first, a key at a time, as Corvale's start-up makes them: Wine's WoW64 puts a
    // path of several new keys below SOFTWARE\WOW6432Node one WOW6432Node too deep.
    store_.EnsureClassKeys(kPrinterClass);
    store_.EnsureClassKeys(kDrawerClass);
    ASSERT_EQ(store_.CreateLDN(name, kPrinterClass), kLdnCreated);
    ASSERT_EQ(store_.CreateLDN(name, kDrawerClass), kLdnCreated);
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      LDNRecord record(store_, name, *deviceClass);
      record.PortType = portType;
      record.PortSetting = portSetting;
      ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
    }
  }

  std::u16string KeyOf(const std::u16string& deviceClass, const std::u16string& name) {
    return store_.ClassKeyPath(deviceClass) + u"\\" + seed_.String(store_.ClassKeyPath(deviceClass), name);
  }

  // Starts Corvale as Wine reports |version| ("winxp", ...) to it; empty: Wine's default.
  void StartCorvale(const std::wstring& version = L"") {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Corvale.exe", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
      if (!version.empty()) {
        RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                       static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
      } else {
        RegDeleteValueW(key, L"Version");
      }
      RegCloseKey(key);
    }
    program_ = std::make_unique<Program>();
    ASSERT_TRUE(program_->Start(ProgramsUnderTestDirectory() + L"\\Corvale.exe", scratch_, L"Corvale"))
        << "Corvale's main dialog did not appear";
    main_ = program_->window();
  }

  // Clicks a button of the main dialog and answers the message boxes that follow.
  std::vector<SeenMessageBox> ClickAndAnswer(int id) {
    Pending click = Click(main_, id);
    return AnswerMessageBoxes(program_->processId(), L"Corvale", click, {main_});
  }

  std::wstring Screenshot(const std::wstring& name) { return ScreenshotPath(name); }

  Win32Registry registry_;
  Win32SystemInfo system_;
  OposStore store_;
  RegistrySeed seed_;
  std::wstring scratch_;
  std::unique_ptr<Program> program_;
  HWND main_ = nullptr;
};

TEST_F(CorvaleWindowTest, StartsShowingTheFirstLdn) {
  AddLdn(u"A till", kPortSerial, 0x0203);
  AddLdn(u"B till", kPortEthernet, 0xC0A80164);
  StartCorvale();
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"A till", L"B till"));
  EXPECT_EQ(ListSelection(main_, IDC_LDN_LIST), 0);
  EXPECT_TRUE(Checked(main_, IDR_SERIAL));
  EXPECT_FALSE(Checked(main_, IDR_USB));
  EXPECT_FALSE(Checked(main_, IDR_ETHERNET));
  EXPECT_EQ(ListText(main_, IDC_PORT_NAME, ListSelection(main_, IDC_PORT_NAME)), L"COM3");
  EXPECT_EQ(ListText(main_, IDC_BAUD_RATE, ListSelection(main_, IDC_BAUD_RATE)), L"19200");
  EXPECT_FALSE(Enabled(main_, IDC_IP_ADDRESS));
  EXPECT_TRUE(Enabled(main_, IDC_PORT_NAME));
  EXPECT_EQ(ControlText(main_, IDE_TIME_OUT), L"1000");
  EXPECT_EQ(ControlText(main_, IDE_CODE_PAGE), L"437");
  EXPECT_EQ(FocusOnceSettled(program_->threadId(), GetDlgItem(main_, IDB_TEST_PRINTER)), GetDlgItem(main_, IDB_TEST_PRINTER));

  // The template's list entries and the port names.
  EXPECT_THAT(ListEntries(main_, IDC_BAUD_RATE), ElementsAre(L"9600", L"19200", L"38400", L"115200"));
  EXPECT_THAT(ListEntries(main_, IDC_DOT_LINE_WIDTH), ElementsAre(L"576", L"640"));
  EXPECT_THAT(ListEntries(main_, IDC_EFFECTS),
              ElementsAre(L"Floyd-Steinberg", L"Ordered-Dithering (4x4)", L"Burkes", L"Stucki",
                          L"Jarvis-Judice-Ninke", L"Sierra", L"Stevenson-Arce", L"Bayer (4x4)", L"Bayer (8x8)",
                          L"Bayer (16x16)", L"Adaptive Threshold"));
  EXPECT_EQ(ListCount(main_, IDC_PORT_NAME), 255);
  EXPECT_EQ(ListText(main_, IDC_PORT_NAME, 254), L"COM255");

  ChooseInList(main_, IDC_LDN_LIST, 1);
  EXPECT_TRUE(Checked(main_, IDR_ETHERNET));
  EXPECT_EQ(IpAddressText(main_, IDC_IP_ADDRESS), L"192.168.1.100");
  EXPECT_TRUE(Enabled(main_, IDC_IP_ADDRESS));
  EXPECT_FALSE(Enabled(main_, IDC_BAUD_RATE));
  EXPECT_TRUE(SaveScreenshot(main_, Screenshot(L"corvale-main.png")));
}

TEST_F(CorvaleWindowTest, AppliesSerialAndEthernetSettingsToBothClasses) {
  AddLdn(u"Till", kPortUsb, 0);
  StartCorvale();
  EXPECT_THAT(ClickAndAnswer(IDR_SERIAL), IsEmpty());
  EXPECT_TRUE(Enabled(main_, IDC_PORT_NAME));
  ChooseInList(main_, IDC_PORT_NAME, 3);
  ChooseInList(main_, IDC_BAUD_RATE, 2);
  SetControlText(main_, IDE_TIME_OUT, L"2500");
  EXPECT_THAT(ClickAndAnswer(IDB_APPLY), ElementsAre(Says(L"Apply setting success !")));
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    const std::u16string key = KeyOf(*deviceClass, u"Till");
    EXPECT_EQ(seed_.Number(key, u"PortType"), kPortSerial);
    EXPECT_EQ(seed_.Number(key, u"PortSetting") & 0xFFFF, 0x0304u);
    EXPECT_EQ(seed_.Number(key, u"TimeOut"), 2500u);
  }

  EXPECT_THAT(ClickAndAnswer(IDR_ETHERNET), IsEmpty());
  SendDlgItemMessageW(main_, IDC_IP_ADDRESS, IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(10, 1, 2, 30)));
  const std::vector<SeenMessageBox> seen = ClickAndAnswer(IDB_APPLY);
  EXPECT_THAT(seen, ElementsAre(Says(L"Apply setting success !")));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(seen[0].hasIcon);
  EXPECT_EQ(seen[0].owner, main_);
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    const std::u16string key = KeyOf(*deviceClass, u"Till");
    EXPECT_EQ(seed_.Number(key, u"PortType"), kPortEthernet);
    EXPECT_EQ(seed_.Number(key, u"PortSetting"), 0x0A01021Eu);
  }
}

TEST_F(CorvaleWindowTest, ATimeOutOutOfRangeIsRefused) {
  AddLdn(u"Till", kPortUsb, 0);
  StartCorvale();
  const std::string before = seed_.Snapshot(Root());
  SetControlText(main_, IDE_TIME_OUT, L"5");
  const std::vector<SeenMessageBox> seen = ClickAndAnswer(IDB_APPLY);
  ASSERT_THAT(seen, ElementsAre(Says(L"请输入一个 10 至 10000 之间的整数。")));
  EXPECT_TRUE(seen[0].hasIcon) << "the exclamation icon";
  EXPECT_EQ(FocusOnceSettled(program_->threadId(), GetDlgItem(main_, IDE_TIME_OUT)), GetDlgItem(main_, IDE_TIME_OUT));
  EXPECT_EQ(seed_.Snapshot(Root()), before);
}

TEST_F(CorvaleWindowTest, CreatesANewLdn) {
  AddLdn(u"Shop", kPortUsb, 0);
  StartCorvale();
  Pending click = Click(main_, IDB_NEW);
  HWND dialog = WaitForDialog(program_->processId(), L"New LDN", {main_}, 10000);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main_);
  POINT origin{0, 0};
  ClientToScreen(main_, &origin);
  POINT placed{0, 0};
  ClientToScreen(dialog, &placed);
  EXPECT_EQ(placed.x, origin.x) << "at the top-left corner of the main dialog's client area";
  EXPECT_EQ(placed.y, origin.y);
  EXPECT_EQ(FocusOnceSettled(program_->threadId(), GetDlgItem(dialog, IDB_NEW_LDN_OK)), GetDlgItem(dialog, IDB_NEW_LDN_OK));
  EXPECT_TRUE(SaveScreenshot(dialog, Screenshot(L"corvale-new-ldn.png")));

  SetControlText(dialog, IDE_NEW_LDN, L"Shop 2");
  Press(dialog, IDB_NEW_LDN_OK);
  HWND box = WaitForDialog(program_->processId(), L"Corvale", {main_}, 10000);
  ASSERT_NE(box, nullptr);
  const SeenMessageBox seen = ReadMessageBox(box);
  EXPECT_EQ(seen.text, L"Add new LDN successfully !");
  EXPECT_EQ(seen.owner, dialog);
  Press(box, IDOK);
  ASSERT_TRUE(click.WaitDone(10000));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"Shop", L"Shop 2"));
  EXPECT_EQ(ListSelection(main_, IDC_LDN_LIST), 1);
  // Shop holds POSPrinter80 and POSPrinter80_1: no key name is taken twice, in either class.
  EXPECT_EQ(seed_.String(store_.ClassKeyPath(kPrinterClass), u"Shop 2"), u"POSPrinter80_2");
  EXPECT_EQ(seed_.String(store_.ClassKeyPath(kDrawerClass), u"Shop 2"), u"POSPrinter80_3");
}

TEST_F(CorvaleWindowTest, ANewLdnThatExistsKeepsTheDialogOpen) {
  AddLdn(u"Shop", kPortUsb, 0);
  StartCorvale();
  const std::string before = seed_.Snapshot(Root());
  Pending click = Click(main_, IDB_NEW);
  HWND dialog = WaitForDialog(program_->processId(), L"New LDN", {main_}, 10000);
  ASSERT_NE(dialog, nullptr);
  SetControlText(dialog, IDE_NEW_LDN, L"Shop");
  Press(dialog, IDB_NEW_LDN_OK);
  HWND box = WaitForDialog(program_->processId(), L"Corvale", {main_}, 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ReadMessageBox(box).text, L"<Shop> alrealy exists !");
  Press(box, IDOK);
  Sleep(300);
  EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
  EXPECT_EQ(ControlText(dialog, IDE_NEW_LDN), L"Shop");
  Press(dialog, IDB_NEW_LDN_CANCEL);
  ASSERT_TRUE(click.WaitDone(10000));
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"Shop"));
  EXPECT_EQ(seed_.Snapshot(Root()), before);
}

TEST_F(CorvaleWindowTest, DeletesTheSelectedLdn) {
  AddLdn(u"A", kPortUsb, 0);
  AddLdn(u"B", kPortEthernet, 0x0A000001);
  StartCorvale();
  EXPECT_THAT(ClickAndAnswer(IDB_DELETE), ElementsAre(Says(L"Delete LDN successfully !")));
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"B"));
  EXPECT_EQ(ListSelection(main_, IDC_LDN_LIST), 0);
  EXPECT_TRUE(Checked(main_, IDR_ETHERNET));
  std::vector<std::u16string> names;
  store_.ListLDNAliases(kPrinterClass, names);
  EXPECT_THAT(names, ElementsAre(u"B"));
  store_.ListLDNAliases(kDrawerClass, names);
  EXPECT_THAT(names, ElementsAre(u"B"));
}

TEST_F(CorvaleWindowTest, TestPrinterStartsTheTestProgramWithTheLdn) {
  AddLdn(u"Shop 1", kPortUsb, 0);
  StartCorvale();
  EXPECT_THAT(ClickAndAnswer(IDR_ETHERNET), IsEmpty());
  SendDlgItemMessageW(main_, IDC_IP_ADDRESS, IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(10, 0, 0, 9)));
  EXPECT_THAT(ClickAndAnswer(IDB_TEST_PRINTER), IsEmpty());
  const std::wstring recorded = scratch_ + L"\\dunlith-args.txt";
  for (DWORD waited = 0; waited < Scaled(10000) && GetFileAttributesW(recorded.c_str()) == INVALID_FILE_ATTRIBUTES;
       waited += 50) {
    Sleep(50);
  }
  std::ifstream file(Utf8(recorded), std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  EXPECT_EQ(contents.str(), "Shop 1");
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"Shop 1"), u"PortSetting"), 0x0A000009u);
  EXPECT_EQ(seed_.Number(KeyOf(kDrawerClass, u"Shop 1"), u"PortSetting"), 0x0A000009u);
}

// Reads a stand-in's record, once it is there.
std::string RecordOnceWritten(const std::wstring& path, DWORD milliseconds) {
  for (DWORD waited = 0; waited < Scaled(milliseconds) && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
       waited += 50) {
    Sleep(50);
  }
  std::ifstream file(Utf8(path), std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

// "App Paths" entries for Dunlith.exe in both registry views of the machine and in the user's
// hive, as a program without administrator rights could make the last one; gone with this.
class PlantedAppPaths {
 public:
  explicit PlantedAppPaths(const std::wstring& exe) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    for (const Place& place : kPlaces) {
      HKEY key = nullptr;
      if (RegCreateKeyExW(place.root, kKey, 0, nullptr, 0, KEY_SET_VALUE | place.view, nullptr, &key, nullptr) !=
          ERROR_SUCCESS) {
        continue;
      }
      RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(exe.c_str()),
                     static_cast<DWORD>((exe.size() + 1) * sizeof(wchar_t)));
      RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
      RegCloseKey(key);
    }
  }
  PlantedAppPaths(const PlantedAppPaths&) = delete;
  PlantedAppPaths& operator=(const PlantedAppPaths&) = delete;
  ~PlantedAppPaths() {
    for (const Place& place : kPlaces) RegDeleteKeyExW(place.root, kKey, place.view, 0);
  }

 private:
  struct Place {
    HKEY root;
    REGSAM view;
  };
  static constexpr const wchar_t* kKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Dunlith.exe";
  static inline const Place kPlaces[] = {{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                                         {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
                                         {HKEY_CURRENT_USER, 0}};
};

TEST_F(CorvaleWindowTest, TestPrinterStartsOnlyTheTestProgramInItsCurrentDirectory) {
  AddLdn(u"Shop 1", kPortUsb, 0);
  // A Dunlith.exe wherever the shell would look for a bare name: along PATH and in App Paths.
  const std::wstring planted = Planted();
  CreateDirectoryW(planted.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW((scratch_ + L"\\Dunlith.exe").c_str(), (planted + L"\\Dunlith.exe").c_str(), FALSE));
  ASSERT_TRUE(DeleteFileW((scratch_ + L"\\Dunlith.exe").c_str()));
  PlantedAppPaths appPaths(planted + L"\\Dunlith.exe");
  std::wstring path(32768, L'\0');
  path.resize(GetEnvironmentVariableW(L"PATH", path.data(), static_cast<DWORD>(path.size())));
  SetEnvironmentVariableW(L"PATH", (planted + L";" + path).c_str());
  StartCorvale();
  SetEnvironmentVariableW(L"PATH", path.c_str());

  // None in the current directory: nothing may start, and the technician is told.
  const std::vector<SeenMessageBox> seen = ClickAndAnswer(IDB_TEST_PRINTER);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text.rfind(L"Cannot start " + scratch_ + L"\\Dunlith.exe !\r\n", 0), 0u) << Utf8(seen[0].text);
  // Then the one there, and only that one.
  ASSERT_TRUE(CopyFileW((planted + L"\\Dunlith.exe").c_str(), (scratch_ + L"\\Dunlith.exe").c_str(), FALSE));
  EXPECT_THAT(ClickAndAnswer(IDB_TEST_PRINTER), IsEmpty());
  EXPECT_EQ(RecordOnceWritten(scratch_ + L"\\dunlith-ran.txt", 20000), "Shop 1");
  Sleep(2000);
  EXPECT_EQ(GetFileAttributesW((planted + L"\\dunlith-ran.txt").c_str()), INVALID_FILE_ATTRIBUTES)
      << "the Dunlith.exe found along PATH or in App Paths ran";
}

TEST_F(CorvaleWindowTest, ApplyWritesOnlyIntoKeysItRead) {
  // Another program's LDN key under the name that a record without a key would fall back on.
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    seed_.Sz(store_.ClassKeyPath(*deviceClass) + u"\\ArdOPOS", u"", u"Their.SO");
  }
  ASSERT_EQ(store_.CreateLDN(u"Half", kPrinterClass), kLdnCreated);
  StartCorvale();
  const std::string drawerBefore = seed_.Snapshot(store_.ClassKeyPath(kDrawerClass));
  Pending click = Click(main_, IDB_APPLY);
  HWND box = WaitForDialog(program_->processId(), L"Corvale", {main_}, 10000, &click);
  ASSERT_NE(box, nullptr) << "no message";
  const SeenMessageBox seen = ReadMessageBox(box);
  EXPECT_EQ(seen.text, L"<Half> not found under CashDrawer !\r\nOnly its POSPrinter settings were written.");
  EXPECT_TRUE(seen.hasIcon) << "the exclamation icon";
  EXPECT_TRUE(SaveScreenshot(box, Screenshot(L"corvale-half-ldn.png")));
  Press(box, IDOK);
  ASSERT_TRUE(click.WaitDone(10000));
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"Half"), u"PortType"), kPortUsb) << "the printer half is written";
  EXPECT_EQ(seed_.Snapshot(store_.ClassKeyPath(kDrawerClass)), drawerBefore);

  // With no LDN, the list's blank entry.
  program_.reset();
  ASSERT_EQ(store_.DeleteLDN(kPrinterClass, u"Half"), kLdnDeleted);
  StartCorvale();
  ChooseInList(main_, IDC_LDN_LIST, 0);
  const std::string before = seed_.Snapshot(Root());
  EXPECT_THAT(ClickAndAnswer(IDB_APPLY), ElementsAre(Says(L"No LDN !")));
  EXPECT_EQ(seed_.Snapshot(Root()), before);
}

TEST_F(CorvaleWindowTest, AnotherProgramsKeyNamedLikeAnLdnIsNeitherShownNorWritten) {
  AddLdn(u"Mine", kPortSerial, 0x0305);
  AddLdn(u"Shop", kPortEthernet, 0x0A000001);
  // The key "Shop" stands in front of the alias "Shop" that the list shows.
  const std::u16string theirs = store_.ClassKeyPath(kPrinterClass) + u"\\Shop";
  seed_.Sz(theirs, u"DeviceName", u"not ours");
  seed_.Dword(theirs, u"PortType", kPortEthernet);
  seed_.Dword(theirs, u"PortSetting", 0xC0A80001);
  StartCorvale();
  ASSERT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"Mine", L"Shop"));
  ASSERT_TRUE(Checked(main_, IDR_SERIAL));
  const std::string before = seed_.Snapshot(Root());

  ChooseInList(main_, IDC_LDN_LIST, 1);
  // Neither Mine's settings nor the other program's.
  EXPECT_TRUE(Checked(main_, IDR_USB));
  EXPECT_FALSE(Checked(main_, IDR_SERIAL));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main_, IDC_PORT_NAME)));
  EXPECT_EQ(ControlText(main_, IDE_TIME_OUT), L"1000");

  SetControlText(main_, IDE_TIME_OUT, L"4000");
  Pending click = Click(main_, IDB_APPLY);
  HWND box = WaitForDialog(program_->processId(), L"Corvale", {main_}, 10000, &click);
  ASSERT_NE(box, nullptr) << "no message";
  EXPECT_EQ(ReadMessageBox(box).text, L"<Shop> under POSPrinter is not the key this tool made for it !\r\nNothing was written.");
  EXPECT_TRUE(SaveScreenshot(box, Screenshot(L"corvale-not-its-key.png")));
  Press(box, IDOK);
  ASSERT_TRUE(click.WaitDone(10000));
  EXPECT_EQ(seed_.Snapshot(Root()), before);
}

TEST_F(CorvaleWindowTest, NewRefusesTheKeyNameOfAnotherLdn) {
  AddLdn(u"Shop", kPortUsb, 0);
  seed_.Sz(store_.ClassKeyPath(kDrawerClass) + u"\\POSPrinter80_1", u"DeviceName", u"another program's");
  StartCorvale();
  const std::string before = seed_.Snapshot(Root());
  Pending click = Click(main_, IDB_NEW);
  HWND dialog = WaitForDialog(program_->processId(), L"New LDN", {main_}, 10000);
  ASSERT_NE(dialog, nullptr);
  for (const wchar_t* name : {L"posprinter80", L"POSPrinter80_1"}) {
    SetControlText(dialog, IDE_NEW_LDN, name);
    Press(dialog, IDB_NEW_LDN_OK);
    HWND box = WaitForDialog(program_->processId(), L"Corvale", {main_}, 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, L"<" + std::wstring(name) + L"> alrealy exists !");
    Press(box, IDOK);
    Sleep(300);
    EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
  }
  Press(dialog, IDB_NEW_LDN_CANCEL);
  ASSERT_TRUE(click.WaitDone(10000));
  EXPECT_EQ(seed_.Snapshot(Root()), before);
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"Shop"));
}

TEST_F(CorvaleWindowTest, DeleteLeavesWhatTheToolDidNotMakeOrCouldNotRemove) {
  AddLdn(u"Theirs too", kPortUsb, 0);
  AddLdn(u"Nested", kPortUsb, 0);
  seed_.Dword(KeyOf(kDrawerClass, u"Theirs too"), u"VersionSO", 0x12345678);
  seed_.Key(KeyOf(kDrawerClass, u"Nested") + u"\\Extra");
  StartCorvale();
  const std::string drawerBefore = seed_.Snapshot(store_.ClassKeyPath(kDrawerClass));
  // Each time the printer half goes, what is left is named and the list reloaded.
  for (int i = 0; i < 2; ++i) {
    const std::wstring name = ListEntries(main_, IDC_LDN_LIST).at(0);
    ChooseInList(main_, IDC_LDN_LIST, 0);
    EXPECT_THAT(ClickAndAnswer(IDB_DELETE), ElementsAre(Says(L"Delete LDN failed !\r\n<" + name + L"> is left under CashDrawer.")));
  }
  EXPECT_EQ(seed_.Snapshot(store_.ClassKeyPath(kDrawerClass)), drawerBefore);
  std::vector<std::u16string> printerAliases;
  store_.ListLDNAliases(kPrinterClass, printerAliases);
  EXPECT_THAT(printerAliases, IsEmpty()) << "the printer halves were the tool's own";
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L""));
}

// The oldest tills: 32-bit Windows XP (version 5.1), where the OPOS keys lie under
// SOFTWARE\OLEforRetail and the registry has no RegDeleteKeyExW (win32_lookups_test plays that).
TEST_F(CorvaleWindowTest, ManagesLdnsOnWindowsXp) {
  if (system_.NativeProcessorArchitecture() != kArchitectureX86) GTEST_SKIP() << "Windows XP is a 32-bit Windows here";
  AddLdn(u"Counter", kPortUsb, 0);
  StartCorvale(L"winxp");
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"Counter"));

  Pending click = Click(main_, IDB_NEW);
  HWND dialog = WaitForDialog(program_->processId(), L"New LDN", {main_}, 10000);
  ASSERT_NE(dialog, nullptr);
  SetControlText(dialog, IDE_NEW_LDN, L"Drive-thru");
  Press(dialog, IDB_NEW_LDN_OK);
  HWND box = WaitForDialog(program_->processId(), L"Corvale", {main_}, 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ReadMessageBox(box).text, L"Add new LDN successfully !");
  Press(box, IDOK);
  ASSERT_TRUE(click.WaitDone(10000));
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"Counter", L"Drive-thru"));
  EXPECT_EQ(ListSelection(main_, IDC_LDN_LIST), 1);

  EXPECT_THAT(ClickAndAnswer(IDR_SERIAL), IsEmpty());
  ChooseInList(main_, IDC_PORT_NAME, 2);
  ChooseInList(main_, IDC_BAUD_RATE, 3);
  EXPECT_THAT(ClickAndAnswer(IDB_APPLY), ElementsAre(Says(L"Apply setting success !")));
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    const std::u16string key = KeyOf(*deviceClass, u"Drive-thru");
    EXPECT_EQ(key.rfind(u"SOFTWARE\\OLEforRetail\\", 0), 0u) << Utf8(std::wstring(key.begin(), key.end()));
    EXPECT_EQ(seed_.Number(key, u"PortType"), kPortSerial);
    EXPECT_EQ(seed_.Number(key, u"PortSetting") & 0xFFFF, 0x0403u);
  }

  EXPECT_THAT(ClickAndAnswer(IDB_DELETE), ElementsAre(Says(L"Delete LDN successfully !")));
  EXPECT_THAT(ListEntries(main_, IDC_LDN_LIST), ElementsAre(L"Counter"));
  std::vector<std::u16string> keys;
  store_.ListLDNKeys(kPrinterClass, keys);
  EXPECT_THAT(keys, ElementsAre(u"POSPrinter80")) << "the deleted LDN's key went with it";
}

}  // namespace
}  // namespace corvale::testing
