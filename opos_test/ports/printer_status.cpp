#include "printer_status.h"

namespace dunlith {

namespace {

constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEot = 0x04;
constexpr std::uint8_t kGs = 0x1D;

constexpr bool Bit(std::uint8_t answer, int bit) { return (answer >> bit & 1) != 0; }

}  // namespace

Bytes StatusRequest(std::uint8_t n) { return {kDle, kEot, n}; }

Bytes TextRequest(std::uint8_t n) { return {kGs, 'I', n}; }

// The bits as Epson's ESC/POS command reference gives them for DLE EOT.
std::uint32_t ConditionsOf(const PrinterStatus& status) {
  std::uint32_t conditions = 0;
  const std::uint8_t* a = status.answers;
  if (status.count >= 1) {
    if (Bit(a[0], 2)) conditions |= kDrawerHigh;  // drawer kick-out connector pin 3
    if (Bit(a[0], 3)) conditions |= kOffLine;
  }
  if (status.count >= 2) {
    if (Bit(a[1], 2)) conditions |= kCoverOpen;
    if (Bit(a[1], 3)) conditions |= kFeedingByButton;
    if (Bit(a[1], 5)) conditions |= kPaperEnd;  // printing stopped at the paper end
  }
  if (status.count >= 3) {
    if (Bit(a[2], 2)) conditions |= kOtherError;  // mechanical error
    if (Bit(a[2], 3)) conditions |= kCutterError;
    if (Bit(a[2], 5)) conditions |= kUnrecoverableError;
    if (Bit(a[2], 6)) conditions |= kAutoRecoverableError;  // a hot head, for instance
  }
  // "An error occurred", whose cause the error status tells when it was given.
  constexpr std::uint32_t kErrors = kOtherError | kCutterError | kUnrecoverableError | kAutoRecoverableError;
  if (status.count >= 2 && Bit(a[1], 6) && (conditions & kErrors) == 0) conditions |= kOtherError;
  if (status.count >= 4) {
    if (Bit(a[3], 2) || Bit(a[3], 3)) conditions |= kPaperNearEnd;
    if (Bit(a[3], 5) || Bit(a[3], 6)) conditions |= kPaperEnd;
  }
  // A roll that has run out has run low too; only the end is worth saying.
  if ((conditions & kPaperEnd) != 0) conditions &= ~kPaperNearEnd;
  return conditions;
}

}  // namespace dunlith
