#include "command_line.h"

#include <cstddef>

namespace velmara {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return !text.empty();
}

// "USB" (find the port), "LPT1:", or USB and at least three digits, as the spooler names its USB
// ports; empty for anything else.
std::string PortOfArgument(std::string_view text) {
  if (SameIgnoringCase(text, "USB")) return "USB";
  if (SameIgnoringCase(text, "LPT1:") || SameIgnoringCase(text, "LPT1")) return "LPT1:";
  if (text.size() >= 6 && SameIgnoringCase(text.substr(0, 3), "USB") && AllDigits(text.substr(3))) {
    return "USB" + std::string(text.substr(3));
  }
  return {};
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::size_t i = 0;
  if (i < line.size() && line[i] == '"') {
    ++i;
    while (i < line.size() && line[i++] != '"') {
    }
  } else {
    while (i < line.size() && !IsBlank(line[i])) ++i;
  }

  std::vector<std::string> arguments;
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      const char c = line[i];
      if (c == '\\') {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
        if (i < line.size() && line[i] == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 != 0) argument += '"', ++i;
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (c == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';
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

VelmaraCommand ParseVelmaraArguments(const std::vector<std::string>& arguments,
                                     const std::array<std::string, 7>& models) {
  VelmaraCommand command;
  if (arguments.empty()) return command;

  bool install = false, checkUsb = false, usage = false, portGiven = false, logGiven = false;
  const auto problem = [&command](std::string text) {
    if (command.problem.empty()) command.problem = std::move(text);
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    // A value never starts with a slash: "/log /quiet" lacks its file, it does not name \quiet.
    const auto value = [&](const char* what) -> const std::string* {
      if (i + 1 < arguments.size() && !arguments[i + 1].empty() && arguments[i + 1][0] != '/') return &arguments[++i];
      problem(option + " needs " + what);
      return nullptr;
    };
    const auto once = [&](bool& seen) {
      if (seen) problem(option + " is given twice");
      seen = true;
    };
    if (option == "/?") {
      usage = true;
    } else if (SameIgnoringCase(option, "/install")) {
      once(install);
      if (const std::string* model = value("a model")) {
        command.modelIndex = -1;
        for (std::size_t m = 0; m < models.size(); ++m) {
          if (SameIgnoringCase(*model, models[m])) command.modelIndex = static_cast<int>(m);
        }
        if (command.modelIndex < 0) problem("\"" + *model + "\" is not one of the models");
      }
    } else if (SameIgnoringCase(option, "/checkusb")) {
      once(checkUsb);
    } else if (SameIgnoringCase(option, "/port")) {
      once(portGiven);
      if (const std::string* port = value("a port")) {
        command.port = PortOfArgument(*port);
        if (command.port.empty()) problem("\"" + *port + "\" is not a port: USB, LPT1: or USBnnn");
      }
    } else if (SameIgnoringCase(option, "/default")) {
      once(command.setDefault);
    } else if (SameIgnoringCase(option, "/testpage")) {
      once(command.testPage);
    } else if (SameIgnoringCase(option, "/quiet")) {
      once(command.quiet);
    } else if (SameIgnoringCase(option, "/log")) {
      once(logGiven);
      if (const std::string* file = value("a file name")) command.logFile = *file;
    } else {
      problem("not understood: " + option);
    }
  }

  if (usage) {
    command.kind = CommandKind::kUsage;
    return command;
  }
  if (install && checkUsb) problem("/install and /checkusb do not go together");
  if (!install && !checkUsb) problem("/install or /checkusb is needed");
  if (checkUsb && (portGiven || command.setDefault || command.testPage)) {
    problem("/port, /default and /testpage go with /install");
  }
  if (!command.problem.empty()) {
    command.kind = CommandKind::kBadArguments;
  } else {
    command.kind = install ? CommandKind::kInstall : CommandKind::kCheckUsb;
  }
  return command;
}

std::string VelmaraUsage() {
  return "Velmara, the receipt printer driver installer, started from the installation medium's folder:\n"
         "  Velmara.exe /install MODEL [/port USB|LPT1:|USBnnn] [/default] [/testpage] [/quiet] [/log FILE]\n"
         "  Velmara.exe /checkusb [/quiet] [/log FILE]\n"
         "MODEL      DUR-58, DUR-58C, RUD-80, RUD-80C, DAD-90, DIZ-76 or DIZ-76C\n"
         "/port      USB: the port of the connected USB printer (the default); LPT1:; or a USB port\n"
         "           such as USB001\n"
         "/default   makes the new printer the default printer\n"
         "/testpage  prints the test page on the new printer\n"
         "/checkusb  prints on each connected USB printer a page that names its port\n"
         "/quiet     shows no window\n"
         "/log FILE  appends the result lines to FILE, with the time\n"
         "Exit codes: 0 done, 2 bad arguments, 3 model not on the medium, 4 no USB printer found,\n"
         "5 driver files missing, 6 the spooler refused, 7 test page failed.";
}

}  // namespace velmara
