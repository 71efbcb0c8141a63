// Velmara's command line: split as Windows splits it, and read into a command.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using Args = std::vector<std::string>;

const std::array<std::string, 7> kModels = {"DUR-58", "DUR-58C", "RUD-80", "RUD-80C", "DAD-90", "DIZ-76", "DIZ-76C"};

TEST(SplitCommandLine, AsCommandLineToArgvWSplitsIt) {
  const std::string longPath = "C:\\" + std::string(150, 'a') + "\\" + std::string(150, 'b') + "\\till.log";
  const struct {
    std::string line;
    Args expected;
  } cases[] = {
      {"Velmara.exe", {}},
      {"Velmara.exe   \t ", {}},
      {"\"C:\\Program Files\\Velmara.exe\"", {}},
      {"\"C:\\My Medium\\Velmara.exe\" /install RUD-80", {"/install", "RUD-80"}},
      // The program's name ends at its closing quotation mark, blank or not.
      {"\"C:\\a b\\Velmara.exe\"/install x", {"/install", "x"}},
      // Backslashes and quotation marks in an unquoted program name are only characters.
      {"C:\\odd\"name\\Velmara.exe /checkusb", {"/checkusb"}},
      {"Velmara.exe  /install \t \"RUD-80\"  ", {"/install", "RUD-80"}},
      {"Velmara.exe\t/log\t\"C:\\my logs\\till 1.log\"", {"/log", "C:\\my logs\\till 1.log"}},
      // A path that ends in a backslash before the closing mark swallows the mark.
      {"Velmara.exe /log \"C:\\logs\\\" /quiet", {"/log", "C:\\logs\" /quiet"}},
      {"Velmara.exe /log \"C:\\logs\\\\\" /quiet", {"/log", "C:\\logs\\", "/quiet"}},
      {"Velmara.exe a\\\\\\\"b", {"a\\\"b"}},
      {"Velmara.exe a\\\\\\\\\"b c\"", {"a\\\\b c"}},
      {"Velmara.exe \\\\server\\share\\a\\\\b", {"\\\\server\\share\\a\\\\b"}},
      {"Velmara.exe a\"b c\"d", {"ab cd"}},
      // Two marks inside a quoted part: one literal mark, and the part is closed.
      {"Velmara.exe \"a\"\"b\"", {"a\"b"}},
      {"Velmara.exe \"a\"\"b c\"", {"a\"b", "c"}},
      {"Velmara.exe \"a\"\"\"b c\"", {"a\"b c"}},
      {"Velmara.exe \"\"\"\"", {"\""}},
      {"Velmara.exe \"\" x \"\"", {"", "x", ""}},
      {"Velmara.exe \"unterminated part", {"unterminated part"}},
      {"Velmara.exe /log \"D:\\日志\\安装 1.log\" /install 𝔘", {"/log", "D:\\日志\\安装 1.log", "/install", "𝔘"}},
      {"Velmara.exe /log \"" + longPath + "\"", {"/log", longPath}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitCommandLine(c.line), c.expected);
  }
}

TEST(ParseVelmaraArguments, WithoutArgumentsTheDialog) {
  EXPECT_EQ(ParseVelmaraArguments({}, kModels).kind, CommandKind::kDialog);
}

TEST(ParseVelmaraArguments, Installations) {
  const struct {
    Args arguments;
    int model;
    std::string port;
    bool setDefault, testPage, quiet;
    std::string log;
  } cases[] = {
      {{"/install", "RUD-80"}, 2, "USB", false, false, false, ""},
      {{"/install", "rud-80c"}, 3, "USB", false, false, false, ""},
      {{"/INSTALL", "diz-76C", "/Port", "lpt1:", "/DEFAULT", "/testpage", "/Quiet", "/LOG", "C:\\a b\\v.log"},
       6, "LPT1:", true, true, true, "C:\\a b\\v.log"},
      {{"/quiet", "/port", "LPT1", "/install", "DUR-58"}, 0, "LPT1:", false, false, true, ""},
      {{"/install", "DAD-90", "/port", "usb"}, 4, "USB", false, false, false, ""},
      {{"/install", "DUR-58C", "/port", "usb012"}, 1, "USB012", false, false, false, ""},
      {{"/install", "DIZ-76", "/port", "USB1000"}, 5, "USB1000", false, false, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const VelmaraCommand command = ParseVelmaraArguments(c.arguments, kModels);
    EXPECT_EQ(command.kind, CommandKind::kInstall) << command.problem;
    EXPECT_EQ(command.modelIndex, c.model);
    EXPECT_EQ(command.port, c.port);
    EXPECT_EQ(command.setDefault, c.setDefault);
    EXPECT_EQ(command.testPage, c.testPage);
    EXPECT_EQ(command.quiet, c.quiet);
    EXPECT_EQ(command.logFile, c.log);
  }
}

TEST(ParseVelmaraArguments, PortPages) {
  VelmaraCommand command = ParseVelmaraArguments({"/CheckUSB"}, kModels);
  EXPECT_EQ(command.kind, CommandKind::kCheckUsb);
  EXPECT_FALSE(command.quiet);
  command = ParseVelmaraArguments({"/log", "checks.log", "/checkusb", "/quiet"}, kModels);
  EXPECT_EQ(command.kind, CommandKind::kCheckUsb);
  EXPECT_TRUE(command.quiet);
  EXPECT_EQ(command.logFile, "checks.log");
}

TEST(ParseVelmaraArguments, TheUsageWhereverItIsAskedFor) {
  for (const Args& arguments : {Args{"/?"}, Args{"/install", "RUD-80", "/?"}, Args{"/?", "/bogus"}}) {
    EXPECT_EQ(ParseVelmaraArguments(arguments, kModels).kind, CommandKind::kUsage);
  }
}

TEST(ParseVelmaraArguments, WhatItDoesNotUnderstandIsNamed) {
  const struct {
    Args arguments;
    const char* problem;
  } cases[] = {
      {{"/install"}, "/install needs a model"},
      {{"/install", "/quiet"}, "/install needs a model"},
      {{"/install", "RUD-81"}, "\"RUD-81\" is not one of the models"},
      {{"/install", "RUD 80"}, "\"RUD 80\" is not one of the models"},
      {{"/install", "RUD-80", "/port"}, "/port needs a port"},
      {{"/install", "RUD-80", "/port", "COM1"}, "\"COM1\" is not a port"},
      {{"/install", "RUD-80", "/port", "USB01"}, "\"USB01\" is not a port"},
      {{"/install", "RUD-80", "/port", "USB00x"}, "\"USB00x\" is not a port"},
      {{"/install", "RUD-80", "/port", "LPT2:"}, "\"LPT2:\" is not a port"},
      {{"/install", "RUD-80", "/log"}, "/log needs a file name"},
      {{"/install", "RUD-80", "/log", "/quiet"}, "/log needs a file name"},
      {{"/install", "RUD-80", "/log", ""}, "/log needs a file name"},
      {{"/install", "RUD-80", "/install", "DUR-58"}, "/install is given twice"},
      {{"/install", "RUD-80", "/quiet", "/QUIET"}, "/QUIET is given twice"},
      {{"/install", "RUD-80", "/checkusb"}, "/install and /checkusb do not go together"},
      {{"/checkusb", "/default"}, "/port, /default and /testpage go with /install"},
      {{"/checkusb", "/port", "USB001"}, "/port, /default and /testpage go with /install"},
      {{"/quiet"}, "/install or /checkusb is needed"},
      {{"install", "RUD-80"}, "not understood: install"},
      {{"-install", "RUD-80"}, "not understood: -install"},
      {{"/install", "RUD-80", "USB001"}, "not understood: USB001"},
      {{""}, "not understood: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const VelmaraCommand command = ParseVelmaraArguments(c.arguments, kModels);
    EXPECT_EQ(command.kind, CommandKind::kBadArguments);
    EXPECT_EQ(command.problem.substr(0, std::string(c.problem).size()), c.problem) << command.problem;
  }
}

TEST(ParseVelmaraArguments, ARunWithBadArgumentsStaysQuietAndKeepsItsLog) {
  const VelmaraCommand command = ParseVelmaraArguments({"/bogus", "/quiet", "/log", "C:\\till.log"}, kModels);
  EXPECT_EQ(command.kind, CommandKind::kBadArguments);
  EXPECT_TRUE(command.quiet);
  EXPECT_EQ(command.logFile, "C:\\till.log");
}

TEST(VelmaraUsage, NamesTheCommandsTheModelsAndTheExitCodes) {
  const std::string usage = VelmaraUsage();
  for (const char* part : {"/install MODEL", "/checkusb", "/port USB|LPT1:|USBnnn", "/default", "/testpage", "/quiet",
                           "/log FILE", "DUR-58, DUR-58C, RUD-80, RUD-80C, DAD-90, DIZ-76 or DIZ-76C", "0 done",
                           "2 bad arguments", "3 model not on the medium", "4 no USB printer found",
                           "5 driver files missing", "6 the spooler refused", "7 test page failed"}) {
    EXPECT_THAT(usage, HasSubstr(part));
  }
}

}  // namespace
}  // namespace velmara::testing
