#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A receipt printer that speaks ESC/POS, as the tests play it: it takes a byte stream, prints
// what is not a request, and answers DLE EOT n and GS I n the way a table case describes. The
// in-memory stand-ins of the transports, the loopback TCP printer and the serial printer of the
// Wine tests all play it.
namespace dunlith::testing {

using Stream = std::vector<std::uint8_t>;

// How a printer answers, beyond its status bytes.
enum class Answering {
  kLikeAPrinter,      // at once, each answer whole
  kSilent,            // never: a one-way link, a print server that passes nothing back
  kGarbage,           // at once, with bytes whose fixed bits are wrong
  kLate,              // each answer 1.5 s after the request, past Dunlith's wait
  kSlowsDown,         // the first answer at once, every later one 1.5 s late
  kSplit,             // each text answer in pieces, 200 ms apart
  kNoisy,             // each answer after an automatic status back and a stray byte, twice
  kDropsAfterStatus,  // ends the connection once it has answered DLE EOT 4
  kDropsAfterPrinting,  // like a printer, but ends the connection at the first request after printing
};

struct PrinterCase {
  const char* name;
  // Answers to DLE EOT 1, 2, 3 and 4.
  std::uint8_t status[4];
  Answering answering = Answering::kLikeAPrinter;
  // The status once the printer has printed something, where it changes while printing.
  std::uint8_t statusAfterPrinting[4] = {};
  bool changesWhilePrinting = false;
  // A drawer on the kick-out connector that opens with a pulse (ESC p), its switch going high.
  bool drawerOpensOnPulse = false;
  // Before the first request, a late answer to an earlier one (off-line) and an automatic status
  // back already wait on the connection.
  bool staleAnswerWaiting = false;
};

// The answers of a printer that is ready, and of one in each state that the tests use, with
// the bits of Epson's ESC/POS command reference.
namespace status {
inline constexpr std::uint8_t kReady[4] = {0x12, 0x12, 0x12, 0x12};
inline constexpr std::uint8_t kDrawerHigh[4] = {0x16, 0x12, 0x12, 0x12};
inline constexpr std::uint8_t kCoverOpen[4] = {0x1A, 0x16, 0x12, 0x12};
inline constexpr std::uint8_t kPaperEnd[4] = {0x1A, 0x32, 0x12, 0x7E};
inline constexpr std::uint8_t kNearEnd[4] = {0x12, 0x12, 0x12, 0x1E};
inline constexpr std::uint8_t kUnrecoverable[4] = {0x1A, 0x52, 0x32, 0x12};
inline constexpr std::uint8_t kCutterError[4] = {0x1A, 0x52, 0x1A, 0x12};
}  // namespace status

// A printer that answers nothing, as over a one-way link.
inline constexpr PrinterCase kSilentPrinter{"silent", {0x12, 0x12, 0x12, 0x12}, Answering::kSilent};

inline constexpr char kModel[] = "TM-T88V";
inline constexpr char kFirmware[] = "30.01 ESC/POS";

// What the printer sends back: |bytes| |delayMs| after the request; |close| ends the connection
// at that moment instead.
struct Reply {
  Stream bytes;
  std::uint32_t delayMs = 0;
  bool close = false;
};

class EscPosPrinter {
 public:
  explicit EscPosPrinter(const PrinterCase& behaviour) : behaviour_(behaviour) {}

  // What waits on a new connection before the host has sent anything.
  Stream Waiting() const;
  // Takes what the host sent; the replies, in order of their delays.
  std::vector<Reply> Receive(const Stream& data);

  // Everything that was not a request, as it would print.
  const Stream& printed() const { return printed_; }
  // The requests, as "DLE EOT 1" or "GS I 67".
  const std::vector<std::string>& requests() const { return requests_; }
  bool closed() const { return closed_; }

 private:
  std::vector<Reply> Answer(std::uint8_t command, std::uint8_t n);

  PrinterCase behaviour_;
  Stream pending_;  // the start of a command whose rest has not come yet
  Stream printed_;
  std::vector<std::string> requests_;
  bool pulsed_ = false;
  bool closed_ = false;
};

}  // namespace dunlith::testing
