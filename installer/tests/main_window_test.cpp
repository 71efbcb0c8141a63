// The backdrop's commands: running the installation dialog and the printer-properties follow-up.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "fake_views.h"
#include "support/fake_printing.h"
#include "support/fixed_system_info.h"
#include "support/memory_files.h"
#include "support/memory_spooler.h"
#include "support/recording_shell.h"
#include "usb_fixture.h"

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MainWindowTest : public UsbFixture {
 protected:
  // Starts the backdrop; the installation dialog ends with |result|, naming |printer|.
  void Start(int result, const std::string& printer = "RUD-80 (copy 1)") {
    view_.installDialog = [result, printer](ConfingDialog& dialog) {
      dialog.m_followUpPrinter = printer;
      return result;
    };
    window_.OnInitDialog(view_);
  }

  FixedSystemInfo system_;
  MemoryFiles files_{"C:\\medium"};
  MemorySpooler spooler_{files_};
  RecordingPrinting printing_;
  RecordingShell shell_;
  EngineServices engine_{system_, spooler_, files_, boxes_, pauses_, debug_, printing_};
  MainServices services_{system_, shell_, pauses_};
  CTarvennPrinterDriverSetupDlg window_{services_, engine_, UsbFixture::services_};
  FakeMainView view_;
};

TEST_F(MainWindowTest, ShowsTheBackdropBeforeTheInstallationDialog) {
  Start(kIdCancel);
  EXPECT_THAT(view_.steps, ElementsAre("banner font", "about item", "icons", "maximised", "install dialog"));
}

TEST_F(MainWindowTest, CancelEndsTheProgram) {
  Start(kIdCancel);
  EXPECT_EQ(view_.ended, kIdCancel);
  EXPECT_THAT(shell_.calls, IsEmpty());
  EXPECT_THAT(view_.timers, IsEmpty());
}

TEST_F(MainWindowTest, ConfirmOpensThePrinterPropertiesFromAndInTheSystemDirectory) {
  Start(kIdOk);
  EXPECT_FALSE(view_.ended.has_value());
  EXPECT_EQ(window_.m_propertiesPrinter, "RUD-80 (copy 1)");
  EXPECT_THAT(pauses_.pauses, ElementsAre(100u));
  ASSERT_EQ(shell_.calls.size(), 1u);
  EXPECT_EQ(shell_.calls[0].owner, view_.Handle());
  EXPECT_EQ(shell_.calls[0].verb, "open");
  // Never the rundll32.exe that may lie in the installation medium's folder.
  EXPECT_EQ(shell_.calls[0].file, "C:\\Windows\\system32\\rundll32.exe");
  EXPECT_EQ(shell_.calls[0].parameters, "printui.dll,PrintUIEntry /p /n \"RUD-80 (copy 1)\"");
  // Never the medium, the program's own current directory, as rundll32's.
  EXPECT_EQ(shell_.calls[0].directory, "C:\\Windows\\system32");
  EXPECT_EQ(shell_.calls[0].show, kShowShow);
  EXPECT_EQ(view_.timers[kPropertiesSearchTimer], 100u);
  EXPECT_EQ(view_.timers[kCloseTimer], 5000u);
}

TEST_F(MainWindowTest, ConfirmWithoutAnInstalledPrinterClosesAtOnce) {
  Start(kIdOk, "");
  EXPECT_EQ(view_.ended, kIdCancel);
  EXPECT_THAT(shell_.calls, IsEmpty());
  EXPECT_THAT(view_.timers, IsEmpty());
}

TEST_F(MainWindowTest, WithoutASystemDirectoryNothingIsStarted) {
  shell_.systemDirectory.clear();
  Start(kIdOk);
  EXPECT_THAT(shell_.calls, IsEmpty());
  EXPECT_EQ(view_.timers[kCloseTimer], 5000u) << "the window still closes after 5 s";
}

TEST_F(MainWindowTest, AFailedDialogLeavesTheBackdrop) {
  Start(-1);
  EXPECT_FALSE(view_.ended.has_value());
  EXPECT_THAT(shell_.calls, IsEmpty());
}

TEST_F(MainWindowTest, ThePropertiesWindowIsLookedForUnderTheTitleOfTheLanguage) {
  const struct {
    std::uint16_t language;
    const char* title;  // null: no search
  } cases[] = {
      {2052, "RUD-80 (copy 1) 属性"},
      {1033, "RUD-80 (copy 1) Properties"},
      {2057, nullptr},
      {1028, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    system_.uiLanguage = c.language;
    view_ = FakeMainView();
    shell_.searches.clear();
    CTarvennPrinterDriverSetupDlg window(services_, engine_, UsbFixture::services_);
    view_.installDialog = [](ConfingDialog& dialog) {
      dialog.m_followUpPrinter = "RUD-80 (copy 1)";
      return kIdOk;
    };
    window.OnInitDialog(view_);
    EXPECT_EQ(window.m_uiLanguage, c.language);
    window.OnTimer(kPropertiesSearchTimer);
    if (c.title == nullptr) {
      EXPECT_THAT(shell_.searches, IsEmpty());
      EXPECT_FALSE(view_.timers.count(kPropertiesSearchTimer)) << "the search stops";
    } else {
      EXPECT_THAT(shell_.searches, ElementsAre(c.title));
      EXPECT_TRUE(view_.timers.count(kPropertiesSearchTimer)) << "not found yet: it goes on";
    }
  }
}

TEST_F(MainWindowTest, TheFoundPropertiesWindowShowsItsPortPage) {
  system_.uiLanguage = 1033;
  shell_.openWindows = {"RUD-80 (copy 1) Properties"};
  Start(kIdOk);
  window_.OnTimer(kPropertiesSearchTimer);
  EXPECT_THAT(shell_.selectedTabs, ElementsAre(2));
  EXPECT_FALSE(view_.timers.count(kPropertiesSearchTimer));
  EXPECT_TRUE(view_.timers.count(kCloseTimer));
  EXPECT_FALSE(view_.ended.has_value());

  window_.OnTimer(kCloseTimer);
  EXPECT_EQ(view_.ended, kIdCancel);
  EXPECT_FALSE(view_.timers.count(kCloseTimer));
}

}  // namespace
}  // namespace velmara::testing
