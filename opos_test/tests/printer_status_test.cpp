// The answers to DLE EOT in words: each bit as Epson's ESC/POS command reference defines it, and
// which bytes count as an answer at all.
#include <gtest/gtest.h>

#include "escpos_printer.h"
#include "ports/printer_status.h"

namespace dunlith::testing {
namespace {

PrinterStatus Answers(std::uint8_t printer, std::uint8_t offLine, std::uint8_t error, std::uint8_t paper,
                      std::uint8_t count = 4) {
  PrinterStatus status;
  status.answers[0] = printer;
  status.answers[1] = offLine;
  status.answers[2] = error;
  status.answers[3] = paper;
  status.count = count;
  return status;
}

TEST(PrinterStatus, EachBitSaysWhatTheReferenceSays) {
  const struct {
    const char* what;
    PrinterStatus status;
    std::uint32_t conditions;
  } cases[] = {
      {"ready", Answers(0x12, 0x12, 0x12, 0x12), 0},
      {"n=1 bit 2: drawer pin 3 high", Answers(0x16, 0x12, 0x12, 0x12), kDrawerHigh},
      {"n=1 bit 3: off-line", Answers(0x1A, 0x12, 0x12, 0x12), kOffLine},
      {"n=2 bit 2: cover open", Answers(0x12, 0x16, 0x12, 0x12), kCoverOpen},
      {"n=2 bit 3: fed by the button", Answers(0x12, 0x1A, 0x12, 0x12), kFeedingByButton},
      {"n=2 bit 5: stopped at paper end", Answers(0x12, 0x32, 0x12, 0x12), kPaperEnd},
      {"n=2 bit 6 alone: an error", Answers(0x12, 0x52, 0x12, 0x12), kOtherError},
      {"n=2 bit 6 with its cause", Answers(0x12, 0x52, 0x1A, 0x12), kCutterError},
      {"n=3 bit 2: mechanical error", Answers(0x12, 0x12, 0x16, 0x12), kOtherError},
      {"n=3 bit 3: cutter", Answers(0x12, 0x12, 0x1A, 0x12), kCutterError},
      {"n=3 bit 5: unrecoverable", Answers(0x12, 0x12, 0x32, 0x12), kUnrecoverableError},
      {"n=3 bit 6: clears itself", Answers(0x12, 0x12, 0x52, 0x12), kAutoRecoverableError},
      {"n=4 bits 2 and 3: near end", Answers(0x12, 0x12, 0x12, 0x1E), kPaperNearEnd},
      {"n=4 bits 5 and 6: paper end", Answers(0x12, 0x12, 0x12, 0x72), kPaperEnd},
      {"n=4 all: the end, not the near end", Answers(0x12, 0x12, 0x12, 0x7E), kPaperEnd},
      {"only the first answer", Answers(0x1E, 0x7E, 0x7E, 0x7E, 1), kOffLine | kDrawerHigh},
      {"no answer", Answers(0x1E, 0x7E, 0x7E, 0x7E, 0), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ConditionsOf(c.status), c.conditions);
  }
  EXPECT_FALSE(IsNotReady(kPaperNearEnd | kDrawerHigh | kFeedingByButton));
  for (const std::uint32_t condition :
       {kOffLine, kCoverOpen, kPaperEnd, kCutterError, kUnrecoverableError, kAutoRecoverableError, kOtherError}) {
    EXPECT_TRUE(IsNotReady(condition)) << condition;
  }
}

TEST(PrinterStatus, OnlyBytesWithTheFixedBitsAreAnswers) {
  EXPECT_TRUE(IsStatusByte(0x12));
  EXPECT_TRUE(IsStatusByte(0x7E));
  // Bit 1 clear, bit 0 set, bit 4 clear, bit 7 set; the automatic status back's four bytes; the
  // header of a GS I answer.
  for (const int b : {0x10, 0x13, 0x02, 0x92, 0x00, 0xFF, 0x14, 0x03, 0x0C, 0x5F}) {
    EXPECT_FALSE(IsStatusByte(static_cast<std::uint8_t>(b))) << b;
  }
}

}  // namespace
}  // namespace dunlith::testing
