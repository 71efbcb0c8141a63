#include "texts.h"

#include <vector>

namespace dunlith {

namespace {

constexpr std::uint16_t kChineseUiLanguage = 2052;

struct Pair {
  const char16_t* english;
  const char16_t* chinese;
};

std::u16string Pick(Language language, const Pair& pair) {
  return language == Language::kChinese ? pair.chinese : pair.english;
}

std::u16string Quoted(const std::u16string& name) { return u"\"" + name + u"\""; }

// The system's words for an error, or its number where the system has none.
std::u16string ErrorWords(Language language, const PortError& error) {
  std::u16string text = error.text;
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  if (!text.empty()) return text;
  return FormatText(Pick(language, {u"error %1.", u"错误 %1。"}), {Number(error.code)});
}

// The port as the subject of a sentence.
std::u16string Subject(Language language, const SendResult& result, const PortConfig& port) {
  if (port.kind != PortKind::kUsb) return Widen(PortName(port));
  if (result.device.empty()) return Pick(language, {u"The USB printer", u"USB 打印机"});
  return FormatText(Pick(language, {u"The USB printer %1", u"USB 打印机 %1"}), {result.device});
}

// The port as the object of a sentence.
std::u16string Object(Language language, const SendResult& result, const PortConfig& port) {
  if (port.kind != PortKind::kUsb) return Widen(PortName(port));
  if (result.device.empty()) return Pick(language, {u"the USB printer", u"USB 打印机"});
  return FormatText(Pick(language, {u"the USB printer %1", u"USB 打印机 %1"}), {result.device});
}

}  // namespace

Language LanguageOf(std::uint16_t uiLanguage) {
  return uiLanguage == kChineseUiLanguage ? Language::kChinese : Language::kEnglish;
}

std::u16string FormatText(const std::u16string& pattern, std::initializer_list<std::u16string> arguments) {
  const std::vector<std::u16string> args(arguments);
  std::u16string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' && pattern[i + 1] <= u'9') {
      const std::size_t index = static_cast<std::size_t>(pattern[i + 1] - u'1');
      if (index < args.size()) text += args[index];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string Number(std::uint64_t value) { return Widen(std::to_string(value)); }

ButtonTexts Buttons(Language language) {
  return {Pick(language, {u"Close", u"关闭"}), Pick(language, {u"Open drawer", u"打开钱箱"})};
}

std::u16string ProblemText(Language language, const TestTarget& target) {
  const std::u16string name = Quoted(target.name);
  switch (target.problem) {
    case LdnProblem::kNone: return {};
    case LdnProblem::kNoName:
      return Pick(language, {u"No LDN was given: Dunlith prints a test receipt for the LDN named on its command line.",
                             u"没有指定 LDN：Dunlith 为命令行上指定的 LDN 打印测试小票。"});
    case LdnProblem::kNoRegistryLocation:
      return Pick(language, {u"OPOS keeps no LDNs in the registry on this processor architecture.",
                             u"在此处理器架构上，OPOS 没有在注册表中保存 LDN。"});
    case LdnProblem::kUnknown:
      return FormatText(Pick(language, {u"There is no LDN %1 under POSPrinter.", u"POSPrinter 下没有 LDN %1。"}),
                        {name});
    case LdnProblem::kNotMadeByTool:
      return FormatText(Pick(language, {u"LDN %1 was not set up with Corvale, so it is not tested.",
                                        u"LDN %1 不是用 Corvale 设置的，不予测试。"}),
                        {name});
    case LdnProblem::kNotApplied:
      return FormatText(Pick(language, {u"LDN %1 has no port yet: choose one in Corvale and press Apply.",
                                        u"LDN %1 还没有端口：请在 Corvale 中选择端口并按 Apply。"}),
                        {name});
    case LdnProblem::kUnknownPortType:
      return FormatText(
          Pick(language, {u"LDN %1 has port type %2, which is none of USB (1), serial (2) and Ethernet (3).",
                          u"LDN %1 的端口类型为 %2，不是 USB (1)、串口 (2) 或以太网 (3)。"}),
          {name, Number(target.printer.PortType)});
    case LdnProblem::kNoSerialPort:
      return FormatText(Pick(language, {u"LDN %1 names no COM port.", u"LDN %1 没有指定 COM 端口。"}), {name});
    case LdnProblem::kNoBaudRate:
      return FormatText(Pick(language, {u"LDN %1 names no baud rate for COM%2.", u"LDN %1 没有为 COM%2 指定波特率。"}),
                        {name, Number(target.port.comNumber)});
    case LdnProblem::kNoAddress:
      return FormatText(Pick(language, {u"LDN %1 has no IP address (0.0.0.0).", u"LDN %1 没有 IP 地址 (0.0.0.0)。"}),
                        {name});
  }
  return {};
}

std::u16string TimeOutCappedText(Language language, std::uint32_t stored) {
  return FormatText(Pick(language, {u"The LDN's time-out of %1 ms is longer than Dunlith waits: it waits at most %2 ms.",
                                    u"该 LDN 的超时 %1 毫秒超过了 Dunlith 的等待上限：最多等待 %2 毫秒。"}),
                    {Number(stored), Number(kLongestWaitMs)});
}

std::u16string SendingReceiptText(Language language, std::size_t bytes, const PortConfig& port,
                                  const std::u16string& ldnName) {
  return FormatText(Pick(language, {u"Sending the test receipt of LDN %1 (%2 bytes) to %3, time-out %4 ms ...",
                                    u"正在将 LDN %1 的测试小票（%2 字节）发送到 %3，超时 %4 毫秒……"}),
                    {Quoted(ldnName), Number(bytes), Widen(PortWords(port)), Number(port.timeoutMs)});
}

std::u16string SendingPulseText(Language language, const PortConfig& port) {
  return FormatText(Pick(language, {u"Sending the cash drawer pulse to %1 ...", u"正在向 %1 发送钱箱脉冲……"}),
                    {Widen(PortWords(port))});
}

std::u16string OutcomeText(Language language, const SendResult& result, const PortConfig& port) {
  const std::u16string subject = Subject(language, result, port);
  const std::u16string object = Object(language, result, port);
  const std::u16string error = ErrorWords(language, result.error);
  const std::u16string timeout = Number(port.timeoutMs);
  switch (result.end) {
    case SendEnd::kNotReady:
    case SendEnd::kLostBefore:
      return {};  // nothing was sent; the window says why
    case SendEnd::kSent:
    case SendEnd::kLostAfter:
      return FormatText(Pick(language, {u"Sent %1 bytes to %2.", u"已向 %2 发送 %1 字节。"}), {Number(result.total), object});
    case SendEnd::kNoNetworking:
      return FormatText(Pick(language, {u"Windows networking could not be started: %1", u"无法启动 Windows 网络：%1"}),
                        {error});
    case SendEnd::kRefused:
      return FormatText(Pick(language, {u"%1 refused the connection: no printer listens there.",
                                        u"%1 拒绝了连接：该处没有打印机在监听。"}),
                        {subject});
    case SendEnd::kNoAnswer:
      return FormatText(Pick(language, {u"No printer answered at %1 within %2 ms.", u"%2 毫秒内 %1 处没有打印机应答。"}),
                        {object, timeout});
    case SendEnd::kUnreachable:
      return FormatText(Pick(language, {u"%1 could not be reached: %2", u"无法连接 %1：%2"}), {subject, error});
    case SendEnd::kOpenFailed:
      return FormatText(Pick(language, {u"%1 could not be opened: %2", u"无法打开 %1：%2"}), {subject, error});
    case SendEnd::kSetupFailed:
      return FormatText(Pick(language, {u"%1 could not be set to %2 baud, 8 data bits, no parity, 1 stop bit: %3",
                                        u"无法将 %1 设为 %2 波特、8 个数据位、无校验、1 个停止位：%3"}),
                        {subject, Number(port.baud), error});
    case SendEnd::kNoUsbPrinter:
      return Pick(language, {u"No USB printer is connected.", u"没有连接 USB 打印机。"});
    case SendEnd::kUsbListFailed:
      return FormatText(Pick(language, {u"The USB printers could not be listed: %1", u"无法列出 USB 打印机：%1"}),
                        {error});
    case SendEnd::kStalled:
      return FormatText(Pick(language, {u"%1 took only %2 of %3 bytes within %4 ms.",
                                        u"%4 毫秒内 %1 只接收了 %3 字节中的 %2 字节。"}),
                        {subject, Number(result.sent), Number(result.total), timeout});
    case SendEnd::kWriteFailed:
      return FormatText(Pick(language, {u"Sending to %1 failed after %2 of %3 bytes: %4",
                                        u"向 %1 发送失败，已发送 %3 字节中的 %2 字节：%4"}),
                        {object, Number(result.sent), Number(result.total), error});
  }
  return {};
}

std::u16string ClosesSoonText(Language language) {
  return Pick(language, {u"This window closes by itself in 3 seconds.", u"本窗口将在 3 秒后自动关闭。"});
}

std::u16string IdentityText(Language language, const std::string& model, const std::string& firmware) {
  if (firmware.empty()) return FormatText(Pick(language, {u"Printer: %1.", u"打印机：%1。"}), {Widen(model)});
  if (model.empty()) return FormatText(Pick(language, {u"Printer firmware: %1.", u"打印机固件：%1。"}), {Widen(firmware)});
  return FormatText(Pick(language, {u"Printer: %1, firmware %2.", u"打印机：%1，固件 %2。"}), {Widen(model), Widen(firmware)});
}

std::u16string NoStatusText(Language language) {
  return Pick(language, {u"The printer gives no status over this port.", u"打印机不通过此端口提供状态。"});
}

std::vector<std::u16string> ConditionLines(Language language, std::uint32_t conditions, std::uint8_t answered) {
  static constexpr struct {
    std::uint32_t condition;
    Pair text;
  } kLines[] = {
      {kCoverOpen, {u"The cover is open.", u"打印机盖已打开。"}},
      {kFeedingByButton, {u"Paper is being fed by the FEED button.", u"正在用走纸键走纸。"}},
      {kPaperEnd, {u"Paper end: the roll is used up.", u"纸尽：纸卷已用完。"}},
      {kPaperNearEnd, {u"Paper near end: the roll is running out.", u"纸将尽：纸卷快用完了。"}},
      {kCutterError, {u"Cutter error.", u"切刀错误。"}},
      {kUnrecoverableError, {u"Unrecoverable error.", u"不可恢复的错误。"}},
      {kAutoRecoverableError,
       {u"An error that clears itself, such as a print head too hot.", u"可自动恢复的错误，例如打印头过热。"}},
      {kOtherError, {u"The printer reports an error.", u"打印机报告了错误。"}},
  };
  std::vector<std::u16string> lines;
  if (answered == 0) return lines;
  lines.push_back((conditions & kOffLine) != 0 ? Pick(language, {u"The printer is off-line.", u"打印机离线。"})
                                               : Pick(language, {u"The printer is on-line.", u"打印机在线。"}));
  for (const auto& line : kLines) {
    if ((conditions & line.condition) != 0) lines.push_back(Pick(language, line.text));
  }
  lines.push_back((conditions & kDrawerHigh) != 0 ? Pick(language, {u"Drawer switch: high.", u"钱箱开关：高。"})
                                                  : Pick(language, {u"Drawer switch: low.", u"钱箱开关：低。"}));
  if (answered < kStatusRequests) {
    lines.push_back(FormatText(Pick(language, {u"The printer answered only %1 of the 4 status requests.",
                                               u"打印机只应答了 4 个状态请求中的 %1 个。"}),
                               {Number(answered)}));
  }
  return lines;
}

std::u16string NotReadyText(Language language, SendKind kind) {
  if (kind == SendKind::kPulse) {
    return Pick(language, {u"The printer is not ready, so the drawer pulse was not sent: it would wait in the printer "
                           u"and open the drawer later.",
                           u"打印机未就绪，因此没有发送钱箱脉冲：否则它会留在打印机里，稍后才打开钱箱。"});
  }
  return Pick(language, {u"The printer is not ready, so the test receipt was not sent: it would wait in the printer "
                         u"and come out later, on someone else's receipt.",
                         u"打印机未就绪，因此没有发送测试小票：否则它会留在打印机里，稍后打印在别人的小票上。"});
}

std::u16string NotReadyNowText(Language language) {
  return Pick(language, {u"The printer is not ready now: what it has not printed yet waits in it and comes out later.",
                         u"打印机现在未就绪：尚未打印的内容留在打印机里，稍后才会打印出来。"});
}

std::u16string AfterPrintingText(Language language) {
  return Pick(language, {u"After printing, the printer reports:", u"打印后，打印机报告："});
}

std::u16string NoStatusAfterText(Language language) {
  return Pick(language, {u"After printing, the printer answered no status request.", u"打印后，打印机没有应答状态请求。"});
}

std::u16string NearEndWarningText(Language language) {
  return Pick(language, {u"Put in a new paper roll soon.", u"请尽快换上新的纸卷。"});
}

std::u16string DrawerSwitchText(Language language, std::uint32_t before, std::uint32_t after, bool afterKnown) {
  const auto level = [&](std::uint32_t conditions) {
    return (conditions & kDrawerHigh) != 0 ? Pick(language, {u"high", u"高"}) : Pick(language, {u"low", u"低"});
  };
  return FormatText(Pick(language, {u"Drawer switch: %1 before the pulse, %2 after it.", u"钱箱开关：脉冲前为%1，脉冲后为%2。"}),
                    {level(before), afterKnown ? level(after) : Pick(language, {u"not known", u"未知"})});
}

std::u16string LostText(Language language, SendKind kind, bool afterSending, const PortConfig& port,
                        const SendResult& result) {
  const std::u16string what = kind == SendKind::kPulse ? Pick(language, {u"drawer pulse", u"钱箱脉冲"})
                                                        : Pick(language, {u"test receipt", u"测试小票"});
  if (afterSending) {
    return FormatText(Pick(language, {u"The connection to %1 was lost before the printer confirmed the %2: whether "
                                      u"it received all of it is not known.",
                                      u"在打印机确认%2之前，与 %1 的连接中断：不知道打印机是否全部收到。"}),
                      {Object(language, result, port), what});
  }
  return FormatText(Pick(language, {u"The connection to %1 was lost after the status requests: the %2 was not sent.",
                                    u"与 %1 的连接在状态请求之后中断：没有发送%2。"}),
                    {Object(language, result, port), what});
}

std::u16string NotStartedText(Language language) {
  return Pick(language, {u"The send could not be started.", u"无法开始发送。"});
}

}  // namespace dunlith
