// The OPOS store against the in-memory registry and, under Wine, against the real one, on an
// x86 and an x64 machine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>
#include <tuple>
#include <vector>

#include "support/fixed_system_info.h"
#include "registry_backends.h"
#include "registry_fixture.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"

namespace corvale::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

const std::u16string kRoot32 = u"SOFTWARE\\OLEforRetail";
const std::u16string kRoot64 = u"SOFTWARE\\WOW6432Node\\OLEforRetail";

using StoreParam = std::tuple<RegistryBackend, std::uint16_t>;

class OposStoreTest : public ::testing::TestWithParam<StoreParam> {
 protected:
  OposStoreTest()
      : under_(std::get<0>(GetParam()).make()),
        system_(std::get<1>(GetParam())),
        intercepting_(under_->registry()),
        store_(intercepting_, system_),
        seed_(under_->registry()),
        printer_(store_.ClassKeyPath(kPrinterClass)),
        drawer_(store_.ClassKeyPath(kDrawerClass)) {}

  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  void Clear() {
    under_->RemoveTree(kRoot32);
    under_->RemoveTree(kRoot64);
  }

  // Corvale makes the class keys at start-up, a key at a time, before it creates an LDN. A store that
  // creates an LDN where they are missing makes the whole path in one call, which Wine's WoW64 puts
  // one WOW6432Node too deep for a 32-bit process (the registry contract test shows it): there, and
  // only there, the class keys are made first, as Corvale's start-up makes them.
  void ClassKeysAsCorvaleStartsUpUnderWineWow64(bool drawerToo = true) {
#ifdef _WIN32
    BOOL wow64 = FALSE;
    if (!under_->IsWine() || !IsWow64Process(GetCurrentProcess(), &wow64) || !wow64 || Root() != kRoot64) return;
    store_.EnsureClassKeys(kPrinterClass);
    if (drawerToo) store_.EnsureClassKeys(kDrawerClass);
#else
    (void)drawerToo;
#endif
  }

  std::u16string Root() const { return system_.NativeProcessorArchitecture() == kArchitectureX86 ? kRoot32 : kRoot64; }

  // An LDN as this tool makes it: a marked key and an alias.
  void SeedLdn(const std::u16string& classKey, const std::u16string& alias, const std::u16string& keyName,
               std::uint32_t versionSO = kMadeByToolMarker) {
    seed_.Dword(classKey + u"\\" + keyName, u"VersionSO", versionSO);
    seed_.Sz(classKey, alias, keyName);
  }

  // The registry's own enumeration, without the store's listing code.
  std::vector<std::u16string> RawValueNames(const std::u16string& path) { return RawNames(path, true); }
  std::vector<std::u16string> RawSubkeyNames(const std::u16string& path) { return RawNames(path, false); }
  std::vector<std::u16string> RawNames(const std::u16string& path, bool values) {
    std::vector<std::u16string> names;
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(under_->registry().OpenKey(path, reg::kRead, &key), reg::kSuccess);
    for (std::uint32_t i = 0; key; ++i) {
      char16_t name[512];
      std::uint32_t chars = 512;
      const RegStatus s = values ? key->EnumValue(i, name, &chars, nullptr, nullptr, nullptr) : key->EnumKey(i, name, &chars);
      if (s != reg::kSuccess) break;
      names.emplace_back(name, chars);
    }
    return names;
  }

  std::vector<std::u16string> Listed(const std::u16string& deviceClass) {
    std::vector<std::u16string> names{u"stale"};
    store_.ListLDNs(deviceClass, names);
    return names;
  }

  std::unique_ptr<RegistryUnderTest> under_;
  FixedSystemInfo system_;
  InterceptingRegistry intercepting_;
  OposStore store_;
  RegistrySeed seed_;
  const std::u16string printer_;
  const std::u16string drawer_;
};

// ---- Class keys ---------------------------------------------------------------------------------

TEST(ClassKeyPath, ByDeviceClassAndNativeArchitecture) {
  const struct {
    std::uint16_t architecture;
    std::u16string deviceClass;
    std::u16string path;
  } cases[] = {
      {kArchitectureX86, u"POSPrinter", u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\POSPrinter"},
      {kArchitectureX86, u"CashDrawer", u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\CashDrawer"},
      {kArchitectureX86, u"posprinter", u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\CashDrawer"},
      {kArchitectureX86, u"POSPRINTER", u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\CashDrawer"},
      {kArchitectureX86, u"Scanner", u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\CashDrawer"},
      {kArchitectureX86, u"", u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\CashDrawer"},
      {kArchitectureAmd64, u"POSPrinter", u"SOFTWARE\\WOW6432Node\\OLEforRetail\\ServiceOPOS\\POSPrinter"},
      {kArchitectureAmd64, u"CashDrawer", u"SOFTWARE\\WOW6432Node\\OLEforRetail\\ServiceOPOS\\CashDrawer"},
      {kArchitectureIa64, u"POSPrinter", u"SOFTWARE\\WOW6432Node\\OLEforRetail\\ServiceOPOS\\POSPrinter"},
      {kArchitectureArm64, u"CashDrawer", u"SOFTWARE\\WOW6432Node\\OLEforRetail\\ServiceOPOS\\CashDrawer"},
      {5 /* 32-bit ARM */, u"POSPrinter", u""},
      {kArchitectureUnknown, u"POSPrinter", u""},
  };
  auto backend = MakeMemoryRegistryUnderTest();
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.deviceClass) + " on " + std::to_string(c.architecture));
    FixedSystemInfo system(c.architecture);
    EXPECT_EQ(OposStore(backend->registry(), system).ClassKeyPath(c.deviceClass), c.path);
  }
}

TEST(ClassKeyPath, FollowsTheArchitectureAtEachCall) {
  auto backend = MakeMemoryRegistryUnderTest();
  FixedSystemInfo system(kArchitectureX86);
  OposStore store(backend->registry(), system);
  EXPECT_EQ(store.ClassKeyPath(kPrinterClass), u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\POSPrinter");
  system.SetArchitecture(kArchitectureAmd64);
  EXPECT_EQ(store.ClassKeyPath(kPrinterClass), u"SOFTWARE\\WOW6432Node\\OLEforRetail\\ServiceOPOS\\POSPrinter");
}

TEST_P(OposStoreTest, EnsureClassKeysCreatesTheChainAndKeepsWhatIsThere) {
  EXPECT_TRUE(store_.EnsureClassKeys(kPrinterClass));
  EXPECT_TRUE(seed_.Exists(printer_));
  EXPECT_FALSE(seed_.Exists(drawer_));
  EXPECT_TRUE(store_.EnsureClassKeys(kDrawerClass));
  EXPECT_TRUE(seed_.Exists(drawer_));

  SeedLdn(printer_, u"Shop", u"POSPrinter80");
  const std::string before = seed_.Snapshot(Root());
  EXPECT_TRUE(store_.EnsureClassKeys(kPrinterClass));
  EXPECT_EQ(seed_.Snapshot(Root()), before);
}

TEST_P(OposStoreTest, WithoutAdministratorRightsNothingIsCreatedOrWritten) {
  SeedLdn(printer_, u"Shop", u"POSPrinter80");
  if (!under_->SetAdministrator(false)) GTEST_SKIP() << "the test process runs with administrator rights";
  const std::string before = seed_.Snapshot(Root());

  EXPECT_TRUE(store_.EnsureClassKeys(kDrawerClass));
  EXPECT_FALSE(seed_.Exists(drawer_));
  EXPECT_EQ(store_.CreateLDN(u"New", kPrinterClass), kLdnError);
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"Shop"), kLdnClassLocked);
  LDNRecord record(store_, u"Shop", kPrinterClass);
  EXPECT_EQ(record.KeyName, u"POSPrinter80") << "reading through the alias needs no write access";
  EXPECT_FALSE(record.WriteLDN(store_, u"POSPrinter80", kPrinterClass));
  EXPECT_THAT(Listed(kPrinterClass), ElementsAre(u"Shop"));
  EXPECT_EQ(seed_.Snapshot(Root()), before);
}

// ---- Writing and reading a record ---------------------------------------------------------------

TEST_P(OposStoreTest, ADefaultPrinterRecordIsStoredWithEveryValue) {
  seed_.Key(printer_ + u"\\POSPrinter80");
  LDNRecord record;
  ASSERT_TRUE(record.WriteLDN(store_, u"POSPrinter80", kPrinterClass));
  EXPECT_EQ(record.KeyName, u"POSPrinter80");

  const std::u16string key = printer_ + u"\\POSPrinter80";
  EXPECT_EQ(seed_.Value(key, u""), std::make_pair(std::uint32_t{1}, SzBytes(u"POSPrinter.OPOS_Printer_SO.2016")));
  EXPECT_EQ(seed_.String(key, u"DeviceClass"), u"POSPrinter");
  EXPECT_EQ(seed_.String(key, u"DeviceDesc"), u"POSPrinter 80 series printer");
  EXPECT_EQ(seed_.String(key, u"DeviceName"), u"POSPrinter80");
  EXPECT_EQ(seed_.String(key, u"LDNName"), u"ArdOPOS");
  EXPECT_EQ(seed_.String(key, u"Version"), u"1.14.1");
  EXPECT_EQ(seed_.Number(key, u"CharCodePage"), 437u);
  EXPECT_EQ(seed_.Number(key, u"DotLineWidth"), 576u);
  EXPECT_EQ(seed_.Number(key, u"Effects"), 2u);
  EXPECT_EQ(seed_.Number(key, u"PortSetting"), 1u);
  EXPECT_EQ(seed_.Number(key, u"PortType"), 0u);
  EXPECT_EQ(seed_.Number(key, u"TimeOut"), 1000u);
  EXPECT_EQ(seed_.Value(key, u"VersionSO"), std::make_pair(std::uint32_t{4}, DwordBytes(0x41726400)));
  EXPECT_EQ(seed_.ValueNames(key).size(), 13u);
}

TEST_P(OposStoreTest, ACashDrawerRecordLeavesOutThePrinterValues) {
  seed_.Key(drawer_ + u"\\POSPrinter80");
  LDNRecord record;
  ASSERT_TRUE(record.WriteLDN(store_, u"POSPrinter80", kDrawerClass));
  const std::u16string key = drawer_ + u"\\POSPrinter80";
  EXPECT_EQ(seed_.String(key, u""), u"POSPrinter.OPOS_CashDrawer_SO.2016");
  EXPECT_EQ(seed_.String(key, u"DeviceClass"), u"POSPrinter");
  EXPECT_THAT(seed_.ValueNames(key),
              UnorderedElementsAre(u"", u"DeviceClass", u"DeviceDesc", u"DeviceName", u"LDNName", u"PortSetting",
                                   u"PortType", u"TimeOut", u"VersionSO", u"Version"));
}

TEST_P(OposStoreTest, WriteNeverCreatesTheKey) {
  LDNRecord record;
  EXPECT_FALSE(record.WriteLDN(store_, u"", kPrinterClass));
  EXPECT_EQ(record.KeyName, u"ArdOPOS");
  EXPECT_FALSE(record.WriteLDN(store_, u"Missing", kPrinterClass));
  EXPECT_FALSE(seed_.Exists(printer_));

  seed_.Key(printer_ + u"\\ArdOPOS");
  EXPECT_TRUE(record.WriteLDN(store_, u"", kPrinterClass));
  EXPECT_EQ(seed_.String(printer_ + u"\\ArdOPOS", u"DeviceName"), u"POSPrinter80");
}

TEST_P(OposStoreTest, WriteReportsAValueThatCouldNotBeWrittenAndStillWritesTheRest) {
  seed_.Key(printer_ + u"\\POSPrinter80");
  intercepting_.refuseValue = [](const std::u16string& name) {
    return name == u"TimeOut" ? reg::kAccessDenied : reg::kSuccess;
  };
  LDNRecord record;
  record.PortType = kPortSerial;
  EXPECT_FALSE(record.WriteLDN(store_, u"POSPrinter80", kPrinterClass));
  EXPECT_EQ(seed_.Number(printer_ + u"\\POSPrinter80", u"PortType"), 2u);
  EXPECT_EQ(seed_.Number(printer_ + u"\\POSPrinter80", u"VersionSO"), kMadeByToolMarker);
  EXPECT_EQ(seed_.String(printer_ + u"\\POSPrinter80", u"Version"), u"1.14.1");
}

TEST_P(OposStoreTest, ARecordReadsBackWhatWasWritten) {
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    SCOPED_TRACE(Narrow(*deviceClass));
    const std::u16string classKey = store_.ClassKeyPath(*deviceClass);
    seed_.Key(classKey + u"\\Till");
    LDNRecord written;
    written.DeviceClass = u"Class \u00e9";
    written.DeviceDesc = u"\u6536\u636e\u6253\u5370\u673a";
    written.DeviceName = u"Name";
    written.LDNName = u"Till";
    written.PrinterProgID = u"Printer.SO";
    written.DrawerProgID = u"Drawer.SO";
    written.CharCodePage = 936;
    written.DotLineWidth = 640;
    written.Effects = 10;
    written.PortSetting = 0xC0A80164;
    written.PortType = kPortEthernet;
    written.TimeOut = 10000;
    written.VersionSO = 0x417264AB;
    written.Version = u"2.0.7";
    ASSERT_TRUE(written.WriteLDN(store_, u"Till", *deviceClass));
    EXPECT_EQ(seed_.String(classKey + u"\\Till", u"Version"), u"2.0.7");

    const LDNRecord read(store_, u"Till", *deviceClass);
    const bool printer = deviceClass == &kPrinterClass;
    EXPECT_EQ(read.KeyName, u"Till");
    EXPECT_EQ(read.DeviceClass, written.DeviceClass);
    EXPECT_EQ(read.DeviceDesc, written.DeviceDesc);
    EXPECT_EQ(read.DeviceName, written.DeviceName);
    EXPECT_EQ(read.LDNName, written.LDNName);
    EXPECT_EQ(read.PrinterProgID, printer ? u"Printer.SO" : u"");
    EXPECT_EQ(read.DrawerProgID, printer ? u"" : u"Drawer.SO");
    EXPECT_EQ(read.CharCodePage, printer ? 936u : 437u);
    EXPECT_EQ(read.DotLineWidth, printer ? 640u : 576u);
    EXPECT_EQ(read.Effects, printer ? 10u : 2u);
    EXPECT_EQ(read.PortSetting, 0xC0A80164u);
    EXPECT_EQ(read.PortType, kPortEthernet);
    EXPECT_EQ(read.TimeOut, 10000u);
    EXPECT_EQ(read.VersionSO, 0x417264ABu);
    EXPECT_EQ(read.Version, u"1.14.1") << "the version is written, never read back";
    EXPECT_TRUE(read.KeyFound());
  }
}

TEST_P(OposStoreTest, ACashDrawerKeyIsNeverReadForThePrinterValues) {
  const std::u16string key = drawer_ + u"\\Till";
  seed_.Dword(key, u"CharCodePage", 936);
  seed_.Dword(key, u"DotLineWidth", 640);
  seed_.Dword(key, u"Effects", 7);
  const LDNRecord read(store_, u"Till", kDrawerClass);
  EXPECT_EQ(read.CharCodePage, 437u);
  EXPECT_EQ(read.DotLineWidth, 576u);
  EXPECT_EQ(read.Effects, 2u);
}

TEST_P(OposStoreTest, AKeyIsReadBeforeAnAliasOfTheSameName) {
  seed_.Sz(printer_ + u"\\Till", u"DeviceName", u"the key");
  seed_.Sz(printer_ + u"\\Other", u"DeviceName", u"the alias target");
  seed_.Sz(printer_, u"Till", u"Other");
  const LDNRecord read(store_, u"Till", kPrinterClass);
  EXPECT_EQ(read.KeyName, u"Till");
  EXPECT_EQ(read.DeviceName, u"the key");
}

TEST_P(OposStoreTest, AnAliasLeadsToItsKeyAndRenamesTheRecord) {
  seed_.Sz(printer_ + u"\\POSPrinter80_3", u"DeviceName", u"through the alias");
  seed_.Sz(printer_, u"Shop 1", u"POSPrinter80_3");
  LDNRecord read(store_, u"shop 1", kPrinterClass);
  EXPECT_EQ(read.KeyName, u"POSPrinter80_3");
  EXPECT_EQ(read.DeviceName, u"through the alias");

  // Writing goes to the key it is told, not to KeyName.
  seed_.Key(printer_ + u"\\Target");
  read.DeviceName = u"written";
  ASSERT_TRUE(read.WriteLDN(store_, u"Target", kPrinterClass));
  EXPECT_EQ(read.KeyName, u"Target");
  EXPECT_EQ(seed_.String(printer_ + u"\\Target", u"DeviceName"), u"written");
  EXPECT_EQ(seed_.String(printer_ + u"\\POSPrinter80_3", u"DeviceName"), u"through the alias");
}

TEST_P(OposStoreTest, AnAliasIsReadWithoutWriteAccessToTheClassKey) {
  seed_.Sz(printer_ + u"\\POSPrinter80", u"DeviceName", u"read");
  seed_.Sz(printer_, u"Shop", u"POSPrinter80");
  ASSERT_TRUE(under_->RestrictAccess(printer_, reg::kRead));
  const LDNRecord read(store_, u"Shop", kPrinterClass);
  EXPECT_EQ(read.KeyName, u"POSPrinter80");
  EXPECT_EQ(read.DeviceName, u"read");
}

TEST_P(OposStoreTest, ANameWithoutKeyOrAliasKeepsTheInitialValues) {
  seed_.Key(printer_);
  const LDNRecord read(store_, u"Nowhere", kPrinterClass);
  EXPECT_EQ(read.KeyName, u"Nowhere");
  EXPECT_EQ(read.DeviceClass, u"");
  EXPECT_EQ(read.PrinterProgID, u"");
  EXPECT_EQ(read.TimeOut, 1000u);
  EXPECT_EQ(read.PortSetting, 1u);
  EXPECT_EQ(read.VersionSO, kMadeByToolMarker) << "so it counts as made by this tool";
  EXPECT_FALSE(read.KeyFound());
}

TEST_P(OposStoreTest, OnlyAKeyRightUnderTheClassKeyIsFound) {
  seed_.Dword(printer_, u"DeviceName", 7);  // a value of the class key itself
  seed_.Sz(printer_ + u"\\Outer\\Inner", u"DeviceName", u"further down");
  seed_.Sz(printer_ + u"\\Till", u"DeviceName", u"the LDN key");
  const struct {
    const char* what;
    std::u16string alias;  // the data of an alias named "Odd"
  } cases[] = {
      {"the class key", u""},
      {"a key further down", u"Outer\\Inner"},
      {"the class key, by a trailing backslash", u"Till\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    seed_.Sz(printer_, u"Odd", c.alias);
    const LDNRecord throughAlias(store_, u"Odd", kPrinterClass);
    EXPECT_FALSE(throughAlias.KeyFound());
    EXPECT_EQ(throughAlias.DeviceName, u"");
  }
  const LDNRecord direct(store_, u"Outer\\Inner", kPrinterClass);
  EXPECT_FALSE(direct.KeyFound());
  EXPECT_EQ(direct.DeviceName, u"");
  seed_.Sz(printer_, u"Odd", u"Till");
  const LDNRecord found(store_, u"Odd", kPrinterClass);
  EXPECT_TRUE(found.KeyFound());
  EXPECT_EQ(found.DeviceName, u"the LDN key");
}

TEST_P(OposStoreTest, OnlyAFourByteDwordIsTakenForANumber) {
  const struct {
    const char* what;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    std::uint32_t timeOut;    // 1000 when not taken
    std::uint32_t versionSO;  // 0 when not taken
  } cases[] = {
      {"dword", 4, DwordBytes(0x41726405), 0x41726405, 0x41726405},
      {"two-byte dword", 4, {0x10, 0x27}, 1000, 0},
      {"eight-byte dword", 4, {1, 0, 0, 0, 0, 0, 0, 0}, 1000, 0},
      {"four-byte binary", 3, DwordBytes(0x41726400), 1000, 0},
      {"string", 1, SzBytes(u"500"), 1000, 0},
      {"empty dword", 4, {}, 1000, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string key = printer_ + u"\\Case";
    seed_.Raw(key, u"TimeOut", c.type, c.data);
    seed_.Raw(key, u"VersionSO", c.type, c.data);
    const LDNRecord read(store_, u"Case", kPrinterClass);
    EXPECT_EQ(read.TimeOut, c.timeOut);
    EXPECT_EQ(read.VersionSO, c.versionSO);
  }
}

TEST_P(OposStoreTest, AMissingVersionSOUnmarksTheRecord) {
  seed_.Sz(printer_ + u"\\Plain", u"DeviceName", u"not ours");
  const LDNRecord read(store_, u"Plain", kPrinterClass);
  EXPECT_EQ(read.VersionSO, 0u);
  EXPECT_EQ(read.TimeOut, 1000u);
}

TEST_P(OposStoreTest, StringsAreTakenOnlyWhenTheyAreWholeStringsOfAtMost255Characters) {
  const std::vector<std::uint8_t> unterminated = {'a', 0, 'b', 0};
  std::vector<std::uint8_t> withNul = SzBytes(u"ab");
  withNul.insert(withNul.begin() + 4, {0, 0, 'c', 0});  // "ab\0c\0"
  const struct {
    const char* what;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    std::u16string expected;  // "kept" when not taken
  } cases[] = {
      {"string", 1, SzBytes(u"text"), u"text"},
      {"255 characters", 1, SzBytes(std::u16string(255, u'x')), std::u16string(255, u'x')},
      {"256 characters", 1, SzBytes(std::u16string(256, u'x')), u"kept"},
      {"expandable, not expanded", 2, SzBytes(u"%TEMP%"), u"%TEMP%"},
      {"empty data", 1, {}, u""},
      {"terminator only", 1, SzBytes(u""), u""},
      {"up to the first NUL", 1, withNul, u"ab"},
      {"unterminated", 1, unterminated, u"kept"},
      {"odd byte count", 1, {'a', 0, 0}, u"kept"},
      {"binary", 3, SzBytes(u"text"), u"kept"},
      {"multi-string", 7, SzBytes(u"text"), u"kept"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string key = printer_ + u"\\Case";
    seed_.Key(key);
    std::unique_ptr<RegistryKey> handle;
    ASSERT_EQ(under_->registry().OpenKey(key, reg::kReadWrite, &handle), reg::kSuccess);
    // A letter after the data, so that the system does not add a terminator of its own.
    std::vector<std::uint8_t> buffer = c.data;
    buffer.insert(buffer.end(), {'X', 0});
    ASSERT_EQ(handle->SetValue(u"DeviceDesc", c.type, buffer.data(), static_cast<std::uint32_t>(c.data.size())),
              reg::kSuccess);
    LDNRecord record;
    record.KeyName = u"Case";
    record.DeviceDesc = u"kept";
    record.ReadLDN(store_, kPrinterClass);
    EXPECT_EQ(record.DeviceDesc, c.expected);
  }
}

TEST_P(OposStoreTest, WrittenBackARecordChangesOnlyWhatItChanged) {
  // An LDN of this tool that another program or an administrator has been at: values the record
  // cannot take whole, a string in another form, values that are missing.
  const std::u16string key = printer_ + u"\\POSPrinter80";
  SeedLdn(printer_, u"Shop", u"POSPrinter80");
  seed_.Sz(key, u"", u"Their.Service.Object." + std::u16string(246, u'x'));  // 268 characters
  seed_.Sz(key, u"DeviceDesc", std::u16string(300, u'd'));
  seed_.Raw(key, u"DeviceName", reg::kTypeMultiSz, {'o', 0, 'n', 0, 'e', 0, 0, 0, 0, 0});
  seed_.Raw(key, u"LDNName", reg::kTypeExpandSz, SzBytes(u"POSPrinter80"));
  seed_.Raw(key, u"TimeOut", reg::kTypeQword, {0x10, 0x27, 0, 0, 0, 0, 0, 0});
  seed_.Dword(key, u"Effects", 11);
  seed_.Dword(key, u"PortType", kPortUsb);
  seed_.Sz(key, u"Version", u"9.9");
  const std::vector<const char16_t*> untouched = {u"", u"DeviceDesc", u"DeviceName", u"LDNName",
                                                  u"TimeOut", u"Version", u"Effects", u"VersionSO"};
  std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> stored;
  for (const char16_t* name : untouched) stored.push_back(seed_.Value(key, name));

  LDNRecord record(store_, u"Shop", kPrinterClass);
  ASSERT_TRUE(record.KeyFound());
  std::vector<std::u16string> written;
  intercepting_.refuseValue = [&written](const std::u16string& name) {
    written.push_back(name);
    return reg::kSuccess;
  };
  // Unchanged, nothing but the missing values goes back.
  ASSERT_TRUE(record.WriteLDN(store_, u"POSPrinter80", kPrinterClass));
  EXPECT_THAT(written, ElementsAre(u"DeviceClass", u"CharCodePage", u"DotLineWidth", u"PortSetting"));
  EXPECT_THAT(record.KeptAsStored(), IsEmpty());

  record.PortType = kPortSerial;
  record.TimeOut = 2000;
  record.Effects = 11;
  written.clear();
  ASSERT_TRUE(record.WriteLDN(store_, u"POSPrinter80", kPrinterClass));
  EXPECT_THAT(written, ElementsAre(u"PortType")) << "only the changed value that the record could read";
  EXPECT_THAT(record.KeptAsStored(), ElementsAre(u"TimeOut"));
  for (std::size_t i = 0; i < untouched.size(); ++i) {
    SCOPED_TRACE(Narrow(untouched[i]));
    EXPECT_EQ(seed_.Value(key, untouched[i]), stored[i]) << "the same type and bytes as before";
  }
  EXPECT_EQ(seed_.Value(key, u"LDNName").first, reg::kTypeExpandSz);
  EXPECT_EQ(seed_.String(key, u"Version"), u"9.9");
  EXPECT_EQ(seed_.Number(key, u"PortType"), kPortSerial);
  EXPECT_EQ(seed_.String(key, u"DeviceClass"), u"") << "a missing value is written";
}

TEST_P(OposStoreTest, AKeyWithoutTheMarkerIsNeverWritten) {
  const struct {
    const char* what;
    std::uint32_t type;  // of "VersionSO"; 0 for none
    std::vector<std::uint8_t> versionSO;
  } cases[] = {
      {"no VersionSO", 0, {}},
      {"another program's VersionSO", reg::kTypeDword, DwordBytes(0x01000000)},
      {"VersionSO as text", reg::kTypeSz, SzBytes(u"0x41726400")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    const std::u16string key = printer_ + u"\\Shop";
    seed_.Sz(key, u"DeviceName", u"another program's");
    if (c.type != 0) seed_.Raw(key, u"VersionSO", c.type, c.versionSO);
    const std::string before = seed_.Snapshot(Root());
    LDNRecord read(store_, u"Shop", kPrinterClass);
    read.TimeOut = 2000;
    EXPECT_FALSE(read.WriteLDN(store_, u"Shop", kPrinterClass)) << "read from it";
    EXPECT_FALSE(LDNRecord().WriteLDN(store_, u"Shop", kPrinterClass)) << "a record of its own";
    EXPECT_EQ(seed_.Snapshot(Root()), before);
  }
}

TEST_P(OposStoreTest, AKeyInFrontOfAnAliasThatNamesAnotherKeySaysSo) {
  SeedLdn(printer_, u"Shop", u"POSPrinter80");
  seed_.Sz(printer_ + u"\\Shop", u"DeviceName", u"another program's");
  SeedLdn(printer_, u"Till", u"till");
  seed_.Sz(printer_ + u"\\Plain", u"DeviceName", u"no alias");
  const struct {
    std::u16string name;
    std::u16string key;
    bool shadows;
  } cases[] = {
      {u"Shop", u"Shop", true},
      {u"Till", u"Till", false},  // the alias names this very key
      {u"Plain", u"Plain", false},
      {u"POSPrinter80", u"POSPrinter80", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    const LDNRecord read(store_, c.name, kPrinterClass);
    EXPECT_TRUE(read.KeyFound());
    EXPECT_EQ(read.KeyName, c.key);
    EXPECT_EQ(read.ShadowsAlias(), c.shadows);
  }
}

// ---- Listing ------------------------------------------------------------------------------------

TEST_P(OposStoreTest, OnlyLdnsWithTheMarkerAreListed) {
  SeedLdn(printer_, u"Marked", u"K1");
  SeedLdn(printer_, u"Low byte set", u"K2", 0x417264FF);
  SeedLdn(printer_, u"Other marker", u"K3", 0x41726500);
  SeedLdn(printer_, u"Zero", u"K4", 0);
  seed_.Sz(printer_ + u"\\K5", u"VersionSO", u"0x41726400");
  seed_.Sz(printer_, u"String marker", u"K5");
  seed_.Sz(printer_ + u"\\K6", u"DeviceName", u"no marker");
  seed_.Sz(printer_, u"No marker", u"K6");
  seed_.Sz(printer_, u"No key", u"Missing");
  seed_.Dword(printer_ + u"\\K7", u"VersionSO", kMadeByToolMarker);  // a key without an alias
  seed_.Dword(printer_, u"Number alias", 7);
  EXPECT_THAT(Listed(kPrinterClass), UnorderedElementsAre(u"Marked", u"Low byte set"));
  std::vector<std::u16string> names;
  EXPECT_TRUE(store_.ListLDNs(kPrinterClass, names));
}

TEST_P(OposStoreTest, ListsAreInRegistryOrderAndEmptyWhenNothingIsFound) {
  EXPECT_THAT(Listed(kPrinterClass), IsEmpty()) << "no class key";
  std::vector<std::u16string> names{u"stale"};
  EXPECT_FALSE(store_.ListLDNs(kPrinterClass, names));
  EXPECT_FALSE(store_.ListLDNAliases(kPrinterClass, names));
  EXPECT_FALSE(store_.ListLDNKeys(kPrinterClass, names));
  EXPECT_THAT(names, IsEmpty());

  // Out of name order, and names that a sort by code unit would put in another order than the
  // registry's own, which lists values in the order they were made (Windows) or by name (Wine)
  // and subkeys by their upper-cased names, in which "_" follows the letters.
  SeedLdn(printer_, u"c shop", u"zeta");
  SeedLdn(printer_, u"A shop", u"a_b");
  seed_.Sz(printer_, u"Unmarked", u"Alpha");
  SeedLdn(printer_, u"_B shop", u"ab");
  SeedLdn(printer_, u"B shop", u"_under");
  const std::vector<std::u16string> values = RawValueNames(printer_);
  std::vector<std::u16string> marked;
  for (const std::u16string& name : values) {
    if (name != u"Unmarked") marked.push_back(name);
  }
  EXPECT_EQ(Listed(kPrinterClass), marked);
  EXPECT_TRUE(store_.ListLDNAliases(kPrinterClass, names));
  EXPECT_EQ(names, values);
  seed_.Key(printer_ + u"\\Alpha");
  EXPECT_TRUE(store_.ListLDNKeys(kPrinterClass, names));
  EXPECT_EQ(names, RawSubkeyNames(printer_));
  EXPECT_EQ(names.size(), 5u);
  EXPECT_THAT(Listed(kDrawerClass), IsEmpty());
}

TEST_P(OposStoreTest, AListingEndsWhenTheClassKeyIsDeletedMeanwhile) {
  for (const char* listing : {"LDNs", "aliases", "keys"}) {
    SCOPED_TRACE(listing);
    Clear();
    SeedLdn(printer_, u"A", u"K1");
    SeedLdn(printer_, u"B", u"K2");
    SeedLdn(printer_, u"C", u"K3");
    intercepting_.enumerateCalls = 0;
    intercepting_.enumerateLimit = 1000;
    intercepting_.beforeEnumerate = [this](std::uint32_t index) {
      if (index == 1) under_->RemoveTree(printer_);
    };
    std::vector<std::u16string> names;
    if (listing[0] == 'L') store_.ListLDNs(kPrinterClass, names);
    if (listing[0] == 'a') store_.ListLDNAliases(kPrinterClass, names);
    if (listing[0] == 'k') store_.ListLDNKeys(kPrinterClass, names);
    intercepting_.beforeEnumerate = nullptr;
    EXPECT_LE(intercepting_.enumerateCalls, 3u) << "the listing went on past the deleted key";
    EXPECT_LE(names.size(), 1u);
  }
}

TEST_P(OposStoreTest, EntriesAddedDuringAListingDoNotKeepItGoing) {
  SeedLdn(printer_, u"A", u"K1");
  SeedLdn(printer_, u"B", u"K2");
  int added = 0;
  intercepting_.enumerateLimit = 1000;
  // Another program adds an LDN for every entry the tool reads.
  intercepting_.beforeEnumerate = [&](std::uint32_t) {
    ++added;
    const std::u16string n = u"Added " + std::u16string(1, static_cast<char16_t>(u'a' + added % 26)) +
                             std::u16string(static_cast<std::size_t>(added / 26), u'+');
    seed_.Sz(printer_, n, u"K1");
    seed_.Key(printer_ + u"\\" + n);
  };
  // As many calls as there were entries, and a few more where a longer name came in.
  std::vector<std::u16string> names;
  store_.ListLDNs(kPrinterClass, names);
  EXPECT_LT(intercepting_.enumerateCalls, 10u);
  intercepting_.enumerateCalls = 0;
  store_.ListLDNKeys(kPrinterClass, names);
  EXPECT_LT(intercepting_.enumerateCalls, 10u);
  intercepting_.beforeEnumerate = nullptr;
}

TEST_P(OposStoreTest, NamesAndDataOfAnyLengthAreListedWhole) {
  const std::u16string longAlias(300, u'a');
  const std::u16string longKey = u"K" + std::u16string(200, u'k');
  SeedLdn(printer_, longAlias, u"Short");
  SeedLdn(printer_, u"Long target", longKey);
  seed_.Raw(printer_, u"Big data", reg::kTypeBinary, std::vector<std::uint8_t>(1000, 'x'));
  EXPECT_THAT(Listed(kPrinterClass), UnorderedElementsAre(longAlias, u"Long target"));
  std::vector<std::u16string> aliases;
  EXPECT_TRUE(store_.ListLDNAliases(kPrinterClass, aliases));
  EXPECT_THAT(aliases, UnorderedElementsAre(longAlias, u"Long target", u"Big data"));
  std::vector<std::u16string> keys;
  EXPECT_TRUE(store_.ListLDNKeys(kPrinterClass, keys));
  EXPECT_THAT(keys, UnorderedElementsAre(u"Short", longKey));
}

TEST_P(OposStoreTest, KeysAndAliasesAreListedWhateverTheyHold) {
  seed_.Key(printer_ + u"\\" + std::u16string(255, u'k'));
  seed_.Key(printer_ + u"\\Plain");
  seed_.Dword(printer_, u"Number", 1);
  seed_.Sz(printer_, u"", u"default");
  std::vector<std::u16string> keys;
  EXPECT_TRUE(store_.ListLDNKeys(kPrinterClass, keys));
  EXPECT_THAT(keys, UnorderedElementsAre(std::u16string(255, u'k'), u"Plain"));
  std::vector<std::u16string> aliases;
  EXPECT_TRUE(store_.ListLDNAliases(kPrinterClass, aliases));
  EXPECT_THAT(aliases, UnorderedElementsAre(u"Number", u""));
}

// ---- Creating -----------------------------------------------------------------------------------

TEST_P(OposStoreTest, CreatingInAnEmptyClass) {
  ClassKeysAsCorvaleStartsUpUnderWineWow64();
  EXPECT_EQ(store_.CreateLDN(u"Shop 1", kPrinterClass), kLdnCreated);
  const std::u16string key = printer_ + u"\\POSPrinter80";
  EXPECT_EQ(seed_.String(printer_, u"Shop 1"), u"POSPrinter80");
  EXPECT_EQ(seed_.String(key, u"LDNName"), u"POSPrinter80");
  EXPECT_EQ(seed_.String(key, u"DeviceName"), u"POSPrinter80");
  EXPECT_EQ(seed_.Number(key, u"PortType"), 0u);
  EXPECT_EQ(seed_.Number(key, u"VersionSO"), kMadeByToolMarker);
  EXPECT_THAT(Listed(kPrinterClass), ElementsAre(u"Shop 1"));
}

TEST_P(OposStoreTest, TheKeyNameIsTheFirstFreeOneInTheSequence) {
  const struct {
    std::vector<std::u16string> present;
    std::u16string chosen;
  } cases[] = {
      {{u"POSPrinter80", u"POSPrinter80_1"}, u"POSPrinter80_2"},
      {{u"POSPrinter80_1", u"POSPrinter80"}, u"POSPrinter80_2"},
      {{u"POSPrinter80_1"}, u"POSPrinter80"},
      {{u"POSPrinter80", u"POSPrinter80_2"}, u"POSPrinter80_1"},
      {{u"POSPrinter80_2", u"POSPrinter80_1", u"POSPrinter80"}, u"POSPrinter80_3"},
      {{u"posprinter80", u"POSPRINTER80_1"}, u"POSPrinter80_2"},
      {{u"Other", u"POSPrinter800"}, u"POSPrinter80"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.chosen));
    Clear();
    for (const std::u16string& name : c.present) seed_.Sz(printer_ + u"\\" + name, u"DeviceName", u"theirs");
    const std::string before = seed_.Snapshot(printer_);
    ASSERT_EQ(store_.CreateLDN(u"New", kPrinterClass), kLdnCreated);
    EXPECT_EQ(seed_.String(printer_, u"New"), c.chosen);
    EXPECT_EQ(seed_.String(printer_ + u"\\" + c.chosen, u"DeviceName"), u"POSPrinter80");
    for (const std::u16string& name : c.present) {
      EXPECT_EQ(seed_.String(printer_ + u"\\" + name, u"DeviceName"), u"theirs") << "an existing key was overwritten";
    }
  }
}

TEST_P(OposStoreTest, AnAliasTheRegistryTakesForTheSameNameIsRefused) {
  const struct {
    std::u16string existing;
    std::u16string typed;
  } cases[] = {
      {u"D\u01b0\u01a1ng", u"D\u01af\u01a0NG"},  // Vietnamese u and o with horn, Latin Extended-B
      {u"\u01cemb", u"\u01cdMB"},                  // a with caron, Latin Extended-B
      {u"\u1ea0n", u"\u1ea1N"},                    // a with dot below, Latin Extended Additional
      {u"Shop", u"sHOP"},
      {u"\u00c4rger", u"\u00e4RGER"},
      {u"\u03a9mega", u"\u03c9MEGA"},
      {u"\u0416uk", u"\u0436UK"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.typed));
    Clear();
    ClassKeysAsCorvaleStartsUpUnderWineWow64(false);
    ASSERT_EQ(store_.CreateLDN(c.existing, kPrinterClass), kLdnCreated);
    const std::string before = seed_.Snapshot(Root());
    EXPECT_EQ(store_.CreateLDN(c.typed, kPrinterClass), kLdnExists);
    EXPECT_EQ(seed_.Snapshot(Root()), before) << "nothing is written";
    EXPECT_EQ(seed_.String(printer_, c.existing), u"POSPrinter80");
  }
}

TEST_P(OposStoreTest, NamesTheRegistryKeepsApartAreBothCreated) {
  const struct {
    std::u16string first;
    std::u16string second;
  } cases[] = {
      {u"Stra\u00dfe", u"STRASSE"},   // no letter turns into two
      {u"Caf\u00e9", u"Cafe\u0301"},  // nor are names normalised
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.second));
    Clear();
    ClassKeysAsCorvaleStartsUpUnderWineWow64(false);
    ASSERT_EQ(store_.CreateLDN(c.first, kPrinterClass), kLdnCreated);
    EXPECT_EQ(store_.CreateLDN(c.second, kPrinterClass), kLdnCreated);
    EXPECT_EQ(seed_.String(printer_, c.first), u"POSPrinter80");
    EXPECT_EQ(seed_.String(printer_, c.second), u"POSPrinter80_1");
  }
}

TEST_P(OposStoreTest, ANameThatIsAKeyNameOfEitherClassIsRefused) {
  ClassKeysAsCorvaleStartsUpUnderWineWow64();
  ASSERT_EQ(store_.CreateLDN(u"Shop", kPrinterClass), kLdnCreated);
  ASSERT_EQ(store_.CreateLDN(u"Shop", kDrawerClass), kLdnCreated);
  seed_.Sz(drawer_ + u"\\Legacy", u"DeviceName", u"another program's");
  const std::string before = seed_.Snapshot(Root());
  for (const std::u16string name : {u"POSPrinter80", u"posprinter80", u"LEGACY"}) {
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      SCOPED_TRACE(Narrow(name) + " in " + Narrow(*deviceClass));
      EXPECT_EQ(store_.CreateLDN(name, *deviceClass), kLdnExists);
    }
  }
  EXPECT_EQ(seed_.Snapshot(Root()), before);
}

TEST_P(OposStoreTest, TheCheckOfANewNameAnswersAsCreationWouldAndWritesNothing) {
  ClassKeysAsCorvaleStartsUpUnderWineWow64();
  ASSERT_EQ(store_.CreateLDN(u"Shop", kPrinterClass), kLdnCreated);
  ASSERT_EQ(store_.CreateLDN(u"Shop", kDrawerClass), kLdnCreated);
  seed_.Sz(drawer_ + u"\\Legacy", u"DeviceName", u"another program's");
  seed_.Dword(printer_, u"Odd value", 7);
  const struct {
    std::u16string name;
    int printer;
    int drawer;
  } cases[] = {
      {u"Kitchen", kLdnCreated, kLdnCreated},
      {u"SHOP", kLdnExists, kLdnExists},
      {u"posprinter80", kLdnExists, kLdnExists},
      {u"Legacy", kLdnExists, kLdnExists},
      {u"odd VALUE", kLdnExists, kLdnCreated},
      {u"", kLdnError, kLdnError},
      {std::u16string(u"a\0b", 3), kLdnError, kLdnError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    const std::string before = seed_.Snapshot(Root());
    EXPECT_EQ(store_.CheckNewLDN(c.name, kPrinterClass), c.printer);
    EXPECT_EQ(store_.CheckNewLDN(c.name, kDrawerClass), c.drawer);
    EXPECT_EQ(seed_.Snapshot(Root()), before);
  }
  // Creation answers the same.
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    EXPECT_EQ(store_.CreateLDN(c.name, kDrawerClass), c.drawer);
  }
}

TEST_P(OposStoreTest, ANewKeyIsNeverNamedLikeAnAlias) {
  ClassKeysAsCorvaleStartsUpUnderWineWow64();
  // Another LDN answers to the stem's name: a key of that name would stand in front of it.
  SeedLdn(printer_, u"POSPrinter80", u"Theirs");
  ASSERT_EQ(store_.CreateLDN(u"Shop", kPrinterClass), kLdnCreated);
  EXPECT_EQ(seed_.String(printer_, u"Shop"), u"POSPrinter80_1");
  EXPECT_EQ(LDNRecord(store_, u"POSPrinter80", kPrinterClass).KeyName, u"Theirs");

  // A name that the next key would have gets a key of another name, in both classes alike.
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    EXPECT_EQ(store_.CreateLDN(u"posprinter80_2", *deviceClass), kLdnCreated) << Narrow(*deviceClass);
  }
  EXPECT_EQ(seed_.String(printer_, u"posprinter80_2"), u"POSPrinter80_3");
  EXPECT_EQ(seed_.String(drawer_, u"posprinter80_2"), u"POSPrinter80_4");
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    const LDNRecord record(store_, u"posprinter80_2", *deviceClass);
    EXPECT_EQ(record.LDNName, record.KeyName) << "the LDN's own key";
  }
}

TEST_P(OposStoreTest, AnEmptyNameCreatesNothing) {
  EXPECT_EQ(store_.CreateLDN(u"", kPrinterClass), kLdnError);
  EXPECT_FALSE(seed_.Exists(printer_));
  EXPECT_EQ(store_.CreateLDN(std::u16string(u"a\0b", 3), kPrinterClass), kLdnError);
  EXPECT_FALSE(seed_.Exists(printer_));
}

TEST_P(OposStoreTest, ANewKeyNameIsFreeAsAKeyAndAsAnAliasInBothClasses) {
  // "A" as this tool made it before, and a printer-only LDN that someone named like a key.
  SeedLdn(printer_, u"A", u"POSPrinter80");
  SeedLdn(drawer_, u"A", u"POSPrinter80");
  SeedLdn(printer_, u"POSPrinter80_1", u"Theirs");
  seed_.Sz(drawer_, u"posprinter80_3", u"Elsewhere");
  EXPECT_EQ(store_.CreateLDN(u"B", kPrinterClass), kLdnCreated);
  EXPECT_EQ(store_.CreateLDN(u"B", kDrawerClass), kLdnCreated);
  EXPECT_EQ(seed_.String(printer_, u"B"), u"POSPrinter80_2");
  EXPECT_EQ(seed_.String(drawer_, u"B"), u"POSPrinter80_4");
  EXPECT_FALSE(LDNRecord(store_, u"POSPrinter80_1", kDrawerClass).KeyFound())
      << "the printer-only LDN has no cash-drawer half, least of all B's";
  EXPECT_EQ(seed_.String(drawer_ + u"\\POSPrinter80_4", u""), u"POSPrinter.OPOS_CashDrawer_SO.2016");
  EXPECT_FALSE(seed_.Value(drawer_ + u"\\POSPrinter80_4", u"CharCodePage").first == reg::kTypeDword);
}

TEST_P(OposStoreTest, NewAmongManyKeysOfTheOtherClass) {
  // The other class holds the names this class leaves free, more of them than are asked about one
  // by one: it is listed, and the first name free in both is chosen all the same.
  for (int n = 1; n <= 40; n += 2) seed_.Key(printer_ + u"\\POSPrinter80_" + Utf16(std::to_string(n)));
  for (int n = 0; n <= 40; n += 2) {
    seed_.Key(drawer_ + u"\\" + (n == 0 ? std::u16string(u"POSPrinter80") : u"POSPrinter80_" + Utf16(std::to_string(n))));
  }
  EXPECT_EQ(store_.CreateLDN(u"New", kDrawerClass), kLdnCreated);
  EXPECT_EQ(seed_.String(drawer_, u"New"), u"POSPrinter80_41");
  EXPECT_EQ(store_.CreateLDN(u"New", kPrinterClass), kLdnCreated);
  EXPECT_EQ(seed_.String(printer_, u"New"), u"POSPrinter80_42");
}

TEST_P(OposStoreTest, AKeyMadeByAnotherProgramMeanwhileIsLeftToIt) {
  seed_.Key(printer_);
  intercepting_.beforeCreate = [this](const std::u16string& path) {
    if (path == printer_ + u"\\POSPrinter80") seed_.Sz(path, u"DeviceName", u"theirs");
  };
  EXPECT_EQ(store_.CreateLDN(u"Shop", kPrinterClass), kLdnCreated);
  EXPECT_EQ(seed_.String(printer_, u"Shop"), u"POSPrinter80_1");
  EXPECT_EQ(seed_.String(printer_ + u"\\POSPrinter80", u"DeviceName"), u"theirs");
  EXPECT_THAT(seed_.ValueNames(printer_ + u"\\POSPrinter80"), ElementsAre(u"DeviceName"));
}

TEST_P(OposStoreTest, AFailedCreationLeavesNothingBehind) {
  const struct {
    const char* what;
    std::u16string refused;  // a value that cannot be written
    bool aliasesLocked;      // the class key lets keys be made under it but takes no alias
    int result;
  } cases[] = {
      {"a value of the record", u"VersionSO", false, kLdnError},
      {"the alias", u"Shop", false, kLdnError},
      {"the class key", u"", true, kLdnNoPermission},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    seed_.Sz(printer_ + u"\\POSPrinter80", u"DeviceName", u"theirs");
    const std::string before = seed_.Snapshot(Root());
    if (c.aliasesLocked) {
      ASSERT_TRUE(under_->RestrictAccess(printer_, reg::kRead | reg::kCreateSubKey));
    }
    intercepting_.refuseValue = [&c](const std::u16string& name) {
      return !c.refused.empty() && name == c.refused ? reg::kAccessDenied : reg::kSuccess;
    };
    for (int attempt = 0; attempt < 3; ++attempt) EXPECT_EQ(store_.CreateLDN(u"Shop", kPrinterClass), c.result);
    EXPECT_EQ(seed_.Snapshot(Root()), before) << "the keys it made are gone";

    // The tries took no key names away.
    intercepting_.refuseValue = nullptr;
    if (c.aliasesLocked) {
      ASSERT_TRUE(under_->RestrictAccess(printer_, reg::kAllAccess));
    }
    EXPECT_EQ(store_.CreateLDN(u"Shop", kPrinterClass), kLdnCreated);
    EXPECT_EQ(seed_.String(printer_, u"Shop"), u"POSPrinter80_1");
  }
}

TEST_P(OposStoreTest, AKeyThatAFailedCreationCannotRemoveIsNamed) {
  seed_.Key(printer_);
  // The record cannot be written, and meanwhile the new key got a subkey that keeps it from going.
  intercepting_.refuseValue = [this](const std::u16string& name) {
    if (name != u"VersionSO") return reg::kSuccess;
    seed_.Key(printer_ + u"\\POSPrinter80\\Held");
    return reg::kAccessDenied;
  };
  std::u16string left = u"stale";
  EXPECT_EQ(store_.CreateLDN(u"Shop", kPrinterClass, &left), kLdnError);
  EXPECT_EQ(left, u"POSPrinter80");

  intercepting_.refuseValue = nullptr;
  EXPECT_EQ(store_.CreateLDN(u"Till", kPrinterClass, &left), kLdnCreated);
  EXPECT_EQ(left, u"");
}

// ---- Deleting -----------------------------------------------------------------------------------

TEST_P(OposStoreTest, DeletingRemovesTheAliasAndItsKey) {
  ClassKeysAsCorvaleStartsUpUnderWineWow64();
  ASSERT_EQ(store_.CreateLDN(u"Shop", kPrinterClass), kLdnCreated);
  ASSERT_EQ(store_.CreateLDN(u"Shop", kDrawerClass), kLdnCreated);
  ASSERT_EQ(store_.CreateLDN(u"Other", kPrinterClass), kLdnCreated);
  const std::u16string drawerKey = drawer_ + u"\\" + seed_.String(drawer_, u"Shop");
  const std::u16string otherKey = printer_ + u"\\" + seed_.String(printer_, u"Other");
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"Shop"), kLdnDeleted);
  EXPECT_EQ(store_.DeleteLDN(kDrawerClass, u"Shop"), kLdnDeleted);
  EXPECT_FALSE(seed_.Exists(printer_ + u"\\POSPrinter80"));
  EXPECT_FALSE(seed_.Exists(drawerKey));
  EXPECT_THAT(Listed(kPrinterClass), ElementsAre(u"Other"));
  EXPECT_TRUE(seed_.Exists(otherKey));
}

TEST_P(OposStoreTest, DeletingWhatHasNoAliasChangesNothing) {
  ClassKeysAsCorvaleStartsUpUnderWineWow64(false);
  ASSERT_EQ(store_.CreateLDN(u"Shop", kPrinterClass), kLdnCreated);
  seed_.Dword(printer_, u"Number", 1);
  const std::string before = seed_.Snapshot(Root());
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"POSPrinter80"), kLdnNotFound) << "a key name is not an alias";
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"Number"), kLdnNotFound) << "not a string";
  EXPECT_EQ(store_.DeleteLDN(kDrawerClass, u"Shop"), kLdnClassLocked) << "no cash-drawer class key";
  EXPECT_EQ(seed_.Snapshot(Root()), before);
  seed_.Key(drawer_);
  EXPECT_EQ(store_.DeleteLDN(kDrawerClass, u"Shop"), kLdnNotFound);
}

TEST_P(OposStoreTest, OnlyAnLdnThisToolMadeIsDeleted) {
  const struct {
    const char* what;
    std::u16string target;  // the alias's data
    std::uint32_t type;     // of "VersionSO" in the key under the class key; 0 for none
    std::vector<std::uint8_t> versionSO;
  } cases[] = {
      {"a key without VersionSO", u"Theirs", 0, {}},
      {"VersionSO as text", u"Theirs", reg::kTypeSz, SzBytes(u"0x41726400")},
      {"another program's VersionSO", u"Theirs", reg::kTypeDword, DwordBytes(0x01000000)},
      {"a marker of another high byte", u"Theirs", reg::kTypeDword, DwordBytes(0x42726400)},
      {"no key at all", u"Missing", 0, {}},
      {"the class key itself", u"", reg::kTypeDword, DwordBytes(kMadeByToolMarker)},
      {"a key further down", u"Theirs\\Inner", reg::kTypeDword, DwordBytes(kMadeByToolMarker)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    seed_.Sz(printer_ + u"\\Theirs", u"DeviceName", u"another program's");
    if (c.type != 0) seed_.Raw(printer_ + u"\\Theirs", u"VersionSO", c.type, c.versionSO);
    // Only where the alias leads further down: a subkey would keep "Theirs" from going anyway.
    if (c.target.find(u'\\') != std::u16string::npos) {
      seed_.Dword(printer_ + u"\\Theirs\\Inner", u"VersionSO", kMadeByToolMarker);
    }
    seed_.Dword(printer_, u"VersionSO", kMadeByToolMarker);
    seed_.Sz(printer_, u"Odd", c.target);
    const std::string before = seed_.Snapshot(Root());
    EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"Odd"), kLdnNotFound);
    EXPECT_EQ(seed_.Snapshot(Root()), before);
  }

  Clear();
  SeedLdn(printer_, u"Ours", u"POSPrinter80", 0x417264FF);
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"Ours"), kLdnDeleted) << "the low byte is free";
  EXPECT_THAT(seed_.SubkeyNames(printer_), IsEmpty());
  EXPECT_THAT(seed_.ValueNames(printer_), IsEmpty());
}

TEST_P(OposStoreTest, AKeyThatAnotherAliasStillNamesStays) {
  // The second alias names the key in other letters, Latin Extended-B among them.
  SeedLdn(printer_, u"First", u"Shared\u01a1");
  seed_.Sz(printer_, u"Second", u"SHARED\u01a0");
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"First"), kLdnDeleted);
  EXPECT_TRUE(seed_.Exists(printer_ + u"\\Shared\u01a1"));
  EXPECT_THAT(Listed(kPrinterClass), ElementsAre(u"Second"));
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"Second"), kLdnDeleted);
  EXPECT_FALSE(seed_.Exists(printer_ + u"\\Shared\u01a1"));
}

TEST_P(OposStoreTest, AKeyThatCannotBeRemovedKeepsItsLdnWhole) {
  SeedLdn(printer_, u"Shop", u"POSPrinter80");
  seed_.Key(printer_ + u"\\POSPrinter80\\Extra");
  const std::string before = seed_.Snapshot(Root());
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"Shop"), kLdnNotFound);
  EXPECT_EQ(seed_.Snapshot(Root()), before);
  EXPECT_THAT(Listed(kPrinterClass), ElementsAre(u"Shop"));
}

TEST_P(OposStoreTest, DeletingAnAliasOfAnyLength) {
  const std::u16string alias(300, u'a');
  SeedLdn(printer_, alias, u"POSPrinter80");
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, alias), kLdnDeleted);
  EXPECT_THAT(seed_.ValueNames(printer_), IsEmpty());
  EXPECT_FALSE(seed_.Exists(printer_ + u"\\POSPrinter80"));
}

TEST_P(OposStoreTest, AClassKeyThatCannotBeWrittenRefusesDeletion) {
  SeedLdn(printer_, u"Shop", u"POSPrinter80");
  ASSERT_TRUE(under_->RestrictAccess(printer_, reg::kRead));
  EXPECT_EQ(store_.DeleteLDN(kPrinterClass, u"Shop"), kLdnClassLocked);
  EXPECT_THAT(Listed(kPrinterClass), ElementsAre(u"Shop"));
}

std::string StoreParamName(const ::testing::TestParamInfo<StoreParam>& p) {
  return std::get<0>(p.param).name + (std::get<1>(p.param) == kArchitectureX86 ? "_x86" : "_x64");
}

INSTANTIATE_TEST_SUITE_P(Store, OposStoreTest,
                         ::testing::Combine(::testing::ValuesIn(RegistryBackends()),
                                            ::testing::Values(kArchitectureX86, kArchitectureAmd64)),
                         StoreParamName);

}  // namespace
}  // namespace corvale::testing
