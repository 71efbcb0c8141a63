#pragma once

#include <cstdint>
#include <string>

#include "transports.h"

// What an ESC/POS receipt printer says about itself: its answers to the real-time status
// requests DLE EOT 1 to 4 and, where it has them, its model name and firmware version (GS I).
namespace dunlith {

// DLE EOT n, n = 1 printer, 2 off-line cause, 3 error cause, 4 roll-paper sensor.
inline constexpr std::uint8_t kStatusRequests = 4;
Bytes StatusRequest(std::uint8_t n);

// GS I n with the forms that answer "_", text, NUL.
inline constexpr std::uint8_t kFirmwareVersion = 65;
inline constexpr std::uint8_t kModelName = 67;
Bytes TextRequest(std::uint8_t n);

// An answer to DLE EOT has bits 1 and 4 set and bits 0 and 7 clear. No byte of an automatic
// status back has them all (its first byte has bit 1 clear, the other three bit 4), nor "_",
// which starts a GS I answer.
constexpr bool IsStatusByte(std::uint8_t b) { return (b & 0x93) == 0x12; }

// The answers to DLE EOT 1, 2, 3 and 4 in that order, as many as the printer gave before one
// went unanswered.
struct PrinterStatus {
  std::uint8_t answers[kStatusRequests] = {};
  std::uint8_t count = 0;
};

// What the answers say, one flag each.
enum Condition : std::uint32_t {
  kOffLine = 1u << 0,
  kCoverOpen = 1u << 1,
  kPaperEnd = 1u << 2,
  kPaperNearEnd = 1u << 3,
  kFeedingByButton = 1u << 4,
  kCutterError = 1u << 5,
  kUnrecoverableError = 1u << 6,
  kAutoRecoverableError = 1u << 7,
  kOtherError = 1u << 8,  // an error the printer names no cause for, or a mechanical error
  kDrawerHigh = 1u << 9,
};

// The conditions the given answers show; a condition whose answer is missing is not there.
std::uint32_t ConditionsOf(const PrinterStatus& status);

// Off-line, cover open, paper end or any error: what the printer is sent now waits in it and
// comes out later.
constexpr std::uint32_t kNotReadyConditions =
    kOffLine | kCoverOpen | kPaperEnd | kCutterError | kUnrecoverableError | kAutoRecoverableError | kOtherError;
constexpr bool IsNotReady(std::uint32_t conditions) { return (conditions & kNotReadyConditions) != 0; }

}  // namespace dunlith
