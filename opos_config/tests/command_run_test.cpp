// Corvale run from the command line, on the in-memory registry of a 64-bit Windows and an
// in-memory disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/command_run.h"
#include "cli/settings_file.h"
#include "cli/text_encoding.h"
#include "registry_backends.h"
#include "registry_fixture.h"
#include "store/ldn_record.h"
#include "support/command_line_doubles.h"
#include "support/fixed_system_info.h"
#include "support/memory_files.h"

namespace corvale::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

using Args = std::vector<std::u16string>;

const std::u16string kRoot = u"SOFTWARE\\WOW6432Node\\OLEforRetail";

struct Settings {
  std::uint32_t portType, portSetting, timeOut, codePage, dotLineWidth, effects;
};

class CommandRunTest : public ::testing::Test {
 protected:
  CommandRunTest() : under_(MakeMemoryRegistryUnderTest()), store_(under_->registry(), system_), seed_(under_->registry()) {}

  // An LDN as New makes it and Apply sets it; the printer class's settings, and the drawer's alike.
  void MakeLdn(const std::u16string& name, const Settings& s, bool printer = true, bool drawer = true) {
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      if (deviceClass == &kPrinterClass ? !printer : !drawer) continue;
      ASSERT_EQ(store_.CreateLDN(name, *deviceClass), kLdnCreated) << Narrow(name);
      LDNRecord record(store_, name, *deviceClass);
      record.PortType = s.portType;
      record.PortSetting = s.portSetting;
      record.TimeOut = s.timeOut;
      record.CharCodePage = s.codePage;
      record.DotLineWidth = s.dotLineWidth;
      record.Effects = s.effects;
      ASSERT_TRUE(record.WriteLDN(store_, record.KeyName, *deviceClass));
    }
  }
  // Another program's LDN: an alias and a key without the made-by-tool marker.
  void MakeForeignLdn(const std::u16string& name, const std::u16string& key) {
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      const std::u16string path = store_.ClassKeyPath(*deviceClass);
      seed_.Dword(path + u"\\" + key, u"PortType", 1);
      seed_.Sz(path, name, key);
    }
  }
  void MakeTills() {
    MakeLdn(u"Shop 1", {2, 0x00AB0000u | 3 | 2 << 8, 1000, 437, 576, 2});
    MakeLdn(u"收银台 2", {3, 0xC0A80164, 3000, 936, 640, 7});
    MakeLdn(u"Drawer only", {1, 0, 500, 0, 0, 0}, false, true);
    ASSERT_EQ(store_.CreateLDN(u"Fresh", kPrinterClass), kLdnCreated);
    ASSERT_EQ(store_.CreateLDN(u"Fresh", kDrawerClass), kLdnCreated);
  }

  int Run(const Args& arguments) { return RunCorvaleCommandLine(arguments, services_); }

  std::string Everything() { return seed_.Snapshot(kRoot); }
  std::string Ldns() { return LdnsView(seed_, store_); }
  std::string Output() const { return Utf8FromUtf16(console_.output); }

  FixedSystemInfo system_{kArchitectureAmd64};
  std::unique_ptr<RegistryUnderTest> under_;
  OposStore store_;
  RegistrySeed seed_;
  MemoryFiles files_{u"C:\\tills"};
  FakeConsole console_;
  RecordingMessageBoxes boxes_;
  FixedClock clock_;
  CommandServices services_{store_, files_, console_, boxes_, clock_};
};

const char kTillsSections[] =
    "[Shop 1]\r\nPort = COM3 at 19200\r\nTimeOut = 1000\r\nCodePage = 437\r\nDotLineWidth = 576\r\nEffect = Burkes\r\n\r\n"
    "[收银台 2]\r\nPort = 192.168.1.100\r\nTimeOut = 3000\r\nCodePage = 936\r\nDotLineWidth = 640\r\n"
    "Effect = Bayer (4x4)\r\n\r\n"
    "[Fresh]\r\nTimeOut = 1000\r\nCodePage = 437\r\nDotLineWidth = 576\r\nEffect = Burkes\r\n\r\n"
    "[Drawer only]\r\nPort = USB\r\nTimeOut = 500\r\n\r\n";

TEST_F(CommandRunTest, ExportWritesEveryLdnOfTheToolInBothClassesAndNoOther) {
  MakeTills();
  MakeForeignLdn(u"Other maker", u"OtherKey");
  const std::string before = Everything();
  EXPECT_EQ(Run({u"/export", u"tills.ini"}), kExitDone);
  const std::string written = files_.Contents(u"C:\\tills\\tills.ini");
  EXPECT_EQ(written.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_THAT(written, HasSubstr("; Port = USB, COMn at 9600|19200|38400|115200, or an IPv4 address"));
  EXPECT_EQ(written.substr(written.find("\r\n\r\n[") + 4), kTillsSections);
  EXPECT_THAT(written, Not(HasSubstr("Other maker")));
  EXPECT_EQ(Output(), "Wrote 4 LDNs to \"tills.ini\".\r\n");
  EXPECT_EQ(Everything(), before) << "an export writes nothing into the registry";
}

TEST_F(CommandRunTest, ListWritesTheSameFormToTheConsoleOrElseToAMessageBox) {
  MakeTills();
  EXPECT_EQ(Run({u"/list"}), kExitDone);
  EXPECT_EQ(Output(), kTillsSections);
  EXPECT_THAT(boxes_.texts, IsEmpty());

  console_.present = false;
  EXPECT_EQ(Run({u"/list"}), kExitDone);
  ASSERT_EQ(boxes_.texts.size(), 1u);
  EXPECT_EQ(Utf8FromUtf16(boxes_.texts[0]), kTillsSections);
  EXPECT_EQ(Run({u"/list", u"/quiet"}), kExitDone);
  EXPECT_EQ(boxes_.texts.size(), 1u) << "a quiet run shows no window";
}

TEST_F(CommandRunTest, ExportWipeImportGivesBackTheSameLdns) {
  MakeLdn(u"Shop 1", {2, 3 | 2 << 8, 1000, 437, 576, 2});
  MakeLdn(u"收银台 2", {3, 0xC0A80164, 3000, 936, 640, 7});
  MakeLdn(u"Kitchen", {1, 0, 10000, 0, 576, 10});
  ASSERT_EQ(store_.CreateLDN(u"Fresh", kPrinterClass), kLdnCreated);
  ASSERT_EQ(store_.CreateLDN(u"Fresh", kDrawerClass), kLdnCreated);
  const std::string before = Ldns();
  ASSERT_EQ(Run({u"/export", u"tills.ini"}), kExitDone);
  under_->RemoveTree(kRoot);
  ASSERT_EQ(Ldns(), "");
  console_.output.clear();
  EXPECT_EQ(Run({u"/import", u"tills.ini", u"/quiet"}), kExitDone);
  EXPECT_EQ(Ldns(), before);
  EXPECT_EQ(Output(),
            "\"Shop 1\": made.\r\n\"收银台 2\": made.\r\n\"Kitchen\": made.\r\n\"Fresh\": made.\r\n"
            "Read \"tills.ini\": 4 made, 0 changed, 0 unchanged.\r\n");
}

TEST_F(CommandRunTest, ImportMakesTheMissingLdnsAsNewDoesAndSetsThemAsApplyDoes) {
  MakeLdn(u"Shop 1", {2, 0x00AB0000u | 3 | 2 << 8, 1000, 437, 576, 2});
  MakeLdn(u"Half", {1, 0, 1000, 437, 576, 2}, true, false);
  files_.AddFile(u"new.ini",
                 "[Shop 1]\nPort = COM4 at 115200\n"
                 "[Half]\nTimeOut = 200\n"
                 "[Kitchen]\nPort = 10.0.0.7\nEffect = Stucki\n");
  EXPECT_EQ(Run({u"/import", u"new.ini"}), kExitDone);
  EXPECT_EQ(Output(), "\"Shop 1\": changed.\r\n\"Half\": made.\r\n\"Kitchen\": made.\r\n"
                      "Read \"new.ini\": 2 made, 1 changed, 0 unchanged.\r\n");
  EXPECT_THAT(boxes_.texts, IsEmpty());

  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    SCOPED_TRACE(Narrow(*deviceClass));
    std::vector<std::u16string> listed;
    store_.ListLDNs(*deviceClass, listed);
    EXPECT_EQ(listed.size(), 3u) << "every LDN is in both classes, with the made-by-tool marker";
    const LDNRecord shop(store_, u"Shop 1", *deviceClass);
    EXPECT_EQ(shop.PortType, kPortSerial);
    EXPECT_EQ(shop.PortSetting, 0x00AB0000u | 4 | 4 << 8) << "bytes 2 and 3 as they were";
    EXPECT_EQ(shop.TimeOut, 1000u) << "what the file does not give stays";
    const LDNRecord half(store_, u"Half", *deviceClass);
    EXPECT_EQ(half.TimeOut, 200u);
    const LDNRecord kitchen(store_, u"Kitchen", *deviceClass);
    EXPECT_TRUE(CarriesMadeByToolMarker(kitchen.VersionSO));
    EXPECT_EQ(kitchen.LDNName, kitchen.KeyName);
    EXPECT_EQ(kitchen.PortType, kPortEthernet);
    EXPECT_EQ(kitchen.PortSetting, 0x0A000007u);
    EXPECT_EQ(kitchen.DeviceDesc, u"POSPrinter 80 series printer") << "a default record, as New writes it";
  }
  EXPECT_EQ(LDNRecord(store_, u"Kitchen", kPrinterClass).Effects, 3u);
  // The key names that New chose are not taken twice.
  const std::vector<std::u16string> printerKeys = seed_.SubkeyNames(store_.ClassKeyPath(kPrinterClass));
  for (const std::u16string& key : seed_.SubkeyNames(store_.ClassKeyPath(kDrawerClass))) {
    for (const std::u16string& other : printerKeys) EXPECT_NE(key, other);
  }
}

TEST_F(CommandRunTest, ImportingTheSameFileTwiceChangesNothingTheSecondTime) {
  MakeTills();
  files_.AddFile(u"tills.ini", "[Shop 1]\nPort = USB\nTimeOut = 2000\n[New one]\nEffect = Sierra\n");
  ASSERT_EQ(Run({u"/import", u"tills.ini"}), kExitDone);
  const std::string once = Everything();
  console_.output.clear();
  EXPECT_EQ(Run({u"/import", u"tills.ini"}), kExitDone);
  EXPECT_EQ(Everything(), once);
  EXPECT_EQ(Output(), "\"Shop 1\": unchanged.\r\n\"New one\": unchanged.\r\nRead \"tills.ini\": 0 made, 0 changed, 2 unchanged.\r\n");
}

TEST_F(CommandRunTest, AFileWithOneWrongLineWritesNothingAtAllAndNamesTheLine) {
  MakeTills();
  MakeForeignLdn(u"Other maker", u"OtherKey");
  const std::string good = "[Shop 1]\nTimeOut = 2000\n[Brand new]\nPort = USB\n";
  const struct {
    const char* what;
    std::string file;
    int exitCode;
    const char* said;
  } cases[] = {
      {"a bad value", good + "[Kitchen]\nTimeOut = 5\n", kExitFileHasErrors,
       "\"bad.ini\", line 6: TimeOut \"5\" is not a whole number from 10 to 10000. Nothing was written."},
      {"an unknown key", good + "[Kitchen]\nSpeed = 1\n", kExitFileHasErrors, "\"bad.ini\", line 6: \"Speed\" is not a setting"},
      {"an unknown kind of line", good + "Kitchen\n", kExitFileHasErrors,
       "\"bad.ini\", line 5: not a [section], a setting or a comment"},
      {"the same LDN twice, as the registry compares names", good + "[BRAND NEW]\n", kExitFileHasErrors,
       "\"bad.ini\", line 5: the LDN \"BRAND NEW\" is given twice, first on line 3. Nothing was written."},
      {"the same LDN twice, in letters beyond ASCII", good + "[D\xC6\xB0\xC6\xA1ng]\n[D\xC6\xAF\xC6\xA0NG]\n",
       kExitFileHasErrors, "\"bad.ini\", line 6: the LDN \"D\xC6\xAF\xC6\xA0NG\" is given twice, first on line 5."},
      {"an LDN of another program", good + "[other MAKER]\nPort = USB\n", kExitFileHasErrors,
       "\"bad.ini\", line 5: the LDN \"other MAKER\" exists under POSPrinter but was not made by Corvale. Nothing was "
       "written."},
      {"a name New refuses: another LDN's key", good + "[POSPrinter80]\n", kExitFileHasErrors,
       "\"bad.ini\", line 5: New does not take the name \"POSPrinter80\" under POSPrinter: another key or value has it."},
      {"a name New refuses: another program's key", good + "[otherkey]\n", kExitFileHasErrors,
       "\"bad.ini\", line 5: New does not take the name \"otherkey\" under POSPrinter"},
      {"not UTF-8", good + "[K\xE9ller]\n", kExitFileUnusable, "\"bad.ini\", line 5: not UTF-8 text. Nothing was written."},
      {"empty", "", kExitFileUnusable, "The settings file \"bad.ini\" is empty: it holds no LDN. Nothing was written."},
      {"huge", good + std::string(1024 * 1024, ';'), kExitFileUnusable,
       "The settings file \"bad.ini\" is larger than 1 MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    files_.AddFile(u"bad.ini", c.file);
    console_.output.clear();
    boxes_.texts.clear();
    const std::string before = Everything();
    EXPECT_EQ(Run({u"/import", u"bad.ini"}), c.exitCode);
    EXPECT_EQ(Everything(), before);
    EXPECT_THAT(Output(), HasSubstr(c.said));
    ASSERT_EQ(boxes_.texts.size(), 1u) << "without /quiet the failure is shown";
    EXPECT_THAT(Utf8FromUtf16(boxes_.texts[0]), HasSubstr(c.said));
  }
}

TEST_F(CommandRunTest, NothingIsWrittenNotEvenTheClassKeysWhenTheFileIsWrong) {
  files_.AddFile(u"bad.ini", "[A]\nPort = USB\n[B]\nPort = COM1\n");
  EXPECT_EQ(Run({u"/import", u"bad.ini", u"/quiet"}), kExitFileHasErrors);
  EXPECT_FALSE(seed_.Exists(kRoot));
  EXPECT_THAT(boxes_.texts, IsEmpty());
  EXPECT_THAT(Output(), HasSubstr("line 4: Port \"COM1\" is not"));

  // Another program's LDN, found only once the registry is asked.
  seed_.Dword(store_.ClassKeyPath(kDrawerClass) + u"\\TheirKey", u"PortType", 1);
  seed_.Sz(store_.ClassKeyPath(kDrawerClass), u"B", u"TheirKey");
  const std::string before = Everything();
  files_.AddFile(u"bad.ini", "[A]\nPort = USB\n[B]\n");
  EXPECT_EQ(Run({u"/import", u"bad.ini", u"/quiet"}), kExitFileHasErrors);
  EXPECT_EQ(Everything(), before);
  EXPECT_FALSE(seed_.Exists(store_.ClassKeyPath(kPrinterClass)));
}

TEST_F(CommandRunTest, AFileThatCannotBeReadOrWritten) {
  EXPECT_EQ(Run({u"/import", u"missing.ini", u"/quiet"}), kExitFileUnusable);
  EXPECT_EQ(Output(), "The settings file \"missing.ini\" cannot be read: there is no such file.\r\n");
  console_.output.clear();
  EXPECT_EQ(Run({u"/export", u"C:\\no folder\\tills.ini", u"/quiet"}), kExitFileUnusable);
  EXPECT_EQ(Output(), "The settings file \"C:\\no folder\\tills.ini\" cannot be written: its folder does not exist.\r\n");
}

TEST_F(CommandRunTest, AnLdnWhoseNameNoSettingsFileCanHoldStopsTheExport) {
  MakeLdn(u"Two\r\nlines", {1, 0, 1000, 437, 576, 2});
  EXPECT_EQ(Run({u"/export", u"tills.ini", u"/quiet"}), kExitFileUnusable);
  EXPECT_FALSE(files_.HasFile(u"tills.ini"));
  EXPECT_THAT(Output(), HasSubstr("has a name that a settings file cannot hold"));
}

TEST_F(CommandRunTest, SettingsWithoutAReadableFormAreNamedAndLeftAsTheyAre) {
  MakeLdn(u"Odd", {2, 0x0500 | 3, 5, 100000, 600, 0xFFFFFFFF});
  EXPECT_EQ(Run({u"/export", u"odd.ini"}), kExitDone);
  EXPECT_EQ(files_.Contents(u"odd.ini").substr(files_.Contents(u"odd.ini").find("[Odd]")),
            "[Odd]\r\n"
            "; Port is left out: the stored PortType 2 with PortSetting 1283 has no form here\r\n"
            "; TimeOut is left out: the stored 5 has no form here\r\n"
            "; CodePage is left out: the stored 100000 has no form here\r\n"
            "; DotLineWidth is left out: the stored 600 has no form here\r\n"
            "; Effect is left out: the stored 4294967295 has no form here\r\n\r\n");
  const std::string before = Everything();
  EXPECT_EQ(Run({u"/import", u"odd.ini"}), kExitDone);
  EXPECT_EQ(Everything(), before);
}

TEST_F(CommandRunTest, ARegistryThatRefusesEndsWithItsOwnCode) {
  files_.AddFile(u"tills.ini", "[Shop 1]\nPort = USB\n");
  under_->SetAdministrator(false);
  EXPECT_EQ(Run({u"/import", u"tills.ini", u"/quiet"}), kExitRegistryRefused);
  EXPECT_THAT(Output(), HasSubstr("The registry refused to make the LDN \"Shop 1\" under POSPrinter"));
}

TEST_F(CommandRunTest, TheLogFileGetsEveryLineWithTheTime) {
  MakeTills();
  files_.AddFile(u"C:\\logs\\till.log", "earlier\r\n");
  EXPECT_EQ(Run({u"/export", u"C:\\a b\\tills.ini", u"/log", u"C:\\logs\\till.log", u"/quiet"}), kExitFileUnusable);
  EXPECT_EQ(files_.Contents(u"C:\\logs\\till.log"),
            "earlier\r\n"
            "2016-03-05 09:07:03 Corvale /export \"C:\\a b\\tills.ini\" /log C:\\logs\\till.log /quiet\r\n"
            "2016-03-05 09:07:03 The settings file \"C:\\a b\\tills.ini\" cannot be written: its folder does not exist.\r\n");

  console_.present = false;
  EXPECT_EQ(Run({u"/list", u"/log", u"C:\\nowhere\\till.log"}), kExitBadArguments);
  ASSERT_EQ(boxes_.texts.size(), 1u);
  EXPECT_EQ(boxes_.texts[0], u"The log file \"C:\\nowhere\\till.log\" cannot be written: its folder does not exist.");
}

TEST_F(CommandRunTest, TheUsageGoesToTheConsoleOrElseToAMessageBoxUnlessQuiet) {
  EXPECT_EQ(Run({u"/?"}), kExitBadArguments);
  EXPECT_THAT(Output(), HasSubstr("Corvale.exe /import FILE [/quiet] [/log FILE]"));
  EXPECT_THAT(boxes_.texts, IsEmpty());

  console_.present = false;
  EXPECT_EQ(Run({u"/import"}), kExitBadArguments);
  ASSERT_EQ(boxes_.texts.size(), 1u);
  EXPECT_THAT(Utf8FromUtf16(boxes_.texts[0]), HasSubstr("/import needs a file name\nCorvale, the OPOS configuration tool"));
  EXPECT_EQ(Run({u"/bogus", u"/quiet"}), kExitBadArguments);
  EXPECT_EQ(boxes_.texts.size(), 1u);
  EXPECT_FALSE(seed_.Exists(kRoot));
}

}  // namespace
}  // namespace corvale::testing
