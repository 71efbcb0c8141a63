// Finding the LDN to test, as an OPOS control object does, against the in-memory registry and,
// under Wine, the real one.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "fake_dunlith_view.h"
#include "ports/ldn_lookup.h"
#include "registry_backends.h"
#include "registry_fixture.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"

namespace dunlith::testing {
namespace {

using corvale::kDrawerClass;
using corvale::kPrinterClass;
using corvale::LDNRecord;

using LookupParam = std::tuple<corvale::testing::RegistryBackend, std::uint16_t>;

class LdnLookupTest : public ::testing::TestWithParam<LookupParam> {
 protected:
  LdnLookupTest()
      : under_(std::get<0>(GetParam()).make()),
        system_(std::get<1>(GetParam())),
        store_(under_->registry(), system_),
        seed_(under_->registry()) {}

  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  void Clear() {
    under_->RemoveTree(store_.ClassKeyPath(kPrinterClass));
    under_->RemoveTree(store_.ClassKeyPath(kDrawerClass));
  }

  // An LDN as Corvale makes and applies it, in one class or both.
  void AddLdn(const std::u16string& name, std::uint32_t portType, std::uint32_t portSetting, bool withDrawer = true) {
    std::vector<const std::u16string*> classes{&kPrinterClass};
    if (withDrawer) classes.push_back(&kDrawerClass);
    for (const std::u16string* deviceClass : classes) {
      store_.EnsureClassKeys(*deviceClass);
      ASSERT_EQ(store_.CreateLDN(name, *deviceClass), corvale::kLdnCreated);
      LDNRecord record(store_, name, *deviceClass);
      record.PortType = portType;
      record.PortSetting = portSetting;
      record.TimeOut = 2500;
      record.CharCodePage = 850;
      record.DotLineWidth = 640;
      ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
    }
  }

  std::u16string PrinterKeyOf(const std::u16string& name) {
    return store_.ClassKeyPath(kPrinterClass) + u"\\" + seed_.String(store_.ClassKeyPath(kPrinterClass), name);
  }

  std::unique_ptr<corvale::testing::RegistryUnderTest> under_;
  FixedArchitecture system_;
  corvale::OposStore store_;
  corvale::testing::RegistrySeed seed_;
};

TEST_P(LdnLookupTest, ReadsTheSettingsOfAnAppliedLdnThroughItsAlias) {
  AddLdn(u"Shop 1", corvale::kPortEthernet, 0xC0A80164);
  const TestTarget target = LookUpLdn(store_, u"Shop 1");
  ASSERT_EQ(target.problem, LdnProblem::kNone);
  EXPECT_EQ(target.printer.KeyName, u"POSPrinter80");
  EXPECT_EQ(target.port.kind, PortKind::kEthernet);
  EXPECT_EQ(target.port.address, 0xC0A80164u);
  EXPECT_EQ(target.port.tcpPort, 9100);
  EXPECT_EQ(target.port.timeoutMs, 2500u);
  EXPECT_EQ(target.printer.CharCodePage, 850u);
  EXPECT_EQ(target.printer.DotLineWidth, 640u);
  EXPECT_TRUE(target.hasDrawer);
  EXPECT_EQ(PortWords(target.port), "192.168.1.100:9100");
}

TEST_P(LdnLookupTest, TakesTheKeyOfThatNameBeforeAnAlias) {
  AddLdn(u"A", corvale::kPortUsb, 0);
  AddLdn(u"B", corvale::kPortSerial, 0x0203);
  // The alias "POSPrinter80" names B's key, but a key of that very name exists: A's.
  const std::u16string keyOfB = seed_.String(store_.ClassKeyPath(kPrinterClass), u"B");
  ASSERT_NE(keyOfB, u"POSPrinter80");
  seed_.Sz(store_.ClassKeyPath(kPrinterClass), u"POSPrinter80", keyOfB);
  const TestTarget target = LookUpLdn(store_, u"POSPrinter80");
  ASSERT_EQ(target.problem, LdnProblem::kNone);
  EXPECT_EQ(target.port.kind, PortKind::kUsb);
  EXPECT_EQ(ResolveLdnKey(store_, u"B", kPrinterClass), keyOfB);
}

TEST_P(LdnLookupTest, SerialSettingsComeFromTheLowTwoBytes) {
  AddLdn(u"Till", corvale::kPortSerial, 0xC0A80203);  // bytes 2 and 3 left from an address
  const TestTarget target = LookUpLdn(store_, u"Till");
  ASSERT_EQ(target.problem, LdnProblem::kNone);
  EXPECT_EQ(target.port.kind, PortKind::kSerial);
  EXPECT_EQ(target.port.comNumber, 3u);
  EXPECT_EQ(target.port.baud, 19200u);
  EXPECT_EQ(PortWords(target.port), "COM3 at 19200");
}

TEST_P(LdnLookupTest, RefusesWhatCannotBeTested) {
  AddLdn(u"Fresh", 0, 1);
  AddLdn(u"Odd type", 7, 0);
  AddLdn(u"No COM", corvale::kPortSerial, 0x0200);
  AddLdn(u"No baud", corvale::kPortSerial, 0x0005);
  AddLdn(u"Bad baud", corvale::kPortSerial, 0x0505);
  AddLdn(u"No address", corvale::kPortEthernet, 0);
  AddLdn(u"Foreign", corvale::kPortUsb, 0);
  seed_.Dword(PrinterKeyOf(u"Foreign"), u"VersionSO", 0x12345678);
  AddLdn(u"String marker", corvale::kPortUsb, 0);
  seed_.Sz(PrinterKeyOf(u"String marker"), u"VersionSO", u"1098015744");
  const struct {
    std::u16string name;
    LdnProblem problem;
  } cases[] = {
      {u"", LdnProblem::kNoName},
      {u"Nobody", LdnProblem::kUnknown},
      {u"Fresh", LdnProblem::kNotApplied},
      {u"Odd type", LdnProblem::kUnknownPortType},
      {u"No COM", LdnProblem::kNoSerialPort},
      {u"No baud", LdnProblem::kNoBaudRate},
      {u"Bad baud", LdnProblem::kNoBaudRate},
      {u"No address", LdnProblem::kNoAddress},
      {u"Foreign", LdnProblem::kNotMadeByTool},
      {u"String marker", LdnProblem::kNotMadeByTool},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
    EXPECT_EQ(LookUpLdn(store_, c.name).problem, c.problem);
  }
}

TEST_P(LdnLookupTest, AnAliasWhoseKeyIsGoneIsUnknown) {
  AddLdn(u"Gone", corvale::kPortUsb, 0);
  under_->RemoveTree(PrinterKeyOf(u"Gone"));
  EXPECT_EQ(LookUpLdn(store_, u"Gone").problem, LdnProblem::kUnknown);
}

TEST_P(LdnLookupTest, ANameCannotReachAKeyBelowAnother) {
  AddLdn(u"Shop", corvale::kPortUsb, 0);
  seed_.Dword(PrinterKeyOf(u"Shop") + u"\\Inner", u"VersionSO", corvale::kMadeByToolMarker);
  seed_.Dword(PrinterKeyOf(u"Shop") + u"\\Inner", u"PortType", corvale::kPortUsb);
  EXPECT_EQ(LookUpLdn(store_, u"POSPrinter80\\Inner").problem, LdnProblem::kUnknown);
  // Nor through an alias that holds a path.
  seed_.Sz(store_.ClassKeyPath(kPrinterClass), u"Sneaky", u"POSPrinter80\\Inner");
  EXPECT_EQ(LookUpLdn(store_, u"Sneaky").problem, LdnProblem::kUnknown);
}

TEST_P(LdnLookupTest, TheDrawerCountsOnlyWhenItsHalfExistsAndIsMarked) {
  AddLdn(u"Both", corvale::kPortUsb, 0);
  AddLdn(u"Printer only", corvale::kPortUsb, 0, false);
  AddLdn(u"Foreign drawer", corvale::kPortUsb, 0);
  const std::u16string drawerClass = store_.ClassKeyPath(kDrawerClass);
  seed_.Dword(drawerClass + u"\\" + seed_.String(drawerClass, u"Foreign drawer"), u"VersionSO", 0);
  EXPECT_TRUE(LookUpLdn(store_, u"Both").hasDrawer);
  EXPECT_FALSE(LookUpLdn(store_, u"Printer only").hasDrawer);
  EXPECT_FALSE(LookUpLdn(store_, u"Foreign drawer").hasDrawer);
}

TEST_P(LdnLookupTest, ReadsWithoutAdministratorRights) {
  AddLdn(u"Shop 1", corvale::kPortUsb, 0);
  if (!under_->SetAdministrator(false)) GTEST_SKIP() << "this registry cannot drop its rights";
  const TestTarget target = LookUpLdn(store_, u"Shop 1");
  under_->SetAdministrator(true);
  EXPECT_EQ(target.problem, LdnProblem::kNone);
  EXPECT_TRUE(target.hasDrawer);
}

TEST_P(LdnLookupTest, ATimeOutOfZeroMeansTheDefault) {
  AddLdn(u"Zero", corvale::kPortUsb, 0);
  seed_.Dword(PrinterKeyOf(u"Zero"), u"TimeOut", 0);
  EXPECT_EQ(LookUpLdn(store_, u"Zero").port.timeoutMs, 1000u);
}

TEST_P(LdnLookupTest, TheParameterTextIsTheNameExactlyAndOnlyThenWithoutItsQuotes) {
  AddLdn(u" Shop", corvale::kPortUsb, 0);
  AddLdn(u"Shop", corvale::kPortSerial, 0x0203);
  AddLdn(u"\"Shop\"", corvale::kPortEthernet, 0xC0A80164);
  AddLdn(u"Typed", corvale::kPortSerial, 0x0105);
  const struct {
    std::u16string parameters;
    LdnProblem problem;
    std::u16string name;
    unsigned comNumber;  // 0: USB, 1: Ethernet
  } cases[] = {
      {u" Shop", LdnProblem::kNone, u" Shop", 0},
      {u"Shop", LdnProblem::kNone, u"Shop", 3},
      {u"\"Shop\"", LdnProblem::kNone, u"\"Shop\"", 1},
      {u"\"Typed\"", LdnProblem::kNone, u"Typed", 5},
      {u"\" Shop\"", LdnProblem::kNone, u" Shop", 0},
      {u"Shop ", LdnProblem::kUnknown, u"Shop ", 0},
      {u"  Shop", LdnProblem::kUnknown, u"  Shop", 0},
      {u"\"Typed", LdnProblem::kUnknown, u"\"Typed", 0},
      {u"\"Nobody\"", LdnProblem::kUnknown, u"Nobody", 0},
      {u"\"\"", LdnProblem::kNoName, u"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.parameters.begin(), c.parameters.end()));
    const TestTarget target = LookUpNamedLdn(store_, c.parameters);
    EXPECT_EQ(target.problem, c.problem);
    EXPECT_EQ(target.name, c.name);
    if (c.problem != LdnProblem::kNone) continue;
    switch (c.comNumber) {
      case 0: EXPECT_EQ(target.port.kind, PortKind::kUsb); break;
      case 1: EXPECT_EQ(target.port.kind, PortKind::kEthernet); break;
      default:
        EXPECT_EQ(target.port.kind, PortKind::kSerial);
        EXPECT_EQ(target.port.comNumber, c.comNumber);
    }
  }
}

TEST_P(LdnLookupTest, ATimeOutBeyondAMinuteIsCappedAndLeftAsStored) {
  AddLdn(u"Forever", corvale::kPortUsb, 0);
  const struct {
    std::uint32_t stored;
    std::uint32_t used;
    bool capped;
  } cases[] = {
      {0xFFFFFFFF, 60000, true}, {60001, 60000, true}, {60000, 60000, false}, {10000, 10000, false}, {0, 1000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    seed_.Dword(PrinterKeyOf(u"Forever"), u"TimeOut", c.stored);
    const TestTarget target = LookUpLdn(store_, u"Forever");
    EXPECT_EQ(target.port.timeoutMs, c.used);
    EXPECT_EQ(target.timeOutCapped, c.capped);
    EXPECT_EQ(target.printer.TimeOut, c.stored);
    EXPECT_EQ(corvale::LDNRecord(store_, target.printer.KeyName, kPrinterClass).TimeOut, c.stored)
        << "the stored value stays as it is";
  }
}

INSTANTIATE_TEST_SUITE_P(Registries, LdnLookupTest,
                         ::testing::Combine(::testing::ValuesIn(corvale::testing::RegistryBackends()),
                                            ::testing::Values(corvale::kArchitectureX86, corvale::kArchitectureAmd64)),
                         [](const ::testing::TestParamInfo<LookupParam>& param) {
                           return std::get<0>(param.param).name +
                                  (std::get<1>(param.param) == corvale::kArchitectureX86 ? "_x86" : "_x64");
                         });

TEST(LdnLookup, NoRegistryLocationOnOtherArchitectures) {
  auto under = corvale::testing::MakeMemoryRegistryUnderTest();
  FixedArchitecture unknown(corvale::kArchitectureUnknown);
  corvale::OposStore store(under->registry(), unknown);
  EXPECT_EQ(LookUpLdn(store, u"Shop").problem, LdnProblem::kNoRegistryLocation);
}

}  // namespace
}  // namespace dunlith::testing
