#include "escpos_printer.h"

namespace dunlith::testing {

namespace {

constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEot = 0x04;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kDrawerPin3High = 0x04;
constexpr std::uint32_t kLateMs = 1500;
constexpr std::uint32_t kPieceMs = 200;

// One answer byte for each request whose fixed bits are wrong in another way: bit 1 clear, bit 0
// set, bit 0 set with the rest right, bit 7 set.
constexpr std::uint8_t kGarbage[4] = {0x00, 0xFF, 0x13, 0x92};
// An automatic status back (drawer low, on-line; no error; paper near end; nothing more).
const Stream kAutomaticStatusBack = {0x10, 0x00, 0x03, 0x00};
constexpr std::uint8_t kStray = 0xFF;

Stream Text(const char* text) {
  Stream bytes{'_'};
  for (const char* c = text; *c != '\0'; ++c) bytes.push_back(static_cast<std::uint8_t>(*c));
  bytes.push_back(0);
  return bytes;
}

}  // namespace

Stream EscPosPrinter::Waiting() const {
  if (!behaviour_.staleAnswerWaiting) return {};
  Stream waiting{status::kCoverOpen[0]};
  waiting.insert(waiting.end(), kAutomaticStatusBack.begin(), kAutomaticStatusBack.end());
  return waiting;
}

std::vector<Reply> EscPosPrinter::Receive(const Stream& data) {
  std::vector<Reply> replies;
  if (closed_) return replies;
  pending_.insert(pending_.end(), data.begin(), data.end());
  std::size_t at = 0;
  while (at < pending_.size()) {
    const std::uint8_t b = pending_[at];
    if (b == kDle || b == kGs) {
      if (pending_.size() - at < 3) break;  // the rest of the command is still on its way
      const std::uint8_t second = pending_[at + 1];
      const std::uint8_t n = pending_[at + 2];
      if ((b == kDle && second == kEot && n >= 1 && n <= 4) || (b == kGs && second == 'I')) {
        for (Reply& reply : Answer(b, n)) replies.push_back(std::move(reply));
        at += 3;
        if (closed_) break;
        continue;
      }
    }
    if (b == 'p' && !printed_.empty() && printed_.back() == kEsc) pulsed_ = true;
    printed_.push_back(b);
    ++at;
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
  return replies;
}

std::vector<Reply> EscPosPrinter::Answer(std::uint8_t command, std::uint8_t n) {
  const bool status = command == kDle;
  requests_.push_back((status ? "DLE EOT " : "GS I ") + std::to_string(n));
  Stream answer;
  if (status) {
    const bool changed = behaviour_.changesWhilePrinting && !printed_.empty();
    answer = {changed ? behaviour_.statusAfterPrinting[n - 1] : behaviour_.status[n - 1]};
    if (n == 1 && behaviour_.drawerOpensOnPulse && pulsed_) answer[0] |= kDrawerPin3High;
  } else if (n == 67) {
    answer = Text(kModel);
  } else if (n == 65) {
    answer = Text(kFirmware);
  } else {
    return {};
  }
  switch (behaviour_.answering) {
    case Answering::kLikeAPrinter: return {{answer}};
    case Answering::kSilent: return {};
    case Answering::kGarbage: return {{{status ? kGarbage[n - 1] : kStray}}};
    case Answering::kLate: return {{answer, kLateMs}};
    case Answering::kSlowsDown: return {{answer, requests_.size() == 1 ? 0 : kLateMs}};
    case Answering::kSplit: {
      if (answer.size() < 2) return {{answer}};
      const auto half = answer.begin() + static_cast<std::ptrdiff_t>(answer.size() / 2);
      return {{Stream(answer.begin(), half)}, {Stream(half, answer.end()), kPieceMs}};
    }
    case Answering::kNoisy: {
      Stream noisy = kAutomaticStatusBack;
      noisy.push_back(kStray);
      noisy.insert(noisy.end(), answer.begin(), answer.end());
      noisy.insert(noisy.end(), answer.begin(), answer.end());
      return {{noisy}};
    }
    case Answering::kDropsAfterPrinting:
      if (printed_.empty()) return {{answer}};
      closed_ = true;
      return {{{}, 0, true}};
    case Answering::kDropsAfterStatus:
      if (status && n == 4) {
        closed_ = true;
        return {{answer}, {{}, 0, true}};
      }
      return {{answer}};
  }
  return {};
}

}  // namespace dunlith::testing
