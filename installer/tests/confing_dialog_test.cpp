// The installation dialog's commands against a fake view and the stand-ins of the engine's and
// USB discovery's services.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dialog/confing_dialog.h"
#include "engine/test_page.h"
#include "fake_views.h"
#include "support/fake_printing.h"
#include "support/fixed_system_info.h"
#include "support/memory_files.h"
#include "support/memory_spooler.h"
#include "resources/resource.h"
#include "usb/usb_globals.h"
#include "usb_fixture.h"

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::vector<int> kOsGroup = {IDR_OS_WINDOWS_10,    IDR_OS_WINDOWS_XP, IDR_OS_WINDOWS_2003,
                                   IDR_OS_WINDOWS_VISTA, IDR_OS_WINDOWS_7,  IDR_OS_WINDOWS_8};
const std::vector<int> kModelGroup = {IDR_MODEL_DUR_58,  IDR_MODEL_DUR_58C, IDR_MODEL_RUD_80,  IDR_MODEL_RUD_80C,
                                      IDR_MODEL_DAD_90, IDR_MODEL_DIZ_76,  IDR_MODEL_DIZ_76C};
const std::vector<int> kInterfaceGroup = {IDR_INTERFACE_USB, IDR_INTERFACE_OTHER};

const char* const kCoreFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"};
const char* const kModelFiles[] = {"POS58.DLL", "POS58.GPD",  "POS58C.GPD", "POS80.DLL", "POS80.GPD",  "POS80C.GPD",
                                   "POS90.DLL", "POS90.GPD",  "POS76.DLL",  "POS76.GPD", "POS76C.GPD"};

// Counts how often the list of USB printers is asked for.
class CountingInterfaces final : public DeviceInterfaces {
 public:
  explicit CountingInterfaces(DeviceInterfaces& inner) : inner_(inner) {}
  std::unique_ptr<DeviceInterfaceList> OpenPresent(const DeviceClassGuid& interfaceClass,
                                                   std::uint32_t* error) override {
    ++opened;
    return inner_.OpenPresent(interfaceClass, error);
  }
  int opened = 0;

 private:
  DeviceInterfaces& inner_;
};

// A 64-bit Windows 10 machine with an English UI, started from a medium with every model.
class ConfingDialogTest : public UsbFixture {
 protected:
  ConfingDialogTest() {
    system_.uiLanguage = 0x0409;
    for (const char* folder : {"Windows NT x86", "Windows x64"}) {
      for (const char* file : kCoreFiles) files_.AddFile(std::string(folder) + "\\" + file, file);
      for (const char* file : kModelFiles) files_.AddFile(std::string(folder) + "\\" + file, file);
    }
    spooler_.AddPort("USB001");
    spooler_.AddPort("USB002");
  }

  ConfingDialog& Open() {
    dialog_ = std::make_unique<ConfingDialog>(engine_, usb_);
    dialog_->OnInitDialog(view_);
    return *dialog_;
  }

  void ChooseModel(int index) { view_.ClickRadio(kModelGroup[static_cast<std::size_t>(index)], kModelGroup); }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& call : boxes_.calls) texts.push_back(call.text);
    return texts;
  }

  FixedSystemInfo system_;
  MemoryFiles files_{"C:\\medium"};
  MemorySpooler spooler_{files_};
  RecordingPrinting printing_;
  CountingInterfaces counting_{interfaces_};
  EngineServices engine_{system_, spooler_, files_, boxes_, pauses_, debug_, printing_};
  UsbServices usb_{counting_, registry_, sharedOutput_, threads_, boxes_, pauses_, sharedDebug_};
  FakeInstallView view_;
  std::unique_ptr<ConfingDialog> dialog_;
};

// ---- Opening ------------------------------------------------------------------------------------

TEST_F(ConfingDialogTest, OpensWithTheRecommendationAndNothingChosen) {
  system_.version = {6, 1};
  Open();
  EXPECT_EQ(view_.texts[IDT_STATUS], "You are using Windows 7 x64 OS.\nPlease select Windows 7 to install.");
  EXPECT_TRUE(view_.IsChecked(IDR_OS_WINDOWS_7));
  for (int id : kModelGroup) EXPECT_FALSE(view_.IsChecked(id)) << id;
  EXPECT_FALSE(view_.IsChecked(IDX_SET_DEFAULT));
  EXPECT_TRUE(view_.IsChecked(IDR_INTERFACE_USB));
  EXPECT_FALSE(view_.IsChecked(IDR_INTERFACE_OTHER));
  EXPECT_EQ(dialog_->m_detectedOs, "Windows 7");
  EXPECT_EQ(dialog_->m_detectedArch, "x64");
  EXPECT_EQ(dialog_->m_modelIndex, -1);
  EXPECT_THAT(view_.reportsClicks, ElementsAre(IDT_STATUS));
  EXPECT_THAT(view_.remarkFontOn, ElementsAre(IDT_REMARK));
  EXPECT_EQ(dialog_->m_testPageLogo.width, 308);
  EXPECT_EQ(dialog_->m_testPageText, TestPageText(0x0409));
  EXPECT_THAT(boxes_.calls, IsEmpty());
}

TEST_F(ConfingDialogTest, CaptionsByLanguage) {
  Open();
  EXPECT_EQ(view_.caption, "Install Configuration");
  EXPECT_THAT(view_.textOrder, ElementsAre(IDG_OS, IDG_MODEL, IDX_SET_DEFAULT, IDB_START_INSTALL, IDB_EXIT,
                                           IDB_CHECK_USB_PORT, IDT_INTERFACE, IDR_INTERFACE_OTHER, IDT_REMARK,
                                           IDT_STATUS));
  EXPECT_EQ(view_.texts[IDG_OS], "Select Windows OS");
  EXPECT_EQ(view_.texts[IDG_MODEL], "Select Printer Series");
  EXPECT_EQ(view_.texts[IDX_SET_DEFAULT], "Set Default Printer");
  EXPECT_EQ(view_.texts[IDB_START_INSTALL], "Install Now");
  EXPECT_EQ(view_.texts[IDB_EXIT], "Cancel");
  EXPECT_EQ(view_.texts[IDB_CHECK_USB_PORT], "Check USB Port");
  EXPECT_EQ(view_.texts[IDT_INTERFACE], "Printer Interface :");
  EXPECT_EQ(view_.texts[IDR_INTERFACE_OTHER], "Other");
  EXPECT_EQ(view_.texts[IDT_REMARK], "*Remarks: \"C\" means item with cutter");

  // The Chinese texts are the template's own.
  for (std::uint16_t language : {std::uint16_t{0x0804}}) {
    view_ = FakeInstallView();
    system_.uiLanguage = language;
    Open();
    EXPECT_FALSE(view_.caption.has_value());
    EXPECT_THAT(view_.textOrder, ElementsAre(IDT_STATUS));
    EXPECT_EQ(view_.texts[IDT_STATUS], "您正使用的是Windows 10 x64系统。\n推荐选择Windows 10进行安装。");
    EXPECT_EQ(dialog_->m_testPageText, TestPageText(0x0804));
  }
  // Traditional Chinese gets the English texts.
  view_ = FakeInstallView();
  system_.uiLanguage = 0x0404;
  Open();
  EXPECT_EQ(view_.caption, "Install Configuration");
}

TEST_F(ConfingDialogTest, TheModelButtonsFollowTheFilesOnTheMedium) {
  const std::vector<int> family58 = {IDR_MODEL_DUR_58, IDR_MODEL_DUR_58C, IDR_MODEL_DAD_90, IDR_MODEL_DIZ_76,
                                     IDR_MODEL_DIZ_76C};
  const std::vector<int> family80 = {IDR_MODEL_RUD_80, IDR_MODEL_RUD_80C};
  const struct {
    const char* what;
    bool pos58, pos80;
    int code;
    std::vector<int> visible;
  } cases[] = {
      {"neither", false, false, kFamiliesNone, {}},
      {"58 only", true, false, kFamilies58, family58},
      {"80 only", false, true, kFamilies80, family80},
      {"both", true, true, kFamiliesBoth, kModelGroup},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFiles medium("C:\\medium");
    if (c.pos58) medium.AddFile("Windows NT x86\\POS58.DLL", "x");
    if (c.pos80) medium.AddFile("Windows NT x86\\POS80.DLL", "x");
    // Only the 32-bit folder decides.
    medium.AddFile("Windows x64\\POS58.DLL", "x");
    medium.AddFile("Windows x64\\POS80.DLL", "x");
    EngineServices engine{system_, spooler_, medium, boxes_, pauses_, debug_, printing_};
    ConfingDialog dialog(engine, usb_);
    FakeInstallView view;
    dialog.OnInitDialog(view);
    EXPECT_EQ(dialog.m_modelFamilies, c.code);
    for (int id : kModelGroup) {
      const bool expected = std::find(c.visible.begin(), c.visible.end(), id) != c.visible.end();
      EXPECT_EQ(view.Visible(id), expected) << id;
    }
    if (c.code == kFamiliesBoth) {
      using P = FakeInstallView::Placement;
      EXPECT_EQ(view.placements[IDR_MODEL_DUR_58], (P{48, 180, 90, 24}));
      EXPECT_EQ(view.placements[IDR_MODEL_DUR_58C], (P{168, 180, 90, 24}));
      EXPECT_EQ(view.placements[IDR_MODEL_RUD_80], (P{48, 202, 90, 24}));
      EXPECT_EQ(view.placements[IDR_MODEL_RUD_80C], (P{168, 202, 90, 24}));
      EXPECT_EQ(view.placements[IDR_MODEL_DAD_90], (P{48, 224, 90, 24}));
      EXPECT_EQ(view.placements[IDR_MODEL_DIZ_76], (P{168, 224, 90, 24}));
      EXPECT_EQ(view.placements[IDR_MODEL_DIZ_76C], (P{48, 246, 90, 24}));
    } else {
      EXPECT_THAT(view.placements, IsEmpty()) << "the template positions stay";
    }
  }
}

// ---- Start install ------------------------------------------------------------------------------

TEST_F(ConfingDialogTest, WithoutAModelNothingHappens) {
  for (std::uint16_t language : {std::uint16_t{0x0409}, std::uint16_t{0x0804}}) {
    SCOPED_TRACE(language);
    boxes_.calls.clear();
    view_ = FakeInstallView();
    system_.uiLanguage = language;
    Open();
    dialog_->OnStartInstall();
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].text, language == 0x0804 ? "请选择一个打印机型号！" : "Please select a printer series !");
    EXPECT_EQ(boxes_.calls[0].style, kMbOk | kMbIconExclamation);
    EXPECT_EQ(boxes_.calls[0].owner, view_.Handle());
    EXPECT_FALSE(view_.ended.has_value());
    EXPECT_TRUE(view_.Enabled(IDB_START_INSTALL));
    EXPECT_THAT(spooler_.printers(), IsEmpty());
  }
}

TEST_F(ConfingDialogTest, OnUsbWithAPrinterTheTestPageIsOffered) {
  PlugPrinter("vid_0416&pid_5011", 2);
  for (int answer : {kIdYes, kIdNo}) {
    SCOPED_TRACE(answer);
    boxes_.calls.clear();
    pauses_.pauses.clear();
    printing_.documents.clear();
    view_ = FakeInstallView();
    Open();
    ChooseModel(2);
    boxes_.answers = {answer};
    dialog_->OnStartInstall();
    const std::string printer = answer == kIdYes ? "RUD-80" : "RUD-80 (copy 1)";
    EXPECT_EQ(dialog_->m_catalog.m_printerName, printer);
    ASSERT_NE(spooler_.FindPrinter(printer), nullptr);
    EXPECT_EQ(spooler_.FindPrinter(printer)->portName, "USB002");
    EXPECT_THAT(Texts(), ElementsAre("Succeed !\nDo you want to printing test page?"));
    EXPECT_EQ(boxes_.calls[0].style, kMbYesNo | kMbIconQuestion);
    EXPECT_EQ(view_.ended, kIdCancel);
    if (answer == kIdYes) {
      ASSERT_EQ(printing_.documents.size(), 1u);
      EXPECT_EQ(printing_.documents[0].printerName, printer);
      EXPECT_EQ(pauses_.pauses.back(), 511u);
    } else {
      EXPECT_THAT(printing_.documents, IsEmpty());
    }
    EXPECT_EQ(dialog_->m_followUpPrinter, "RUD-80") << "the model, as named before the installation";
  }
}

TEST_F(ConfingDialogTest, OnUsbWithoutAPrinterTheQueueLandsOnTheParallelPort) {
  for (int answer : {kIdYes, kIdNo}) {
    SCOPED_TRACE(answer);
    boxes_.calls.clear();
    view_ = FakeInstallView();
    Open();
    ChooseModel(0);
    boxes_.answers = {answer};
    dialog_->OnStartInstall();
    const std::string printer = answer == kIdYes ? "DUR-58" : "DUR-58 (copy 1)";
    ASSERT_NE(spooler_.FindPrinter(printer), nullptr);
    EXPECT_EQ(spooler_.FindPrinter(printer)->portName, "LPT1:");
    EXPECT_THAT(Texts(), ElementsAre("Succeed !\nDo you want to configure printer now?"));
    EXPECT_EQ(view_.ended, answer == kIdYes ? kIdOk : kIdCancel);
    if (answer == kIdYes) {
      EXPECT_EQ(dialog_->m_followUpPrinter, printer);
    }
    EXPECT_THAT(printing_.documents, IsEmpty());
  }
}

TEST_F(ConfingDialogTest, OtherNeverLooksForAUsbPrinter) {
  PlugPrinter("vid_0416&pid_5011", 1);
  Open();
  ChooseModel(3);
  view_.ClickRadio(IDR_INTERFACE_OTHER, kInterfaceGroup);
  boxes_.answers = {kIdNo};
  dialog_->OnStartInstall();
  EXPECT_EQ(counting_.opened, 0);
  EXPECT_EQ(spooler_.FindPrinter("RUD-80C")->portName, "LPT1:");
  EXPECT_THAT(Texts(), ElementsAre("Succeed !\nDo you want to configure printer now?"));
}

TEST_F(ConfingDialogTest, StartInstallDisablesEveryInputAndPassesTheChoices) {
  PlugPrinter("vid_0416&pid_5011", 1);
  Open();
  ChooseModel(6);
  view_.SetChecked(IDX_SET_DEFAULT, true);
  view_.ClickRadio(IDR_OS_WINDOWS_XP, kOsGroup);
  boxes_.answers = {kIdNo};
  dialog_->OnStartInstall();
  for (int id : kModelGroup) EXPECT_FALSE(view_.Enabled(id)) << id;
  for (int id : {IDX_SET_DEFAULT, IDB_START_INSTALL, IDB_EXIT, IDB_CHECK_USB_PORT}) EXPECT_FALSE(view_.Enabled(id)) << id;
  EXPECT_EQ(dialog_->m_osIndex, 1);
  EXPECT_EQ(spooler_.defaultPrinter(), "DIZ-76C");
}

TEST_F(ConfingDialogTest, WindowsEightAndLaterSkipTheLinkedCheck) {
  // A printer whose interface says it is not linked.
  Plug({"vid_0416&pid_5011", kInterfaceActive, SeededValue::Dword(0), SeededValue::Dword(5)});
  const struct {
    WindowsVersion version;
    bool versionFails;
    const char* os;
    bool skips;
    const char* port;
  } cases[] = {
      {{6, 1}, false, "Windows 7", false, "LPT1:"},     {{6, 2}, false, "Windows 8", true, "USB005"},
      {{6, 3}, false, "Windows 8.1", true, "USB005"},   {{10, 0}, false, "Windows 10", true, "USB005"},
      {{10, 1}, false, "Windows 10.1", true, "USB005"}, {{11, 0}, false, "Unknow", false, "LPT1:"},
      {{10, 0}, true, "", false, "LPT1:"},
  };
  spooler_.AddPort("USB005");
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.version.major << "." << c.version.minor << " \"" << c.os << "\"");
    g_skipLinkedCheck = false;
    debug_.lines.clear();
    while (!spooler_.printers().empty()) spooler_.RemovePrinter(spooler_.printers().front().printerName);
    view_ = FakeInstallView();
    system_.version = c.version;
    system_.versionFails = c.versionFails;
    Open();
    ASSERT_EQ(dialog_->m_detectedOs, c.os);
    ChooseModel(2);
    boxes_.answers = {kIdNo};
    dialog_->OnStartInstall();
    EXPECT_EQ(g_skipLinkedCheck, c.skips);
    EXPECT_EQ(spooler_.FindPrinter("RUD-80")->portName, c.port);
    const bool traced = std::find(debug_.lines.begin(), debug_.lines.end(), dialog_->m_detectedOs + ",1") !=
                        debug_.lines.end();
    EXPECT_EQ(traced, c.skips);
  }
}

TEST_F(ConfingDialogTest, AFailedInstallationEndsTheDialog) {
  ASSERT_EQ(files_.Delete("Windows x64\\UNIRES.DLL"), 0u);
  for (std::uint16_t language : {std::uint16_t{0x0409}, std::uint16_t{0x0804}}) {
    SCOPED_TRACE(language);
    boxes_.calls.clear();
    view_ = FakeInstallView();
    system_.uiLanguage = language;
    Open();
    ChooseModel(1);
    dialog_->OnStartInstall();
    ASSERT_EQ(boxes_.calls.size(), 2u) << "the engine's own message, then the dialog's";
    EXPECT_EQ(boxes_.calls[1].text, language == 0x0804 ? "安装失败！" : "Install Failed ! ");
    EXPECT_EQ(boxes_.calls[1].style, kMbOk | kMbIconExclamation);
    EXPECT_EQ(view_.ended, kIdCancel);
  }
}

TEST_F(ConfingDialogTest, ConfirmingWithoutAnInstallationNamesNoPrinter) {
  Open();
  ChooseModel(4);
  dialog_->OnConfirm();
  EXPECT_EQ(view_.ended, kIdOk);
  EXPECT_EQ(dialog_->m_modelIndex, 4) << "the controls are read";
  EXPECT_EQ(dialog_->m_followUpPrinter, "");
  EXPECT_THAT(spooler_.printers(), IsEmpty());
}

TEST_F(ConfingDialogTest, ExitEndsWithCancel) {
  Open();
  dialog_->OnExit();
  EXPECT_EQ(view_.ended, kIdCancel);
  EXPECT_THAT(boxes_.calls, IsEmpty());
}

// ---- Check USB port -----------------------------------------------------------------------------

TEST_F(ConfingDialogTest, CheckUsbPortPrintsThePagesAndPausesTheButton) {
  PlugPrinter("vid_0416&pid_5011", 1);
  Open();
  dialog_->OnCheckUsbPort();
  EXPECT_EQ(view_.timers[kUsbPortTimer], 2000u);
  EXPECT_FALSE(view_.Enabled(IDB_CHECK_USB_PORT));
  EXPECT_EQ(g_uiLanguage, 0x0409);
  EXPECT_TRUE(g_skipLinkedCheck) << "on Windows 10";
  ASSERT_EQ(boxes_.calls.size(), 1u);
  EXPECT_EQ(boxes_.calls[0].text, "Your USB printer's Port is :\r\n\tUSB001 ;\r\n");
  EXPECT_EQ(boxes_.calls[0].owner, view_.Handle());
  EXPECT_THAT(debug_.lines, ::testing::Contains("Windows 10"));
  EXPECT_FALSE(view_.ended.has_value());

  dialog_->OnTimer(kUsbPortTimer);
  EXPECT_TRUE(view_.Enabled(IDB_CHECK_USB_PORT));
  EXPECT_FALSE(view_.timers.count(kUsbPortTimer));
}

TEST_F(ConfingDialogTest, CheckUsbPortOnWindowsSevenKeepsTheLinkedCheck) {
  system_.version = {6, 1};
  system_.uiLanguage = 0x0804;
  Open();
  dialog_->OnCheckUsbPort();
  EXPECT_FALSE(g_skipLinkedCheck);
  EXPECT_EQ(g_uiLanguage, 0x0804);
  EXPECT_THAT(Texts(), ElementsAre("USB打印机没有接入设备"));
}

// ---- The hidden message -------------------------------------------------------------------------

TEST_F(ConfingDialogTest, TheHiddenMessageComesEveryFifthDoubleClick) {
  Open();
  std::vector<int> shownAt;
  for (int click = 1; click <= 12; ++click) {
    const std::size_t before = boxes_.calls.size();
    dialog_->OnStatusDoubleClick();
    if (boxes_.calls.size() != before) shownAt.push_back(click);
  }
  EXPECT_THAT(shownAt, ElementsAre(5, 10));
  EXPECT_EQ(dialog_->m_dblClickCount, 2);
  ASSERT_FALSE(boxes_.calls.empty());
  EXPECT_EQ(boxes_.calls[0].text.size(), 52u);
  EXPECT_EQ(boxes_.calls[0].text, boxes_.calls[1].text);
  EXPECT_EQ(boxes_.calls[0].text.find('\0'), std::string::npos);
}

}  // namespace
}  // namespace velmara::testing
