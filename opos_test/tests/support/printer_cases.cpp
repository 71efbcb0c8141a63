#include "printer_cases.h"

namespace dunlith::testing {

namespace {

const std::u16string kIdentity = u"Printer: TM-T88V, firmware 30.01 ESC/POS.";
const std::u16string kOnLine = u"The printer is on-line.";
const std::u16string kOffLine = u"The printer is off-line.";
const std::u16string kDrawerLow = u"Drawer switch: low.";
const std::u16string kSent = u"Sent %BYTES% bytes to %PORT%.";
const std::u16string kClosesSoon = u"This window closes by itself in 3 seconds.";
const std::u16string kNearEnd = u"Paper near end: the roll is running out.";
const std::u16string kNewRoll = u"Put in a new paper roll soon.";
const std::u16string kNoStatus = u"The printer gives no status over this port.";
const std::u16string kNotReady =
    u"The printer is not ready, so the test receipt was not sent: it would wait in the printer and come out later, "
    u"on someone else's receipt.";

PrinterCase Case(const char* name, const std::uint8_t (&status)[4], Answering answering = Answering::kLikeAPrinter) {
  PrinterCase c{name, {}, answering};
  for (int i = 0; i < 4; ++i) c.status[i] = status[i];
  return c;
}

PrinterCase ChangingCase(const char* name, const std::uint8_t (&after)[4]) {
  PrinterCase c = Case(name, status::kReady);
  for (int i = 0; i < 4; ++i) c.statusAfterPrinting[i] = after[i];
  c.changesWhilePrinting = true;
  return c;
}

}  // namespace

std::vector<PrinterOutcome> PrinterOutcomes() {
  return {
      {Case("ready", status::kReady), 0, true, {kIdentity, kOnLine, kDrawerLow, kSent, kClosesSoon}},
      {Case("cover open", status::kCoverOpen), 3, false, {kOffLine, u"The cover is open.", kDrawerLow, kNotReady}},
      {Case("paper end", status::kPaperEnd), 3, false,
       {kOffLine, u"Paper end: the roll is used up.", kDrawerLow, kNotReady}},
      {Case("near end", status::kNearEnd), 0, true, {kIdentity, kOnLine, kNearEnd, kDrawerLow, kSent, kNewRoll}},
      {Case("off-line with error", status::kUnrecoverable), 3, false,
       {kOffLine, u"Unrecoverable error.", kDrawerLow, kNotReady}},
      {Case("cutter error", status::kCutterError), 3, false, {kOffLine, u"Cutter error.", kDrawerLow, kNotReady}},
      {Case("silent", status::kReady, Answering::kSilent), 0, true, {kNoStatus, kSent, kClosesSoon}},
      {Case("garbage bytes", status::kReady, Answering::kGarbage), 0, true, {kNoStatus, kSent, kClosesSoon}},
      {Case("late answer", status::kCoverOpen, Answering::kLate), 0, true, {kNoStatus, kSent, kClosesSoon}},
      {Case("split answer", status::kReady, Answering::kSplit), 0, true,
       {kIdentity, kOnLine, kDrawerLow, kSent, kClosesSoon}},
      {Case("automatic status back and stray bytes", status::kDrawerHigh, Answering::kNoisy), 0, true,
       {kIdentity, kOnLine, u"Drawer switch: high.", kSent, kClosesSoon}},
      {Case("drops after status", status::kReady, Answering::kDropsAfterStatus), 1, false,
       {kOnLine, kDrawerLow,
        u"The connection to %PORT% was lost after the status requests: the test receipt was not sent."}},
      {Case("drops after printing", status::kReady, Answering::kDropsAfterPrinting), 1, true,
       {kIdentity, kOnLine, kDrawerLow, kSent,
        u"The connection to %PORT% was lost before the printer confirmed the test receipt: whether it received all "
        u"of it is not known."}},
      {ChangingCase("near end while printing", status::kNearEnd), 0, true,
       {kIdentity, kOnLine, kDrawerLow, kSent, u"After printing, the printer reports:", kOnLine, kNearEnd, kDrawerLow,
        kNewRoll}},
      {ChangingCase("paper end while printing", status::kPaperEnd), 3, true,
       {kIdentity, kOnLine, kDrawerLow, kSent, u"After printing, the printer reports:", kOffLine,
        u"Paper end: the roll is used up.", kDrawerLow,
        u"The printer is not ready now: what it has not printed yet waits in it and comes out later."}},
  };
}

PrinterCase CaseNamed(const std::string& name) {
  for (const PrinterOutcome& outcome : PrinterOutcomes()) {
    if (name == outcome.printer.name) return outcome.printer;
  }
  return kSilentPrinter;
}

std::u16string ExpectedLines(const std::vector<std::u16string>& lines, const std::u16string& port,
                             std::size_t bytes) {
  const std::string digits = std::to_string(bytes);
  const std::u16string count(digits.begin(), digits.end());
  std::u16string text;
  for (const std::u16string& line : lines) {
    if (!text.empty()) text += u"\r\n";
    std::u16string filled = line;
    for (const auto& [placeholder, value] : {std::pair<std::u16string, std::u16string>{u"%PORT%", port},
                                             std::pair<std::u16string, std::u16string>{u"%BYTES%", count}}) {
      for (std::size_t at = filled.find(placeholder); at != std::u16string::npos; at = filled.find(placeholder, at)) {
        filled.replace(at, placeholder.size(), value);
        at += value.size();
      }
    }
    text += filled;
  }
  return text;
}

}  // namespace dunlith::testing
