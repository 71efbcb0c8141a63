#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ports/ldn_lookup.h"
#include "ports/printer_port.h"

// Every text the window shows, in English and in Chinese.
namespace dunlith {

enum class Language { kEnglish, kChinese };

// 2052 (Chinese, PRC) selects the Chinese texts, every other UI language the English ones.
Language LanguageOf(std::uint16_t uiLanguage);

// Replaces %1 ... %9 in |pattern| by the arguments.
std::u16string FormatText(const std::u16string& pattern, std::initializer_list<std::u16string> arguments);

std::u16string Widen(const std::string& ascii);
std::u16string Number(std::uint64_t value);

struct ButtonTexts {
  std::u16string close;
  std::u16string openDrawer;
};
ButtonTexts Buttons(Language language);

// Why an LDN cannot be tested.
std::u16string ProblemText(Language language, const TestTarget& target);

// The LDN's "TimeOut" of |stored| ms was more than Dunlith waits.
std::u16string TimeOutCappedText(Language language, std::uint32_t stored);
std::u16string SendingReceiptText(Language language, std::size_t bytes, const PortConfig& port,
                                  const std::u16string& ldnName);
std::u16string SendingPulseText(Language language, const PortConfig& port);
std::u16string OutcomeText(Language language, const SendResult& result, const PortConfig& port);
std::u16string ClosesSoonText(Language language);

// What the printer said about itself.
std::u16string IdentityText(Language language, const std::string& model, const std::string& firmware);
std::u16string NoStatusText(Language language);
// One line for each condition, the on-line state and the drawer switch among them, and one for
// the status requests that went unanswered where only |answered| of them were.
std::vector<std::u16string> ConditionLines(Language language, std::uint32_t conditions, std::uint8_t answered);
std::u16string NotReadyText(Language language, SendKind kind);
std::u16string NotReadyNowText(Language language);
std::u16string AfterPrintingText(Language language);
std::u16string NoStatusAfterText(Language language);
std::u16string NearEndWarningText(Language language);
std::u16string DrawerSwitchText(Language language, std::uint32_t before, std::uint32_t after, bool afterKnown);
// The connection ended after the status requests, |afterSending| the data or before it.
std::u16string LostText(Language language, SendKind kind, bool afterSending, const PortConfig& port,
                        const SendResult& result);
std::u16string NotStartedText(Language language);

}  // namespace dunlith
