#include "command_run.h"

#include <map>
#include <optional>
#include <string_view>

#include "command_line.h"
#include "settings_file.h"
#include "store/ldn_record.h"
#include "text_encoding.h"

namespace corvale {

namespace {

constexpr unsigned kMbOkExclamation = 0x00000030;

std::u16string Decimal(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string TwoDigits(int value) { return (value < 10 ? u"0" : u"") + Decimal(static_cast<std::uint64_t>(value)); }

std::u16string Quoted(const std::u16string& text) { return u"\"" + text + u"\""; }

// What a failed file operation means, in words.
std::u16string FileErrorText(FileStatus status) {
  switch (status) {
    case file_error::kFileNotFound:
      return u"there is no such file";
    case file_error::kPathNotFound:
      return u"its folder does not exist";
    case file_error::kAccessDenied:
      return u"access is denied";
    default:
      return u"error " + Decimal(status);
  }
}

// The lines of a run's outcome: to the console, where there is one, and appended to the log file,
// each with the local time in front.
class ResultLines {
 public:
  ResultLines(const CommandServices& services) : services_(services) {}

  // Appends the run's command line to |logFile|; the error when that fails.
  FileStatus OpenLog(const std::u16string& logFile, const std::u16string& commandLine) {
    logFile_ = logFile;
    const FileStatus status = AppendToLog(commandLine);
    if (status != file_error::kSuccess) logFile_.clear();
    return status;
  }

  // Each line of |text|, ended by CR LF, LF or CR; an empty line only to the console.
  void Write(std::u16string_view text) {
    while (!text.empty()) {
      const std::size_t end = text.find_first_of(u"\r\n");
      const std::u16string_view line = text.substr(0, end);
      if (services_.console.Present()) services_.console.Write(std::u16string(line) + u"\r\n");
      if (!line.empty()) AppendToLog(line);
      if (end == std::u16string_view::npos) break;
      text.remove_prefix(end + (text.substr(end, 2) == u"\r\n" ? 2 : 1));
    }
  }

 private:
  FileStatus AppendToLog(std::u16string_view line) {
    if (logFile_.empty()) return file_error::kSuccess;
    const LocalTime t = services_.clock.Now();
    const std::u16string stamped = Decimal(static_cast<std::uint64_t>(t.year)) + u"-" + TwoDigits(t.month) + u"-" +
                                   TwoDigits(t.day) + u" " + TwoDigits(t.hour) + u":" + TwoDigits(t.minute) + u":" +
                                   TwoDigits(t.second) + u" " + std::u16string(line) + u"\r\n";
    return services_.files.Append(logFile_, Utf8FromUtf16(stamped));
  }

  const CommandServices& services_;
  std::u16string logFile_;
};

// One run: its result lines, and what it says to a person.
class Run {
 public:
  Run(const CorvaleCommand& command, const CommandServices& services)
      : command_(command), services_(services), lines_(services) {}

  ResultLines& lines() { return lines_; }

  // Said on the console, or where there is none in a message box, unless the run is quiet.
  void Tell(const std::u16string& text) {
    lines_.Write(text);
    if (!services_.console.Present() && !command_.quiet) services_.messages.Show(text, kMbOkExclamation);
  }
  // A failure: a result line, and a message box unless the run is quiet.
  int Fail(const std::u16string& text, int exitCode) {
    lines_.Write(text);
    if (!command_.quiet) services_.messages.Show(text, kMbOkExclamation);
    return exitCode;
  }

  int Export();
  int Import();
  int List();

 private:
  // The LDNs that this tool made, of either class, with their settings in readable form.
  std::vector<LdnSettings> Collect();
  int ReadSettings(std::vector<LdnSettings>* ldns);
  std::u16string FileName() const { return Quoted(command_.file); }

  const CorvaleCommand& command_;
  const CommandServices& services_;
  ResultLines lines_;
};

LdnSettings SettingsOf(const std::u16string& name, const LDNRecord& record, bool printer) {
  LdnSettings settings;
  settings.name = name;
  const auto leftOut = [&settings](const std::u16string& what, std::uint32_t stored) {
    settings.notes.push_back(what + u" is left out: the stored " + Decimal(stored) + u" has no form here");
  };
  if (record.PortType != 0) {
    const std::uint32_t setting = record.PortType == kPortUsb      ? 0
                                  : record.PortType == kPortSerial ? record.PortSetting & 0xFFFF
                                                                   : record.PortSetting;
    const PortChoice port{record.PortType, setting};
    if (PortText(port).empty()) {
      settings.notes.push_back(u"Port is left out: the stored PortType " + Decimal(record.PortType) +
                               u" with PortSetting " + Decimal(record.PortSetting) + u" has no form here");
    } else {
      settings.port = port;
    }
  }
  if (record.TimeOut >= 10 && record.TimeOut <= 10000) {
    settings.timeOut = record.TimeOut;
  } else {
    leftOut(u"TimeOut", record.TimeOut);
  }
  if (!printer) return settings;
  if (record.CharCodePage <= 99999) {
    settings.codePage = record.CharCodePage;
  } else {
    leftOut(u"CodePage", record.CharCodePage);
  }
  if (record.DotLineWidth == 576 || record.DotLineWidth == 640) {
    settings.dotLineWidth = record.DotLineWidth;
  } else {
    leftOut(u"DotLineWidth", record.DotLineWidth);
  }
  if (record.Effects < kEffectNames.size()) {
    settings.effect = record.Effects;
  } else {
    leftOut(u"Effect", record.Effects);
  }
  return settings;
}

std::vector<LdnSettings> Run::Collect() {
  OposStore& store = services_.store;
  std::vector<std::u16string> printers;
  std::vector<std::u16string> drawers;
  store.ListLDNs(kPrinterClass, printers);
  store.ListLDNs(kDrawerClass, drawers);
  std::vector<std::pair<std::u16string, bool>> names;
  for (const std::u16string& name : printers) names.emplace_back(name, true);
  for (const std::u16string& name : drawers) {
    bool listed = false;
    for (const std::u16string& printer : printers) listed = listed || store.registry().SameName(name, printer);
    if (!listed) names.emplace_back(name, false);
  }

  std::vector<LdnSettings> ldns;
  for (const auto& [name, printer] : names) {
    const LDNRecord record(store, name, printer ? kPrinterClass : kDrawerClass);
    // A key of the LDN's name in front of its alias holds another LDN's settings.
    if (!record.KeyFound() || !CarriesMadeByToolMarker(record.VersionSO) || record.ShadowsAlias()) {
      lines_.Write(Quoted(name) + u" is left out: a key of its name stands in front of it.");
      continue;
    }
    ldns.push_back(SettingsOf(name, record, printer));
  }
  return ldns;
}

int Run::Export() {
  const std::vector<LdnSettings> ldns = Collect();
  std::string bytes;
  std::u16string unwritable;
  if (!WriteSettingsFile(ldns, true, &bytes, &unwritable)) {
    return Fail(u"The LDN " + Quoted(unwritable) + u" has a name that a settings file cannot hold; " + FileName() +
                    u" was not written.",
                kExitFileUnusable);
  }
  const FileStatus status = services_.files.Write(command_.file, bytes);
  if (status != file_error::kSuccess) {
    return Fail(u"The settings file " + FileName() + u" cannot be written: " + FileErrorText(status) + u".",
                kExitFileUnusable);
  }
  lines_.Write(u"Wrote " + Decimal(ldns.size()) + (ldns.size() == 1 ? u" LDN" : u" LDNs") + u" to " + FileName() +
               u".");
  return kExitDone;
}

int Run::List() {
  const std::vector<LdnSettings> ldns = Collect();
  Tell(ldns.empty() ? u"There is no LDN that Corvale made." : SettingsText(ldns));
  return kExitDone;
}

int Run::ReadSettings(std::vector<LdnSettings>* ldns) {
  std::string bytes;
  const FileStatus status = services_.files.Read(command_.file, kMaxSettingsFileBytes, &bytes);
  if (status == file_error::kFileTooLarge) {
    return Fail(u"The settings file " + FileName() + u" is larger than 1 MiB: it is no settings file. Nothing was written.",
                kExitFileUnusable);
  }
  if (status != file_error::kSuccess) {
    return Fail(u"The settings file " + FileName() + u" cannot be read: " + FileErrorText(status) + u".",
                kExitFileUnusable);
  }
  int line = 0;
  std::u16string message;
  switch (ReadSettingsFile(bytes, ldns, &line, &message)) {
    case SettingsRead::kRead:
      return kExitDone;
    case SettingsRead::kNotText:
      return Fail(FileName() + u", line " + Decimal(static_cast<std::uint64_t>(line)) + u": " + message +
                      u". Nothing was written.",
                  kExitFileUnusable);
    case SettingsRead::kEmpty:
      return Fail(u"The settings file " + FileName() + u" is empty: " + message + u". Nothing was written.",
                  kExitFileUnusable);
    case SettingsRead::kError:
      break;
  }
  return Fail(FileName() + u", line " + Decimal(static_cast<std::uint64_t>(line)) + u": " + message +
                  u". Nothing was written.",
              kExitFileHasErrors);
}

int Run::Import() {
  std::vector<LdnSettings> ldns;
  if (const int read = ReadSettings(&ldns); read != kExitDone) return read;
  OposStore& store = services_.store;
  Registry& registry = store.registry();
  const auto at = [this](const LdnSettings& ldn) {
    return FileName() + u", line " + Decimal(static_cast<std::uint64_t>(ldn.line)) + u": ";
  };

  // Names as the registry compares them.
  std::map<std::u16string, const LdnSettings*> seen;
  for (const LdnSettings& ldn : ldns) {
    const auto [earlier, added] = seen.emplace(registry.UpcasedName(ldn.name), &ldn);
    if (!added) {
      return Fail(at(ldn) + u"the LDN " + Quoted(ldn.name) + u" is given twice, first on line " +
                      Decimal(static_cast<std::uint64_t>(earlier->second->line)) + u". Nothing was written.",
                  kExitFileHasErrors);
    }
  }

  // Everything is checked before anything is written.
  struct Plan {
    bool exists[2] = {false, false};
  };
  const std::u16string* const classes[2] = {&kPrinterClass, &kDrawerClass};
  std::vector<Plan> plans(ldns.size());
  for (std::size_t i = 0; i < ldns.size(); ++i) {
    const LdnSettings& ldn = ldns[i];
    for (int c = 0; c < 2; ++c) {
      const std::u16string& deviceClass = *classes[c];
      if (store.HasLDNAlias(deviceClass, ldn.name)) {
        const LDNRecord record(store, ldn.name, deviceClass);
        if (!record.KeyFound() || !CarriesMadeByToolMarker(record.VersionSO) || record.ShadowsAlias()) {
          return Fail(at(ldn) + u"the LDN " + Quoted(ldn.name) + u" exists under " + deviceClass +
                          u" but was not made by Corvale. Nothing was written.",
                      kExitFileHasErrors);
        }
        plans[i].exists[c] = true;
      } else if (const int check = store.CheckNewLDN(ldn.name, deviceClass); check != kLdnCreated) {
        return Fail(at(ldn) + u"New does not take the name " + Quoted(ldn.name) + u" under " + deviceClass +
                        (check == kLdnExists ? u": another key or value has it" : u"") + u". Nothing was written.",
                    kExitFileHasErrors);
      }
    }
  }

  store.EnsureClassKeys(kPrinterClass);
  store.EnsureClassKeys(kDrawerClass);
  int made = 0, changed = 0, unchanged = 0;
  for (std::size_t i = 0; i < ldns.size(); ++i) {
    const LdnSettings& ldn = ldns[i];
    bool created = false;
    for (int c = 0; c < 2; ++c) {
      if (plans[i].exists[c]) continue;
      std::u16string keyLeft;
      if (store.CreateLDN(ldn.name, *classes[c], &keyLeft) != kLdnCreated) {
        return Fail(u"The registry refused to make the LDN " + Quoted(ldn.name) + u" under " + *classes[c] +
                        (keyLeft.empty() ? u"" : u"; it left the key " + Quoted(keyLeft) + u" behind") +
                        u". The LDNs before it in the file are written.",
                    kExitRegistryRefused);
      }
      created = true;
    }
    bool different = false;
    for (int c = 0; c < 2; ++c) {
      const bool printer = c == 0;
      LDNRecord record(store, ldn.name, *classes[c]);
      const auto settings = [printer](const LDNRecord& r) {
        return std::vector<std::uint32_t>{r.PortType,     r.PortSetting,  r.TimeOut,
                                          printer ? r.CharCodePage : 0, printer ? r.DotLineWidth : 0,
                                          printer ? r.Effects : 0};
      };
      const std::vector<std::uint32_t> before = settings(record);
      if (ldn.port) {
        record.PortType = ldn.port->type;
        // As Apply: a serial port keeps bytes 2 and 3 of what was stored.
        record.PortSetting = ldn.port->type == kPortSerial ? (record.PortSetting & 0xFFFF0000u) | ldn.port->setting
                                                           : ldn.port->setting;
      }
      if (ldn.timeOut) record.TimeOut = *ldn.timeOut;
      if (ldn.codePage) record.CharCodePage = *ldn.codePage;
      if (ldn.dotLineWidth) record.DotLineWidth = *ldn.dotLineWidth;
      if (ldn.effect) record.Effects = *ldn.effect;
      if (settings(record) == before) continue;
      different = true;
      if (!record.WriteLDN(store, record.KeyName, *classes[c])) {
        return Fail(u"The registry refused the settings of the LDN " + Quoted(ldn.name) + u" under " + *classes[c] +
                        u". The LDNs before it in the file are written.",
                    kExitRegistryRefused);
      }
      for (const std::u16string& kept : record.KeptAsStored()) {
        lines_.Write(Quoted(ldn.name) + u": " + kept + u" under " + *classes[c] +
                     u" is kept as stored: Corvale cannot read it whole.");
      }
    }
    lines_.Write(Quoted(ldn.name) + (created ? u": made." : different ? u": changed." : u": unchanged."));
    (created ? made : different ? changed : unchanged) += 1;
  }
  lines_.Write(u"Read " + FileName() + u": " + Decimal(static_cast<std::uint64_t>(made)) + u" made, " +
               Decimal(static_cast<std::uint64_t>(changed)) + u" changed, " +
               Decimal(static_cast<std::uint64_t>(unchanged)) + u" unchanged.");
  return kExitDone;
}

// The command line as the log records it: each argument that has a blank, or is empty, in quotes.
std::u16string CommandLineText(const std::vector<std::u16string>& arguments) {
  std::u16string text = u"Corvale";
  for (const std::u16string& argument : arguments) {
    const bool quote = argument.empty() || argument.find_first_of(u" \t") != std::u16string::npos;
    text += quote ? u" " + Quoted(argument) : u" " + argument;
  }
  return text;
}

}  // namespace

int RunCorvaleCommandLine(const std::vector<std::u16string>& arguments, const CommandServices& services) {
  const CorvaleCommand command = ParseCorvaleArguments(arguments);
  Run run(command, services);
  if (!command.logFile.empty()) {
    const FileStatus status = run.lines().OpenLog(command.logFile, CommandLineText(arguments));
    if (status != file_error::kSuccess) {
      run.Tell(u"The log file " + Quoted(command.logFile) + u" cannot be written: " + FileErrorText(status) + u".");
      return kExitBadArguments;
    }
  }
  switch (command.kind) {
    case CommandKind::kExport:
      return run.Export();
    case CommandKind::kImport:
      return run.Import();
    case CommandKind::kList:
      return run.List();
    case CommandKind::kBadArguments:
      run.Tell(command.problem + u"\n" + CorvaleUsage());
      return kExitBadArguments;
    default:
      run.Tell(CorvaleUsage());
      return kExitBadArguments;
  }
}

}  // namespace corvale
