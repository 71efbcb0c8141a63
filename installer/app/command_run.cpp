#include "command_run.h"

#include <string_view>

#include "command_line.h"
#include "dialog/confing_dialog.h"
#include "engine/os_detection.h"
#include "engine/test_page.h"
#include "engine/text_format.h"
#include "usb/usb_discovery.h"
#include "usb/usb_globals.h"
#include "usb/usb_port_pages.h"

namespace velmara {

namespace {

constexpr std::uint32_t kPauseBeforeTestPage = 511;
constexpr unsigned kInformation = kMbOk | kMbIconExclamation;

// The lines of a run's outcome: to the console, where there is one, and appended to the log file,
// each with the local time in front.
class ResultLines {
 public:
  ResultLines(Console& console, Files& files, SystemInfo& system) : console_(console), files_(files), system_(system) {}

  // Appends the run's command line to |logFile|; the system's error when that fails.
  FileStatus OpenLog(const std::string& logFile, const std::string& commandLine) {
    logFile_ = logFile;
    const FileStatus status = AppendToLog(commandLine);
    if (status != file_error::kSuccess) logFile_.clear();
    return status;
  }

  // Each line of |text|, whatever its line ends; empty lines are dropped.
  void Write(std::string_view text) {
    while (!text.empty()) {
      const std::size_t end = text.find_first_of("\r\n");
      const std::string_view line = text.substr(0, end);
      if (!line.empty()) {
        if (console_.Present()) console_.Write(std::string(line) + "\r\n");
        AppendToLog(line);
      }
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
  }

 private:
  FileStatus AppendToLog(std::string_view line) {
    if (logFile_.empty()) return file_error::kSuccess;
    const LocalDateTime t = system_.LocalTime();
    return files_.Append(logFile_, FormatText("%d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day, t.hour, t.minute,
                                              t.second) +
                                       std::string(line) + "\r\n");
  }

  Console& console_;
  Files& files_;
  SystemInfo& system_;
  std::string logFile_;
};

// The program's message boxes for a run without the dialog: each text is a result line as well,
// and a quiet run shows none.
class ReportingMessageBoxes final : public MessageBoxes {
 public:
  ReportingMessageBoxes(MessageBoxes& boxes, ResultLines& lines, bool quiet)
      : boxes_(boxes), lines_(lines), quiet_(quiet) {}
  int Show(WindowHandle owner, const std::string& text, unsigned style) override {
    ++shown;
    lines_.Write(text);
    return quiet_ ? kIdOk : boxes_.Show(owner, text, style);
  }
  int shown = 0;

 private:
  MessageBoxes& boxes_;
  ResultLines& lines_;
  bool quiet_;
};

// The command line as the log records it: each argument that has a blank, or is empty, in quotes.
std::string CommandLineText(const std::vector<std::string>& arguments) {
  std::string text = "Velmara";
  for (const std::string& argument : arguments) {
    const bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
    text += quote ? " \"" + argument + "\"" : " " + argument;
  }
  return text;
}

// A failure is said in a message box, as the dialog says its own, and so becomes a result line too.
int Install(const VelmaraCommand& command, const CommandServices& services, ResultLines& lines,
            ReportingMessageBoxes& boxes) {
  const EngineServices& given = services.engine;
  const EngineServices engine{given.system, given.spooler, given.files, boxes, given.pauses, given.debug, given.printing};
  CDriverCatalog catalog(engine);
  const std::string model = catalog.m_modelName[static_cast<std::size_t>(command.modelIndex)];
  if (!FamiliesCarryModel(MediumModelFamilies(engine.files), command.modelIndex)) {
    boxes.Show(nullptr, "The installation medium in the current folder does not carry the " + model + " driver.",
               kInformation);
    return kExitModelNotOnMedium;
  }

  const std::uint16_t language = engine.system.UserUiLanguage();
  const OsRecommendation recommendation = RecommendOs(catalog, language);
  NoteWindows8OrLater(recommendation.detectedOs, engine.debug);

  std::string port = command.port;
  if (port == "USB") {
    const UsbServices& u = services.usb;
    const UsbServices usb{u.deviceInterfaces, u.machineRegistry, u.deviceOutput, u.threads,
                          boxes,              u.pauses,          u.debugOutput,  nullptr};
    if (!FindUsbPrinterPort(usb, &port)) {
      boxes.Show(nullptr, "No USB printer of the supported makers is connected; nothing was installed.", kInformation);
      return kExitNoUsbPrinter;
    }
  }

  if (!catalog.InstallPrinter(recommendation.osIndex, command.modelIndex, command.setDefault ? 1 : 0, port)) {
    boxes.Show(nullptr, InstallFailedText(language), kInformation);
    return catalog.m_lastFailure == InstallFailure::kDriverFiles ? kExitDriverFilesMissing : kExitSpoolerRefused;
  }
  const std::string printer = "\"" + catalog.m_printerName + "\"";
  lines.Write("Installed the printer " + printer + " (driver " + model + ") on " + port + ".");
  if (command.setDefault) {
    if (!catalog.m_madeDefault) {
      boxes.Show(nullptr, "The spooler did not make " + printer + " the default printer.", kInformation);
      return kExitSpoolerRefused;
    }
    lines.Write(printer + " is the default printer.");
  }
  if (command.testPage) {
    engine.pauses.Sleep(kPauseBeforeTestPage);
    if (!catalog.PrintTestPage(catalog.m_printerName, services.testPageLogo, TestPageText(language))) {
      boxes.Show(nullptr, "The test page could not be printed on " + printer + ".", kInformation);
      return kExitTestPageFailed;
    }
    lines.Write("Printed the test page on " + printer + ".");
  }
  return kExitDone;
}

int CheckUsb(const CommandServices& services, ReportingMessageBoxes& boxes) {
  const EngineServices& engine = services.engine;
  const std::uint16_t language = engine.system.UserUiLanguage();
  const OsRecommendation recommendation = RecommendOs(CDriverCatalog(engine), language);
  g_uiLanguage = language;
  engine.debug.Write(recommendation.detectedOs);
  NoteWindows8OrLater(recommendation.detectedOs, engine.debug);

  const UsbServices& u = services.usb;
  const UsbServices usb{u.deviceInterfaces, u.machineRegistry, u.deviceOutput, u.threads,
                        boxes,              u.pauses,          u.debugOutput,  nullptr};
  if (!PrintUsbPortPages(kUsbPrintInterfaceClass, usb)) {
    if (boxes.shown == 0) boxes.Show(nullptr, "The list of USB printers could not be read.", kInformation);
    return kExitNoUsbPrinter;
  }
  return kExitDone;
}

}  // namespace

int RunVelmaraCommandLine(const std::vector<std::string>& arguments, const CommandServices& services) {
  const EngineServices& engine = services.engine;
  const VelmaraCommand command = ParseVelmaraArguments(arguments, CDriverCatalog(engine).m_modelName);
  ResultLines lines(services.console, engine.files, engine.system);
  ReportingMessageBoxes boxes(engine.messages, lines, command.quiet);

  // Where there is no console, a message box is the only way to say it, unless the run is quiet.
  const auto tell = [&](const std::string& text) {
    if (services.console.Present()) {
      lines.Write(text);
    } else {
      boxes.Show(nullptr, text, kInformation);
    }
  };

  if (!command.logFile.empty()) {
    const FileStatus status = lines.OpenLog(command.logFile, CommandLineText(arguments));
    if (status != file_error::kSuccess) {
      std::string reason = engine.system.ErrorText(status);
      if (reason.empty()) reason = FormatText("error %u", static_cast<unsigned>(status));
      tell("The log file \"" + command.logFile + "\" cannot be written: " + reason);
      return kExitBadArguments;
    }
  }

  switch (command.kind) {
    case CommandKind::kInstall:
      return Install(command, services, lines, boxes);
    case CommandKind::kCheckUsb:
      return CheckUsb(services, boxes);
    case CommandKind::kBadArguments:
      tell(command.problem + "\n" + VelmaraUsage());
      return kExitBadArguments;
    default:
      tell(VelmaraUsage());
      return kExitBadArguments;
  }
}

}  // namespace velmara
