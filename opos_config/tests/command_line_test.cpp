// Corvale's command line: split as Windows splits it, and read into a command.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "registry_fixture.h"

namespace corvale::testing {
namespace {

using ::testing::HasSubstr;

using Args = std::vector<std::u16string>;

TEST(SplitCommandLine, AsCommandLineToArgvWSplitsIt) {
  const std::u16string longPath = u"C:\\" + std::u16string(150, u'a') + u"\\" + std::u16string(150, u'b') + u"\\till.ini";
  const struct {
    std::u16string line;
    Args expected;
  } cases[] = {
      {u"Corvale.exe", {}},
      {u"Corvale.exe   \t ", {}},
      {u"\"C:\\Program Files\\Corvale.exe\"", {}},
      {u"\"C:\\My Tools\\Corvale.exe\" /import tills.ini", {u"/import", u"tills.ini"}},
      {u"\"C:\\a b\\Corvale.exe\"/list", {u"/list"}},
      {u"C:\\odd\"name\\Corvale.exe /list", {u"/list"}},
      {u"Corvale.exe  /export \t \"C:\\shop settings\\till 1.ini\"  ", {u"/export", u"C:\\shop settings\\till 1.ini"}},
      {u"Corvale.exe /export \"C:\\out\\\" /quiet", {u"/export", u"C:\\out\" /quiet"}},
      {u"Corvale.exe /export \"C:\\out\\\\\" /quiet", {u"/export", u"C:\\out\\", u"/quiet"}},
      {u"Corvale.exe a\\\\\\\"b", {u"a\\\"b"}},
      {u"Corvale.exe a\\\\\\\\\"b c\"", {u"a\\\\b c"}},
      {u"Corvale.exe \\\\server\\share\\a\\\\b", {u"\\\\server\\share\\a\\\\b"}},
      {u"Corvale.exe a\"b c\"d", {u"ab cd"}},
      {u"Corvale.exe \"a\"\"b\"", {u"a\"b"}},
      {u"Corvale.exe \"a\"\"b c\"", {u"a\"b", u"c"}},
      {u"Corvale.exe \"a\"\"\"b c\"", {u"a\"b c"}},
      {u"Corvale.exe \"\"\"\"", {u"\""}},
      {u"Corvale.exe \"\" x \"\"", {u"", u"x", u""}},
      {u"Corvale.exe \"unterminated part", {u"unterminated part"}},
      {u"Corvale.exe /import \"D:\\收银台\\设置 1.ini\" 𝔘\xD800", {u"/import", u"D:\\收银台\\设置 1.ini", u"𝔘\xD800"}},
      {u"Corvale.exe /export \"" + longPath + u"\"", {u"/export", longPath}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.line));
    EXPECT_EQ(SplitCommandLine(c.line), c.expected);
  }
}

TEST(ParseCorvaleArguments, WithoutArgumentsTheDialog) {
  EXPECT_EQ(ParseCorvaleArguments({}).kind, CommandKind::kDialog);
}

TEST(ParseCorvaleArguments, TheCommands) {
  const struct {
    Args arguments;
    CommandKind kind;
    std::u16string file;
    bool quiet;
    std::u16string log;
  } cases[] = {
      {{u"/export", u"till.ini"}, CommandKind::kExport, u"till.ini", false, u""},
      {{u"/EXPORT", u"C:\\a b\\till.ini", u"/Quiet", u"/LOG", u"C:\\logs\\c.log"}, CommandKind::kExport,
       u"C:\\a b\\till.ini", true, u"C:\\logs\\c.log"},
      {{u"/quiet", u"/import", u"设置.ini"}, CommandKind::kImport, u"设置.ini", true, u""},
      {{u"/List"}, CommandKind::kList, u"", false, u""},
      {{u"/log", u"list.log", u"/list", u"/quiet"}, CommandKind::kList, u"", true, u"list.log"},
      {{u"/?"}, CommandKind::kUsage, u"", false, u""},
      {{u"/import", u"x.ini", u"/?"}, CommandKind::kUsage, u"x.ini", false, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments.size()));
    const CorvaleCommand command = ParseCorvaleArguments(c.arguments);
    EXPECT_EQ(command.kind, c.kind) << Narrow(command.problem);
    EXPECT_EQ(command.file, c.file);
    EXPECT_EQ(command.quiet, c.quiet);
    EXPECT_EQ(command.logFile, c.log);
  }
}

TEST(ParseCorvaleArguments, WhatItDoesNotUnderstandIsNamed) {
  const struct {
    Args arguments;
    const char16_t* problem;
  } cases[] = {
      {{u"/export"}, u"/export needs a file name"},
      {{u"/import", u"/quiet"}, u"/import needs a file name"},
      {{u"/import", u""}, u"/import needs a file name"},
      {{u"/list", u"/log"}, u"/log needs a file name"},
      {{u"/export", u"a.ini", u"/import", u"b.ini"}, u"only one of /export, /import and /list at a time"},
      {{u"/list", u"/list"}, u"only one of /export, /import and /list at a time"},
      {{u"/list", u"/quiet", u"/QUIET"}, u"/QUIET is given twice"},
      {{u"/list", u"/log", u"a.log", u"/log", u"b.log"}, u"/log is given twice"},
      {{u"/quiet"}, u"/export, /import or /list is needed"},
      {{u"list"}, u"not understood: list"},
      {{u"-list"}, u"not understood: -list"},
      {{u"/list", u"extra"}, u"not understood: extra"},
      {{u"/install", u"RUD-80"}, u"not understood: /install"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.problem));
    const CorvaleCommand command = ParseCorvaleArguments(c.arguments);
    EXPECT_EQ(command.kind, CommandKind::kBadArguments);
    EXPECT_EQ(command.problem, c.problem);
  }
}

TEST(CorvaleUsage, NamesTheCommandsAndTheExitCodes) {
  const std::string usage = Narrow(CorvaleUsage());
  for (const char* part : {"/export FILE", "/import FILE", "/list", "/quiet", "/log FILE", "0 done", "2 bad arguments",
                           "3 the settings file cannot be read or written", "4 an error in the settings file",
                           "5 the registry refused a change"}) {
    EXPECT_THAT(usage, HasSubstr(part));
  }
}

}  // namespace
}  // namespace corvale::testing
