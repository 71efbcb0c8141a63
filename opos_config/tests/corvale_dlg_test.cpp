// The main dialog's commands against a fake view and the in-memory registry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>

#include "fake_corvale_view.h"
#include "support/memory_registry.h"
#include "support/recording_shell.h"
#include "support/fixed_system_info.h"
#include "registry_fixture.h"
#include "resources/resource.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"
#include "ui/corvale_dlg.h"
#include "ui/messages.h"

namespace corvale::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

MATCHER_P2(Message, text, style, "") { return arg.text == text && arg.style == style; }

class CorvaleDlgTest : public ::testing::Test {
 protected:
  CorvaleDlgTest() : system_(kArchitectureX86), store_(registry_, system_), seed_(registry_) {}

  // An LDN as the tool makes it, under both classes, then configured.
  void AddLdn(const std::u16string& name, std::uint32_t portType, std::uint32_t portSetting,
              std::uint32_t timeOut = 1000, std::uint32_t codePage = 437) {
    ASSERT_EQ(store_.CreateLDN(name, kPrinterClass), kLdnCreated);
    ASSERT_EQ(store_.CreateLDN(name, kDrawerClass), kLdnCreated);
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      LDNRecord record(store_, name, *deviceClass);
      record.PortType = portType;
      record.PortSetting = portSetting;
      record.TimeOut = timeOut;
      record.CharCodePage = codePage;
      ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
    }
  }

  std::u16string KeyOf(const std::u16string& deviceClass, const std::u16string& name) {
    return store_.ClassKeyPath(deviceClass) + u"\\" + seed_.String(store_.ClassKeyPath(deviceClass), name);
  }

  CCorvaleDlg& Start() {
    dialog_ = std::make_unique<CCorvaleDlg>(view_, store_, shell_);
    dialog_->OnInitDialog();
    return *dialog_;
  }

  MemoryRegistry registry_;
  FixedSystemInfo system_;
  OposStore store_;
  RegistrySeed seed_;
  RecordingShell shell_;
  FakeCorvaleView view_;
  std::unique_ptr<CCorvaleDlg> dialog_;
};

// ---- Start-up -----------------------------------------------------------------------------------

TEST_F(CorvaleDlgTest, StartingWithNoLdn) {
  Start();
  EXPECT_TRUE(seed_.Exists(store_.ClassKeyPath(kPrinterClass)));
  EXPECT_TRUE(seed_.Exists(store_.ClassKeyPath(kDrawerClass)));
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u""));
  EXPECT_EQ(view_.ListSelection(IDC_LDN_LIST), -1);
  EXPECT_EQ(view_.SelectedText(IDC_PORT_NAME), u"COM1");
  EXPECT_EQ(view_.SelectedText(IDC_BAUD_RATE), u"9600");
  EXPECT_EQ(view_.SelectedText(IDC_DOT_LINE_WIDTH), u"576");
  EXPECT_EQ(view_.SelectedText(IDC_EFFECTS), u"Floyd-Steinberg");
  EXPECT_EQ(view_.Text(IDE_TIME_OUT), u"1000");
  EXPECT_EQ(view_.Text(IDE_CODE_PAGE), u"437");
  EXPECT_EQ(view_.CheckedPort(), IDR_USB);
  EXPECT_FALSE(view_.ShownIpAddress().has_value()) << "the address fields stay empty";
  for (int id : {IDC_IP_ADDRESS, IDC_PORT_NAME, IDC_BAUD_RATE}) EXPECT_TRUE(view_.Enabled(id)) << id;
  EXPECT_EQ(view_.focus, IDB_TEST_PRINTER);
  EXPECT_NE(view_.Text(IDT_CREDIT).find(u"v3"), std::u16string::npos);
  EXPECT_THAT(view_.messages, IsEmpty());

  const auto& ports = view_.Entries(IDC_PORT_NAME);
  ASSERT_EQ(ports.size(), 255u);
  EXPECT_EQ(ports.front(), u"COM1");
  EXPECT_EQ(ports[2], u"COM3");
  EXPECT_EQ(ports.back(), u"COM255");
}

TEST_F(CorvaleDlgTest, StartingShowsTheFirstOfSeveralLdns) {
  AddLdn(u"A till", kPortSerial, 0x0203, 2500, 936);
  AddLdn(u"B till", kPortEthernet, 0xC0A80164);
  Start();
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"A till", u"B till"));
  EXPECT_EQ(view_.SelectedText(IDC_LDN_LIST), u"A till");
  EXPECT_EQ(view_.CheckedPort(), IDR_SERIAL);
  EXPECT_EQ(view_.SelectedText(IDC_PORT_NAME), u"COM3");
  EXPECT_EQ(view_.SelectedText(IDC_BAUD_RATE), u"19200");
  EXPECT_EQ(view_.Text(IDE_TIME_OUT), u"2500");
  EXPECT_EQ(view_.Text(IDE_CODE_PAGE), u"936");
  EXPECT_EQ(dialog_->printerRecord.KeyName, u"POSPrinter80");
  EXPECT_EQ(dialog_->drawerRecord.DrawerProgID, u"POSPrinter.OPOS_CashDrawer_SO.2016");
  EXPECT_EQ(view_.focus, IDB_TEST_PRINTER);
}

TEST_F(CorvaleDlgTest, StartingWithOneLdnThatOtherProgramsListedToo) {
  seed_.Sz(store_.ClassKeyPath(kPrinterClass), u"Foreign", u"Theirs");
  seed_.Dword(store_.ClassKeyPath(kPrinterClass) + u"\\Theirs", u"VersionSO", 0x12345678);
  AddLdn(u"Mine", kPortUsb, 0);
  Start();
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"Mine"));
  EXPECT_EQ(view_.SelectedText(IDC_LDN_LIST), u"Mine");
}

// ---- Showing an LDN -----------------------------------------------------------------------------

TEST_F(CorvaleDlgTest, ShowingEachKindOfPort) {
  const struct {
    const char* what;
    std::uint32_t portType;
    std::uint32_t portSetting;
    int checked;
    std::u16string portName;  // empty: no selection
    std::u16string baudRate;
    std::uint32_t address;
    bool ipEnabled, serialEnabled;
  } cases[] = {
      {"USB", kPortUsb, 0, IDR_USB, u"COM1", u"9600", 0, false, false},
      {"serial COM3 19200", kPortSerial, 0x0203, IDR_SERIAL, u"COM3", u"19200", 0, false, true},
      {"serial COM255 115200", kPortSerial, 0x04FF, IDR_SERIAL, u"COM255", u"115200", 0, false, true},
      {"serial without port", kPortSerial, 0x0100, IDR_SERIAL, u"", u"9600", 0, false, true},
      {"serial unknown baud rate", kPortSerial, 0x0901, IDR_SERIAL, u"COM1", u"", 0, false, true},
      {"Ethernet", kPortEthernet, 0xC0A80164, IDR_ETHERNET, u"COM1", u"9600", 0xC0A80164, true, false},
      {"never applied", 0, 1, IDR_USB, u"COM1", u"9600", 0, false, false},
      {"unknown port type", 9, 5, IDR_USB, u"COM1", u"9600", 0, false, false},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string name = u"LDN " + std::u16string(1, static_cast<char16_t>(u'A' + n++));
    AddLdn(name, c.portType, c.portSetting);
    if (!dialog_) Start();
    view_.Choose(IDC_PORT_NAME, 7);  // leftovers of the LDN shown before
    view_.Choose(IDC_BAUD_RATE, 3);
    view_.SetIpAddress(IDC_IP_ADDRESS, 0x01020304);
    dialog_->ShowLDN(name);
    EXPECT_EQ(view_.CheckedPort(), c.checked);
    EXPECT_EQ(view_.SelectedText(IDC_PORT_NAME), c.portName);
    EXPECT_EQ(view_.SelectedText(IDC_BAUD_RATE), c.baudRate);
    EXPECT_EQ(view_.IpAddress(IDC_IP_ADDRESS), c.address);
    EXPECT_EQ(view_.Enabled(IDC_IP_ADDRESS), c.ipEnabled);
    EXPECT_EQ(view_.Enabled(IDC_PORT_NAME), c.serialEnabled);
    EXPECT_EQ(view_.Enabled(IDC_BAUD_RATE), c.serialEnabled);
  }
}

TEST_F(CorvaleDlgTest, ShowingLineWidthsAndEffects) {
  const struct {
    std::uint32_t dotLineWidth;
    std::uint32_t effects;
    std::u16string width;
    std::u16string effect;
  } cases[] = {
      {640, 0, u"640", u"Floyd-Steinberg"},
      {576, 10, u"576", u"Adaptive Threshold"},
      {384, 2, u"576", u"Burkes"},
      {641, 11, u"576", u""},
      {0, 0xFFFFFFFF, u"576", u""},
  };
  AddLdn(u"Till", kPortUsb, 0);
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dotLineWidth);
    const std::u16string key = KeyOf(kPrinterClass, u"Till");
    seed_.Dword(key, u"DotLineWidth", c.dotLineWidth);
    seed_.Dword(key, u"Effects", c.effects);
    dialog_->ShowLDN(u"Till");
    EXPECT_EQ(view_.SelectedText(IDC_DOT_LINE_WIDTH), c.width);
    EXPECT_EQ(view_.SelectedText(IDC_EFFECTS), c.effect);
  }
}

TEST_F(CorvaleDlgTest, AnLdnWhoseKeyIsNotThisToolsClearsTheControlsAndIsNotWritten) {
  AddLdn(u"Mine", kPortSerial, 0x0305, 3000);
  AddLdn(u"Shop", kPortEthernet, 0x0A000001, 2000);
  const std::u16string printerClass = store_.ClassKeyPath(kPrinterClass);
  const std::u16string drawerClass = store_.ClassKeyPath(kDrawerClass);
  // Another program's keys named like the LDNs: the printer key "Shop" stands in front of the
  // alias that the list shows, the cash-drawer key "Mine" likewise.
  for (const std::u16string& key : {printerClass + u"\\Shop", drawerClass + u"\\Mine"}) {
    seed_.Sz(key, u"DeviceName", u"not ours");
    seed_.Dword(key, u"PortType", kPortEthernet);
    seed_.Dword(key, u"PortSetting", 0xC0A80001);
  }
  Start();
  ASSERT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"Mine", u"Shop"));
  ASSERT_EQ(view_.CheckedPort(), IDR_SERIAL);
  const std::string before = seed_.Snapshot(u"SOFTWARE");

  view_.Choose(IDC_LDN_LIST, 1);
  dialog_->OnLdnSelectionChange();
  EXPECT_EQ(dialog_->printerRecord.KeyName, u"Shop") << "the records follow the selection";
  // Neither the previous LDN's settings nor the other program's: what a new LDN holds.
  EXPECT_EQ(view_.CheckedPort(), IDR_USB);
  EXPECT_EQ(view_.SelectedText(IDC_PORT_NAME), u"COM1");
  EXPECT_EQ(view_.Text(IDE_TIME_OUT), u"1000");
  EXPECT_EQ(view_.IpAddress(IDC_IP_ADDRESS), 0u);
  EXPECT_FALSE(view_.Enabled(IDC_PORT_NAME));
  EXPECT_FALSE(view_.Enabled(IDC_IP_ADDRESS));

  const std::u16string refused = u"<Shop> under POSPrinter is not the key this tool made for it !\r\nNothing was written.";
  view_.Type(IDE_TIME_OUT, u"4000");
  dialog_->OnApply();
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages, ElementsAre(Message(refused, kMbOk | kMbIconExclamation),
                                          Message(refused, kMbOk | kMbIconExclamation)));
  EXPECT_EQ(seed_.Snapshot(u"SOFTWARE"), before);
  EXPECT_THAT(shell_.calls, IsEmpty());

  // Mine's printer half is its own; its cash-drawer half is not.
  view_.messages.clear();
  view_.Choose(IDC_LDN_LIST, 0);
  dialog_->OnLdnSelectionChange();
  EXPECT_EQ(view_.CheckedPort(), IDR_SERIAL);
  const std::string drawerBefore = seed_.Snapshot(drawerClass);
  view_.Type(IDE_TIME_OUT, u"4000");
  dialog_->OnApply();
  EXPECT_THAT(view_.messages,
              ElementsAre(Message(u"<Mine> under CashDrawer is not the key this tool made for it !\r\n"
                                  u"Only its POSPrinter settings were written.",
                                  kMbOk | kMbIconExclamation)));
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"Mine"), u"TimeOut"), 4000u);
  EXPECT_EQ(seed_.Snapshot(drawerClass), drawerBefore);
}

TEST_F(CorvaleDlgTest, SelectingAnotherLdnShowsIt) {
  AddLdn(u"A", kPortUsb, 0);
  AddLdn(u"B", kPortEthernet, 0x0A000001);
  Start();
  view_.Choose(IDC_LDN_LIST, 1);
  dialog_->OnLdnSelectionChange();
  EXPECT_EQ(view_.CheckedPort(), IDR_ETHERNET);
  EXPECT_EQ(view_.IpAddress(IDC_IP_ADDRESS), 0x0A000001u);
  EXPECT_EQ(dialog_->drawerRecord.LDNName, seed_.String(store_.ClassKeyPath(kDrawerClass), u"B"));
  EXPECT_NE(dialog_->drawerRecord.LDNName, seed_.String(store_.ClassKeyPath(kDrawerClass), u"A"));
}

// ---- Reading the edit fields --------------------------------------------------------------------

TEST_F(CorvaleDlgTest, EditFieldsAreCheckedInOrder) {
  const std::u16string outOfTimeOutRange = u"请输入一个 10 至 10000 之间的整数。";
  const std::u16string outOfCodePageRange = u"请输入一个 0 至 99999 之间的整数。";
  const struct {
    const char* what;
    std::u16string timeOut, codePage;
    bool ok;
    std::u16string message;
    int failing;
    std::uint32_t timeOutValue, codePageValue;
  } cases[] = {
      {"both fine", u"10", u"0", true, u"", 0, 10, 0},
      {"upper bounds", u"10000", u"99999", true, u"", 0, 10000, 99999},
      {"blanks around", u" 250 ", u"\t936", true, u"", 0, 250, 936},
      {"time-out too small", u"5", u"437", false, outOfTimeOutRange, IDE_TIME_OUT, 5, 437},
      {"time-out too large", u"10001", u"437", false, outOfTimeOutRange, IDE_TIME_OUT, 10001, 437},
      {"empty time-out", u"", u"", false, messages::kNotANumber, IDE_TIME_OUT, 1000, 437},
      {"signed", u"+100", u"437", false, messages::kNotANumber, IDE_TIME_OUT, 1000, 437},
      {"letters", u"10a", u"437", false, messages::kNotANumber, IDE_TIME_OUT, 1000, 437},
      {"empty code page", u"2000", u"", false, messages::kNotANumber, IDE_CODE_PAGE, 2000, 437},
      {"code page too large", u"2000", u"100000", false, outOfCodePageRange, IDE_CODE_PAGE, 2000, 100000},
      // 2^32 + 10 would wrap to 10, a valid time-out.
      {"beyond 32 bits", u"4294967306", u"437", false, outOfTimeOutRange, IDE_TIME_OUT, 1000, 437},
      {"far beyond 32 bits", u"2000", u"99999999999999999999999", false, outOfCodePageRange, IDE_CODE_PAGE, 2000,
       437},
  };
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dialog_->timeOutValue = 1000;
    dialog_->codePageValue = 437;
    dialog_->portIndex = 2;
    view_.messages.clear();
    view_.Focus(0);
    view_.Type(IDE_TIME_OUT, c.timeOut);
    view_.Type(IDE_CODE_PAGE, c.codePage);
    EXPECT_EQ(dialog_->ReadControls(), c.ok);
    EXPECT_EQ(dialog_->timeOutValue, c.timeOutValue);
    EXPECT_EQ(dialog_->codePageValue, c.codePageValue);
    if (c.ok) {
      EXPECT_THAT(view_.messages, IsEmpty());
      EXPECT_EQ(dialog_->portIndex, 0) << "USB is checked";
    } else {
      EXPECT_THAT(view_.messages, ElementsAre(Message(c.message, kMbOk | kMbIconExclamation)));
      EXPECT_EQ(view_.focus, c.failing);
      EXPECT_TRUE(view_.focusSelectsAll);
      EXPECT_EQ(dialog_->portIndex, 2) << "the radio group is not read after a failure";
    }
  }
}

TEST_F(CorvaleDlgTest, AFailedCheckUndoesTheClickOnAPortButton) {
  AddLdn(u"Till", kPortSerial, 0x0101);
  Start();
  view_.Type(IDE_CODE_PAGE, u"");
  view_.ClickRadio(IDR_ETHERNET);
  dialog_->OnPortChoice();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kNotANumber, kMbOk | kMbIconExclamation)));
  EXPECT_EQ(view_.CheckedPort(), IDR_SERIAL);
  EXPECT_FALSE(view_.Enabled(IDC_IP_ADDRESS));
  EXPECT_TRUE(view_.Enabled(IDC_PORT_NAME));
  EXPECT_EQ(view_.Text(IDE_CODE_PAGE), u"437") << "the field gets back the value it held";

  view_.messages.clear();
  view_.Type(IDE_CODE_PAGE, u"850");
  view_.ClickRadio(IDR_ETHERNET);
  dialog_->OnPortChoice();
  EXPECT_THAT(view_.messages, IsEmpty());
  EXPECT_EQ(view_.CheckedPort(), IDR_ETHERNET);
  EXPECT_TRUE(view_.Enabled(IDC_IP_ADDRESS));
  EXPECT_FALSE(view_.Enabled(IDC_PORT_NAME));
  EXPECT_FALSE(view_.Enabled(IDC_BAUD_RATE));
}

// ---- Apply and Test Printer ---------------------------------------------------------------------

TEST_F(CorvaleDlgTest, ApplyWritesTheSameSettingsIntoBothClasses) {
  AddLdn(u"Till", kPortEthernet, 0xC0A80164);
  Start();
  view_.ClickRadio(IDR_SERIAL);
  dialog_->OnPortChoice();
  view_.Choose(IDC_PORT_NAME, 3);  // COM4
  view_.Choose(IDC_BAUD_RATE, 2);  // 38400
  view_.Choose(IDC_DOT_LINE_WIDTH, 1);
  view_.Choose(IDC_EFFECTS, 7);
  view_.Type(IDE_TIME_OUT, u"2000");
  view_.Type(IDE_CODE_PAGE, u"936");
  dialog_->OnApply();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kApplySuccess, kMbOk)));

  const std::u16string printer = KeyOf(kPrinterClass, u"Till");
  const std::u16string drawer = KeyOf(kDrawerClass, u"Till");
  for (const std::u16string* key : {&printer, &drawer}) {
    SCOPED_TRACE(Narrow(*key));
    EXPECT_EQ(seed_.Number(*key, u"PortType"), kPortSerial);
    // Bytes 2 and 3 keep what the former address left there.
    EXPECT_EQ(seed_.Number(*key, u"PortSetting"), 0xC0A80304u);
    EXPECT_EQ(seed_.Number(*key, u"TimeOut"), 2000u);
    EXPECT_EQ(seed_.Number(*key, u"VersionSO"), kMadeByToolMarker);
  }
  EXPECT_EQ(seed_.Number(printer, u"CharCodePage"), 936u);
  EXPECT_EQ(seed_.Number(printer, u"DotLineWidth"), 640u);
  EXPECT_EQ(seed_.Number(printer, u"Effects"), 7u);
  EXPECT_EQ(seed_.Value(drawer, u"CharCodePage").first, 0xFFFFFFFFu) << "not a cash-drawer value";
}

TEST_F(CorvaleDlgTest, ApplyingUsbAndEthernet) {
  AddLdn(u"Till", kPortSerial, 0x0203);
  Start();
  view_.ClickRadio(IDR_USB);
  dialog_->OnPortChoice();
  dialog_->OnApply();
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"Till"), u"PortSetting"), 0u);
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"Till"), u"PortType"), kPortUsb);

  view_.ClickRadio(IDR_ETHERNET);
  dialog_->OnPortChoice();
  view_.SetIpAddress(IDC_IP_ADDRESS, 0xC0A80164);
  view_.Choose(IDC_EFFECTS, -1);
  dialog_->OnApply();
  EXPECT_EQ(seed_.Number(KeyOf(kDrawerClass, u"Till"), u"PortSetting"), 0xC0A80164u);
  EXPECT_EQ(seed_.Number(KeyOf(kDrawerClass, u"Till"), u"PortType"), kPortEthernet);
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"Till"), u"Effects"), 2u) << "no effect selected keeps the stored one";
}

TEST_F(CorvaleDlgTest, SettingsTheListsCannotShowSurviveApply) {
  // COM0 at baud code 7, with something in the upper bytes; a width and an effect of no entry.
  AddLdn(u"Till", kPortSerial, 0xAB120700);
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    seed_.Dword(KeyOf(*deviceClass, u"Till"), u"Effects", 11);
    seed_.Dword(KeyOf(*deviceClass, u"Till"), u"DotLineWidth", 384);
  }
  Start();
  EXPECT_EQ(view_.ListSelection(IDC_PORT_NAME), -1);
  EXPECT_EQ(view_.ListSelection(IDC_BAUD_RATE), -1);
  EXPECT_EQ(view_.ListSelection(IDC_EFFECTS), -1);
  EXPECT_EQ(view_.SelectedText(IDC_DOT_LINE_WIDTH), u"576");
  const std::u16string printer = KeyOf(kPrinterClass, u"Till");
  const std::u16string drawer = KeyOf(kDrawerClass, u"Till");

  view_.Type(IDE_TIME_OUT, u"1500");
  dialog_->OnApply();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kApplySuccess, kMbOk)));
  EXPECT_EQ(seed_.Number(printer, u"TimeOut"), 1500u);
  EXPECT_EQ(seed_.Number(printer, u"Effects"), 11u);
  EXPECT_EQ(seed_.Number(printer, u"DotLineWidth"), 384u);
  EXPECT_EQ(seed_.Number(printer, u"PortSetting"), 0xAB120700u);
  EXPECT_EQ(seed_.Number(drawer, u"PortSetting"), 0xAB120700u);

  // What the user chooses is written; the list left alone keeps its byte.
  view_.Choose(IDC_PORT_NAME, 2);
  view_.Choose(IDC_DOT_LINE_WIDTH, 1);
  view_.Choose(IDC_EFFECTS, 4);
  dialog_->OnApply();
  EXPECT_EQ(seed_.Number(printer, u"PortSetting"), 0xAB120703u);
  EXPECT_EQ(seed_.Number(drawer, u"PortSetting"), 0xAB120703u);
  EXPECT_EQ(seed_.Number(printer, u"DotLineWidth"), 640u);
  EXPECT_EQ(seed_.Number(printer, u"Effects"), 4u);
  view_.Choose(IDC_DOT_LINE_WIDTH, 0);
  dialog_->OnApply();
  EXPECT_EQ(seed_.Number(printer, u"DotLineWidth"), 576u) << "chosen back, and so meant";
}

TEST_F(CorvaleDlgTest, ASettingStoredInAFormTheToolCannotReadIsKeptAndSaidSo) {
  AddLdn(u"Till", kPortUsb, 0);
  const std::u16string printer = KeyOf(kPrinterClass, u"Till");
  const std::vector<std::uint8_t> quad = {0x10, 0x27, 0, 0, 0, 0, 0, 0};
  seed_.Raw(printer, u"TimeOut", reg::kTypeQword, quad);
  seed_.Sz(printer, u"DeviceDesc", std::u16string(300, u'd'));
  Start();
  dialog_->OnApply();
  view_.Type(IDE_TIME_OUT, u"2500");
  dialog_->OnApply();
  EXPECT_THAT(view_.messages,
              ElementsAre(Message(messages::kApplySuccess, kMbOk),
                          Message(u"Apply setting success !\r\nKept as stored, in a form this tool cannot read: TimeOut",
                                  kMbOk | kMbIconExclamation)));
  EXPECT_EQ(seed_.Value(printer, u"TimeOut"), std::make_pair(reg::kTypeQword, quad));
  EXPECT_EQ(seed_.String(printer, u"DeviceDesc"), std::u16string(300, u'd'));
  EXPECT_EQ(seed_.Number(KeyOf(kDrawerClass, u"Till"), u"TimeOut"), 2500u) << "the cash-drawer half reads it";
}

TEST_F(CorvaleDlgTest, ApplyStopsAtAnInvalidField) {
  AddLdn(u"Till", kPortUsb, 0);
  Start();
  const std::string before = seed_.Snapshot(u"SOFTWARE");
  view_.Type(IDE_TIME_OUT, u"5");
  dialog_->OnApply();
  EXPECT_THAT(view_.messages, ElementsAre(Message(u"请输入一个 10 至 10000 之间的整数。", kMbOk | kMbIconExclamation)));
  EXPECT_EQ(view_.focus, IDE_TIME_OUT);
  EXPECT_EQ(seed_.Snapshot(u"SOFTWARE"), before);
}

TEST_F(CorvaleDlgTest, ApplyWithoutASelectedLdn) {
  Start();
  dialog_->OnApply();
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kNoLdn, kMbOk | kMbIconExclamation),
                                          Message(messages::kNoLdn, kMbOk | kMbIconExclamation)));
  EXPECT_THAT(shell_.calls, IsEmpty());
}

TEST_F(CorvaleDlgTest, TheBlankEntryNamesNoLdn) {
  // Keys of another program under the name a record without a key would fall back on.
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    seed_.Sz(store_.ClassKeyPath(*deviceClass) + u"\\ArdOPOS", u"", u"Their.SO");
  }
  Start();
  const std::string before = seed_.Snapshot(u"SOFTWARE");
  view_.Choose(IDC_LDN_LIST, 0);
  dialog_->OnLdnSelectionChange();
  dialog_->OnApply();
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kNoLdn, kMbOk | kMbIconExclamation),
                                          Message(messages::kNoLdn, kMbOk | kMbIconExclamation)));
  EXPECT_EQ(seed_.Snapshot(u"SOFTWARE"), before);
  EXPECT_THAT(shell_.calls, IsEmpty());
}

TEST_F(CorvaleDlgTest, AnLdnMissingItsCashDrawerHalf) {
  const std::u16string drawerClass = store_.ClassKeyPath(kDrawerClass);
  ASSERT_EQ(store_.CreateLDN(u"Till", kPrinterClass), kLdnCreated);
  seed_.Sz(drawerClass + u"\\ArdOPOS", u"", u"Their.SO");
  Start();
  const std::string drawerBefore = seed_.Snapshot(drawerClass);
  const std::u16string missing = u"<Till> not found under CashDrawer !\r\nOnly its POSPrinter settings were written.";

  view_.Type(IDE_TIME_OUT, u"2500");
  dialog_->OnApply();
  EXPECT_THAT(view_.messages, ElementsAre(Message(missing, kMbOk | kMbIconExclamation)));
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"Till"), u"TimeOut"), 2500u) << "the printer half is written";
  EXPECT_EQ(seed_.Snapshot(drawerClass), drawerBefore) << "nothing is written under CashDrawer";

  // The printer has its settings, so the test print goes ahead once the technician has read why
  // the drawer is left out.
  view_.messages.clear();
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages, ElementsAre(Message(missing, kMbOk | kMbIconExclamation)));
  ASSERT_EQ(shell_.calls.size(), 1u);
  EXPECT_EQ(shell_.calls[0].parameters, u"Till");
  EXPECT_EQ(seed_.Snapshot(drawerClass), drawerBefore);
}

TEST_F(CorvaleDlgTest, AnLdnGoneFromThePrinterClassGetsNothingWritten) {
  AddLdn(u"A", kPortUsb, 0);
  AddLdn(u"B", kPortUsb, 0);
  seed_.Sz(store_.ClassKeyPath(kPrinterClass) + u"\\ArdOPOS", u"", u"Their.SO");
  Start();
  // Another program removes B from the printer class while the list shows it.
  const std::u16string printerClass = store_.ClassKeyPath(kPrinterClass);
  ASSERT_EQ(store_.DeleteLDN(kPrinterClass, u"B"), kLdnDeleted);
  view_.Choose(IDC_LDN_LIST, 1);
  dialog_->OnLdnSelectionChange();
  const std::string before = seed_.Snapshot(u"SOFTWARE");
  const std::u16string missing = u"<B> not found under POSPrinter !\r\nNothing was written.";
  dialog_->OnApply();
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages, ElementsAre(Message(missing, kMbOk | kMbIconExclamation),
                                          Message(missing, kMbOk | kMbIconExclamation)));
  EXPECT_EQ(seed_.Snapshot(u"SOFTWARE"), before);
  EXPECT_THAT(shell_.calls, IsEmpty());
}

TEST_F(CorvaleDlgTest, ARecordGoesBackToTheKeyItWasReadFrom) {
  AddLdn(u"A", kPortUsb, 0);
  AddLdn(u"B", kPortUsb, 0);
  // A's printer key names B's key as its own.
  seed_.Sz(KeyOf(kPrinterClass, u"A"), u"LDNName", u"POSPrinter80_1");
  Start();
  const std::string otherBefore = seed_.Snapshot(KeyOf(kPrinterClass, u"B"));
  view_.Type(IDE_TIME_OUT, u"4321");
  dialog_->OnApply();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kApplySuccess, kMbOk)));
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"A"), u"TimeOut"), 4321u);
  EXPECT_EQ(seed_.Snapshot(KeyOf(kPrinterClass, u"B")), otherBefore);
}

TEST_F(CorvaleDlgTest, AFailedPrinterWriteLeavesTheCashDrawerAlone) {
  AddLdn(u"Till", kPortUsb, 0);
  Start();
  // The printer record names a key that is gone.
  ASSERT_EQ(store_.DeleteLDN(kPrinterClass, u"Till"), kLdnDeleted);
  const std::string drawerBefore = seed_.Snapshot(store_.ClassKeyPath(kDrawerClass));
  view_.ClickRadio(IDR_ETHERNET);
  dialog_->OnPortChoice();
  dialog_->OnApply();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kApplyFailed, kMbOk)));
  EXPECT_EQ(seed_.Snapshot(store_.ClassKeyPath(kDrawerClass)), drawerBefore);
  EXPECT_EQ(dialog_->drawerRecord.PortType, kPortEthernet) << "the records keep the collected settings";
}

TEST_F(CorvaleDlgTest, ApplyWithoutAdministratorRightsNamesTheRemedy) {
  AddLdn(u"Till", kPortUsb, 0);
  Start();
  registry_.SetAdministrator(false);
  dialog_->OnApply();
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages,
              ElementsAre(Message(messages::kApplyFailed, kMbOk), Message(messages::kApplyFailed, kMbOk)));
  EXPECT_THAT(shell_.calls, IsEmpty()) << "nothing is started after a failed write";
}

TEST_F(CorvaleDlgTest, TestPrinterWritesBothRecordsThenStartsTheTestProgram) {
  AddLdn(u"Shop 1", kPortUsb, 0);
  Start();
  view_.ClickRadio(IDR_ETHERNET);
  dialog_->OnPortChoice();
  view_.SetIpAddress(IDC_IP_ADDRESS, 0x0A000002);
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages, IsEmpty());
  ASSERT_EQ(shell_.calls.size(), 1u);
  const RecordingShell::Call& call = shell_.calls[0];
  EXPECT_EQ(call.owner, view_.Handle());
  EXPECT_EQ(call.verb, u"open");
  EXPECT_EQ(call.parameters, u"Shop 1") << "as listed, not quoted";
  EXPECT_EQ(call.show, kShowNormal);
  EXPECT_EQ(seed_.Number(KeyOf(kPrinterClass, u"Shop 1"), u"PortSetting"), 0x0A000002u);
  EXPECT_EQ(seed_.Number(KeyOf(kDrawerClass, u"Shop 1"), u"PortSetting"), 0x0A000002u);
}

TEST_F(CorvaleDlgTest, TheTestProgramIsStartedOnlyFromTheCurrentDirectory) {
  const struct {
    std::u16string currentDirectory;
    std::u16string file;  // empty: nothing is started
  } cases[] = {
      {u"C:\\Shop", u"C:\\Shop\\Dunlith.exe"},
      {u"D:\\", u"D:\\Dunlith.exe"},
      {u"\\\\server\\share\\till 2", u"\\\\server\\share\\till 2\\Dunlith.exe"},
      {u"", u""},
  };
  AddLdn(u"Shop 1", kPortUsb, 0);
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.currentDirectory));
    shell_.calls.clear();
    shell_.currentDirectory = c.currentDirectory;
    dialog_->OnTestPrinter();
    if (c.file.empty()) {
      EXPECT_THAT(shell_.calls, IsEmpty());
      continue;
    }
    ASSERT_EQ(shell_.calls.size(), 1u);
    EXPECT_EQ(shell_.calls[0].file, c.file) << "never a bare name, which the shell would look for elsewhere";
    EXPECT_EQ(shell_.calls[0].directory, c.currentDirectory);
    EXPECT_EQ(shell_.calls[0].parameters, u"Shop 1");
  }
}

TEST_F(CorvaleDlgTest, ATestProgramThatDoesNotStartIsReported) {
  AddLdn(u"Shop 1", kPortUsb, 0);
  Start();
  shell_.failureText = u"The system cannot find the file specified.";
  dialog_->OnTestPrinter();
  shell_.currentDirectory.clear();
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages,
              ElementsAre(Message(u"Cannot start C:\\Shop\\Dunlith.exe !\r\nThe system cannot find the file specified.",
                                  kMbOk | kMbIconExclamation),
                          Message(u"Cannot start Dunlith.exe !\r\nThe current directory cannot be read.",
                                  kMbOk | kMbIconExclamation)));
}

TEST_F(CorvaleDlgTest, TestPrinterStopsAtAnInvalidField) {
  AddLdn(u"Till", kPortUsb, 0);
  Start();
  view_.Type(IDE_CODE_PAGE, u"");
  dialog_->OnTestPrinter();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kNotANumber, kMbOk | kMbIconExclamation)));
  EXPECT_THAT(shell_.calls, IsEmpty());
}

// ---- Delete -------------------------------------------------------------------------------------

TEST_F(CorvaleDlgTest, DeletingAnLdnOfBothClassesReloadsTheList) {
  AddLdn(u"A", kPortUsb, 0);
  AddLdn(u"B", kPortEthernet, 0x0A000001);
  Start();
  dialog_->OnDelete();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kDeleteSuccess, kMbOk)));
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"B"));
  EXPECT_EQ(view_.SelectedText(IDC_LDN_LIST), u"B");
  EXPECT_EQ(view_.CheckedPort(), IDR_ETHERNET);
  EXPECT_FALSE(seed_.Exists(store_.ClassKeyPath(kPrinterClass) + u"\\POSPrinter80"));
  EXPECT_FALSE(seed_.Exists(store_.ClassKeyPath(kDrawerClass) + u"\\POSPrinter80"));
}

TEST_F(CorvaleDlgTest, DeletingTheLastLdnLeavesTheBlankEntry) {
  AddLdn(u"Only", kPortSerial, 0x0102);
  Start();
  dialog_->OnDelete();
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u""));
  EXPECT_EQ(view_.ListSelection(IDC_LDN_LIST), -1);
  EXPECT_EQ(view_.CheckedPort(), IDR_SERIAL) << "the deleted LDN stays shown";
}

TEST_F(CorvaleDlgTest, DeletingAnLdnMissingFromTheCashDrawerClass) {
  AddLdn(u"Till", kPortUsb, 0);
  ASSERT_EQ(store_.DeleteLDN(kDrawerClass, u"Till"), kLdnDeleted);
  Start();
  dialog_->OnDelete();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kDeleteFailed, kMbOk)));
  EXPECT_THAT(seed_.ValueNames(store_.ClassKeyPath(kPrinterClass)), IsEmpty()) << "the printer alias is gone";
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"")) << "the list no longer shows it";
}

TEST_F(CorvaleDlgTest, DeletingLeavesWhatTheToolDidNotMakeOrCouldNotRemove) {
  AddLdn(u"Theirs too", kPortUsb, 0);
  AddLdn(u"Nested", kPortUsb, 0);
  // The cash-drawer halves: one made by another program, one that holds a key of its own.
  seed_.Dword(KeyOf(kDrawerClass, u"Theirs too"), u"VersionSO", 0x12345678);
  seed_.Key(KeyOf(kDrawerClass, u"Nested") + u"\\Extra");
  Start();
  const std::u16string drawerClass = store_.ClassKeyPath(kDrawerClass);
  const std::string drawerBefore = seed_.Snapshot(drawerClass);
  // Each time the printer half goes, the rest is named and the list is reloaded.
  for (int i = 0; i < 2; ++i) {
    view_.Choose(IDC_LDN_LIST, 0);
    dialog_->OnDelete();
  }
  EXPECT_THAT(view_.messages,
              ElementsAre(Message(u"Delete LDN failed !\r\n<Theirs too> is left under CashDrawer.", kMbOk),
                          Message(u"Delete LDN failed !\r\n<Nested> is left under CashDrawer.", kMbOk)));
  EXPECT_EQ(seed_.Snapshot(drawerClass), drawerBefore) << "the cash-drawer halves stay as they were";
  EXPECT_THAT(seed_.ValueNames(store_.ClassKeyPath(kPrinterClass)), IsEmpty()) << "the printer halves were ours";
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u""));
}

TEST_F(CorvaleDlgTest, ADeleteThatRemovesNothingNamesNothingAndKeepsTheList) {
  AddLdn(u"Till", kPortUsb, 0);
  Start();
  registry_.SetAdministrator(false);
  const std::string before = seed_.Snapshot(u"SOFTWARE");
  dialog_->OnDelete();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kDeleteFailed, kMbOk)));
  EXPECT_EQ(seed_.Snapshot(u"SOFTWARE"), before);
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"Till"));
}

TEST_F(CorvaleDlgTest, DeletingWithTheBlankEntryCallsNothing) {
  Start();
  const std::string before = seed_.Snapshot(u"SOFTWARE");
  dialog_->OnDelete();
  view_.Choose(IDC_LDN_LIST, 0);
  dialog_->OnDelete();
  EXPECT_THAT(view_.messages, ElementsAre(Message(messages::kSelectValidLdn, kMbOk),
                                          Message(messages::kSelectValidLdn, kMbOk)));
  EXPECT_EQ(seed_.Snapshot(u"SOFTWARE"), before);
}

TEST_F(CorvaleDlgTest, DeleteGoesOnAfterAFailedCheck) {
  AddLdn(u"Till", kPortUsb, 0);
  Start();
  view_.Type(IDE_TIME_OUT, u"1");
  dialog_->OnDelete();
  // The reload of the list reads the fields once more.
  const std::u16string range = u"请输入一个 10 至 10000 之间的整数。";
  EXPECT_THAT(view_.messages, ElementsAre(Message(range, kMbOk | kMbIconExclamation),
                                          Message(messages::kDeleteSuccess, kMbOk),
                                          Message(range, kMbOk | kMbIconExclamation)));
}

// ---- New ----------------------------------------------------------------------------------------

TEST_F(CorvaleDlgTest, ANewLdnIsCreatedInBothClassesAndSelected) {
  AddLdn(u"A", kPortSerial, 0x0101);
  Start();
  view_.newLdnDialogScript = [](InputNewLDN& dialog, FakeNewLdnView& v) {
    EXPECT_EQ(v.edit, u"");
    v.edit = u"B new";
    dialog.OnOK(v);
  };
  dialog_->OnNew();
  ASSERT_EQ(view_.newLdnDialogs.size(), 1u);
  EXPECT_THAT(view_.newLdnDialogs[0].messages, ElementsAre(Message(messages::kAddSuccess, kMbOk)));
  EXPECT_EQ(view_.newLdnDialogs[0].ended, kIdOk);
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"A", u"B new"));
  EXPECT_EQ(view_.SelectedText(IDC_LDN_LIST), u"B new");
  EXPECT_EQ(view_.CheckedPort(), IDR_USB) << "a new LDN has no port yet";
  // A's keys are POSPrinter80 and POSPrinter80_1: no name is taken twice, in either class.
  EXPECT_EQ(seed_.String(store_.ClassKeyPath(kPrinterClass), u"B new"), u"POSPrinter80_2");
  EXPECT_EQ(seed_.String(store_.ClassKeyPath(kDrawerClass), u"B new"), u"POSPrinter80_3");
}

TEST_F(CorvaleDlgTest, ANameThatExistsKeepsTheDialogOpen) {
  AddLdn(u"Shop", kPortUsb, 0);
  Start();
  const std::string before = seed_.Snapshot(u"SOFTWARE");
  view_.newLdnDialogScript = [](InputNewLDN& dialog, FakeNewLdnView& v) {
    v.edit = u"Shop";
    dialog.OnOK(v);
    EXPECT_FALSE(v.ended.has_value());
    EXPECT_EQ(v.edit, u"Shop") << "the text stays as typed";
    dialog.OnCancel(v);
  };
  dialog_->OnNew();
  EXPECT_THAT(view_.newLdnDialogs[0].messages, ElementsAre(Message(u"<Shop> alrealy exists !", kMbOk)));
  EXPECT_EQ(view_.newLdnDialogs[0].ended, kIdCancel);
  EXPECT_EQ(seed_.Snapshot(u"SOFTWARE"), before);
  EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"Shop"));
}

TEST_F(CorvaleDlgTest, AnEmptyNameIsAskedForAgain) {
  Start();
  const std::string before = seed_.Snapshot(u"SOFTWARE");
  view_.newLdnDialogScript = [](InputNewLDN& dialog, FakeNewLdnView& v) {
    dialog.OnOK(v);  // Enter right after the dialog opened
    EXPECT_FALSE(v.ended.has_value());
    dialog.OnCancel(v);
  };
  dialog_->OnNew();
  EXPECT_THAT(view_.newLdnDialogs[0].messages, ElementsAre(Message(messages::kInputNewLdn, kMbOk)));
  EXPECT_EQ(seed_.Snapshot(u"SOFTWARE"), before);
}

TEST_F(CorvaleDlgTest, AnLdnKnownOnlyToThePrinterClassIsCompleted) {
  ASSERT_EQ(store_.CreateLDN(u"Half", kPrinterClass), kLdnCreated);
  Start();
  view_.newLdnDialogScript = [](InputNewLDN& dialog, FakeNewLdnView& v) {
    v.edit = u"Half";
    dialog.OnOK(v);
  };
  dialog_->OnNew();
  EXPECT_THAT(view_.newLdnDialogs[0].messages, ElementsAre(Message(messages::kAddSuccess, kMbOk)));
  EXPECT_EQ(view_.SelectedText(IDC_LDN_LIST), u"Half");
  EXPECT_EQ(seed_.String(store_.ClassKeyPath(kDrawerClass), u"Half"), u"POSPrinter80_1");
}

TEST_F(CorvaleDlgTest, APrinterClassFailureIsReportedAndNothingMoreIsCreated) {
  Start();
  // The printer class key lets keys be made under it but not its aliases be set.
  ASSERT_TRUE(registry_.RestrictAccess(store_.ClassKeyPath(kPrinterClass), reg::kRead | reg::kCreateSubKey));
  view_.newLdnDialogScript = [](InputNewLDN& dialog, FakeNewLdnView& v) {
    v.edit = u"Shop";
    dialog.OnOK(v);
    EXPECT_FALSE(v.ended.has_value());
    dialog.OnCancel(v);
  };
  dialog_->OnNew();
  EXPECT_THAT(view_.newLdnDialogs[0].messages, ElementsAre(Message(messages::kNoPermission, kMbOk)));
  EXPECT_THAT(seed_.ValueNames(store_.ClassKeyPath(kDrawerClass)), IsEmpty()) << "no cash-drawer LDN on its own";
}

TEST_F(CorvaleDlgTest, AKeyThatAFailedNewCouldNotRemoveIsNamed) {
  Start();
  const std::u16string drawerClass = store_.ClassKeyPath(kDrawerClass);
  // The cash-drawer class takes keys but no alias, and a key made in it gets a subkey at once,
  // which keeps it from being removed again.
  ASSERT_TRUE(registry_.RestrictAccess(drawerClass, reg::kRead | reg::kCreateSubKey));
  InterceptingRegistry intercepting(registry_);
  OposStore store(intercepting, system_);
  InputNewLDN dialog(store);
  FakeNewLdnView view;
  int markers = 0;  // the printer key's first, then the cash-drawer key's
  intercepting.refuseValue = [&](const std::u16string& name) {
    if (name == u"VersionSO" && ++markers == 2) seed_.Key(drawerClass + u"\\POSPrinter80_1\\Held");
    return reg::kSuccess;
  };
  view.edit = u"Shop";
  dialog.OnOK(view);
  EXPECT_THAT(view.messages,
              ElementsAre(Message(u"Not permission !\r\nIts new key <POSPrinter80_1> under CashDrawer could not be removed.",
                                  kMbOk)));
  EXPECT_TRUE(seed_.Exists(drawerClass + u"\\POSPrinter80_1"));
}

TEST_F(CorvaleDlgTest, FailuresOfTheCashDrawerClassAreReported) {
  const struct {
    const char* what;
    std::u16string name;
    std::uint32_t drawerClassRights;
    std::u16string message;
    std::u16string printerKey;
  } cases[] = {
      {"no key can be made", u"Shop", reg::kRead, messages::kError, u"POSPrinter80"},
      {"no alias can be set", u"Till", reg::kRead | reg::kCreateSubKey, messages::kNoPermission, u"POSPrinter80_1"},
  };
  Start();
  const std::u16string drawerClass = store_.ClassKeyPath(kDrawerClass);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(registry_.RestrictAccess(drawerClass, c.drawerClassRights));
    view_.newLdnDialogScript = [&c](InputNewLDN& dialog, FakeNewLdnView& v) {
      v.edit = c.name;
      dialog.OnOK(v);
      EXPECT_FALSE(v.ended.has_value());
      dialog.OnCancel(v);
    };
    dialog_->OnNew();
    ASSERT_EQ(view_.newLdnDialogs.size(), i + 1);
    EXPECT_THAT(view_.newLdnDialogs[i].messages, ElementsAre(Message(c.message, kMbOk)));
    EXPECT_EQ(seed_.String(store_.ClassKeyPath(kPrinterClass), c.name), c.printerKey)
        << "the printer class got its half first";
    EXPECT_THAT(seed_.SubkeyNames(drawerClass), IsEmpty()) << "a failed creation leaves no key behind";
    EXPECT_THAT(view_.Entries(IDC_LDN_LIST), ElementsAre(u"")) << "cancelled: the list is not reloaded";
  }
}

}  // namespace
}  // namespace corvale::testing
