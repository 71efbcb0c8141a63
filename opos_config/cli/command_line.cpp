#include "command_line.h"

#include <cstddef>

namespace corvale {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsOption(std::u16string_view argument, std::u16string_view name) {
  if (argument.size() != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = argument[i] >= u'A' && argument[i] <= u'Z' ? static_cast<char16_t>(argument[i] + 32) : argument[i];
    if (c != name[i]) return false;
  }
  return true;
}

}  // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
  std::size_t i = 0;
  if (i < line.size() && line[i] == u'"') {
    ++i;
    while (i < line.size() && line[i++] != u'"') {
    }
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
  }

  std::vector<std::u16string> arguments;
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::u16string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      const char16_t c = line[i];
      if (c == u'\\') {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == u'\\') ++backslashes, ++i;
        if (i < line.size() && line[i] == u'"') {
          argument.append(backslashes / 2, u'\\');
          if (backslashes % 2 != 0) argument += u'"', ++i;
        } else {
          argument.append(backslashes, u'\\');
        }
      } else if (c == u'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          argument += u'"';
          i += 2;
          quoted = false;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        argument += c;
        ++i;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

CorvaleCommand ParseCorvaleArguments(const std::vector<std::u16string>& arguments) {
  CorvaleCommand command;
  if (arguments.empty()) return command;

  int commands = 0;
  bool usage = false, logGiven = false;
  const auto problem = [&command](std::u16string text) {
    if (command.problem.empty()) command.problem = std::move(text);
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::u16string& option = arguments[i];
    // A value never starts with a slash: "/log /quiet" lacks its file, it does not name \quiet.
    const auto value = [&]() -> const std::u16string* {
      if (i + 1 < arguments.size() && !arguments[i + 1].empty() && arguments[i + 1][0] != u'/') return &arguments[++i];
      problem(option + u" needs a file name");
      return nullptr;
    };
    const auto commandOf = [&](CommandKind kind) {
      if (++commands > 1) problem(u"only one of /export, /import and /list at a time");
      command.kind = kind;
    };
    if (option == u"/?") {
      usage = true;
    } else if (IsOption(option, u"/export") || IsOption(option, u"/import")) {
      commandOf(IsOption(option, u"/export") ? CommandKind::kExport : CommandKind::kImport);
      if (const std::u16string* file = value()) command.file = *file;
    } else if (IsOption(option, u"/list")) {
      commandOf(CommandKind::kList);
    } else if (IsOption(option, u"/quiet")) {
      if (command.quiet) problem(option + u" is given twice");
      command.quiet = true;
    } else if (IsOption(option, u"/log")) {
      if (logGiven) problem(option + u" is given twice");
      logGiven = true;
      if (const std::u16string* file = value()) command.logFile = *file;
    } else {
      problem(u"not understood: " + option);
    }
  }

  if (usage) {
    command.kind = CommandKind::kUsage;
  } else {
    if (commands == 0) problem(u"/export, /import or /list is needed");
    if (!command.problem.empty()) command.kind = CommandKind::kBadArguments;
  }
  return command;
}

std::u16string CorvaleUsage() {
  return u"Corvale, the OPOS configuration tool, for the LDNs that it made:\n"
         u"  Corvale.exe /export FILE [/quiet] [/log FILE]\n"
         u"  Corvale.exe /import FILE [/quiet] [/log FILE]\n"
         u"  Corvale.exe /list [/quiet] [/log FILE]\n"
         u"/export FILE  writes every LDN and its settings to the settings file FILE (UTF-8 text)\n"
         u"/import FILE  creates the LDNs of FILE that are missing and writes their settings; a file\n"
         u"              with an error changes nothing\n"
         u"/list         writes the LDNs and their settings to the console\n"
         u"/quiet        shows no window\n"
         u"/log FILE     appends the result lines to FILE, with the time\n"
         u"Exit codes: 0 done, 2 bad arguments, 3 the settings file cannot be read or written,\n"
         u"4 an error in the settings file, 5 the registry refused a change.";
}

}  // namespace corvale
