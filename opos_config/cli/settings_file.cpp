#include "settings_file.h"

#include <string>

#include "text_encoding.h"

namespace corvale {

const std::array<const char16_t*, 11> kEffectNames = {
    u"Floyd-Steinberg", u"Ordered-Dithering (4x4)", u"Burkes",        u"Stucki",        u"Jarvis-Judice-Ninke",
    u"Sierra",          u"Stevenson-Arce",          u"Bayer (4x4)",   u"Bayer (8x8)",   u"Bayer (16x16)",
    u"Adaptive Threshold"};

namespace {

const char16_t kHeader[] =
    u"; Corvale's OPOS settings: one section per LDN, named as the LDN is.\r\n"
    u"; Port = USB, COMn at 9600|19200|38400|115200, or an IPv4 address such as 192.168.1.100\r\n"
    u"; TimeOut = 10 to 10000 (ms); CodePage = 0 to 99999; DotLineWidth = 576 or 640\r\n"
    u"; Effect = Floyd-Steinberg, Ordered-Dithering (4x4), Burkes, Stucki, Jarvis-Judice-Ninke, Sierra,\r\n"
    u";          Stevenson-Arce, Bayer (4x4), Bayer (8x8), Bayer (16x16) or Adaptive Threshold\r\n"
    u"; A setting left out stays as it is; an LDN that is missing is made.\r\n"
    u"\r\n";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::u16string Decimal(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// A whole decimal number of at most |maxDigits| digits, nothing else.
std::optional<std::uint32_t> Number(std::u16string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
  }
  return value;
}

std::optional<PortChoice> ParsePort(std::u16string_view text) {
  if (SameIgnoringCase(text, u"USB")) return PortChoice{kSettingsPortUsb, 0};
  // COMn at speed.
  if (text.size() > 3 && SameIgnoringCase(text.substr(0, 3), u"COM")) {
    std::u16string_view rest = text.substr(3);
    const std::size_t blank = rest.find_first_of(u" \t");
    if (blank == std::u16string_view::npos) return std::nullopt;
    const std::optional<std::uint32_t> port = Number(rest.substr(0, blank), 3);
    rest = Trim(rest.substr(blank));
    if (!port || *port < 1 || *port > 255 || rest.size() < 3 || !SameIgnoringCase(rest.substr(0, 2), u"at") ||
        !IsBlank(rest[2])) {
      return std::nullopt;
    }
    const std::optional<std::uint32_t> speed = Number(Trim(rest.substr(2)), 6);
    for (std::size_t code = 0; speed && code < kBaudRates.size(); ++code) {
      if (kBaudRates[code] == *speed) return PortChoice{kSettingsPortSerial, *port | static_cast<std::uint32_t>(code + 1) << 8};
    }
    return std::nullopt;
  }
  // a.b.c.d
  std::uint32_t address = 0;
  for (int octet = 0; octet < 4; ++octet) {
    const std::size_t dot = octet < 3 ? text.find(u'.') : text.size();
    if (dot == std::u16string_view::npos) return std::nullopt;
    const std::optional<std::uint32_t> value = Number(text.substr(0, dot), 3);
    if (!value || *value > 255) return std::nullopt;
    address = address << 8 | *value;
    text.remove_prefix(octet < 3 ? dot + 1 : dot);
  }
  return PortChoice{kSettingsPortEthernet, address};
}

// Whether a settings file can hold |name| as a section's name, and read it back the same.
bool NameFits(std::u16string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if ((c < 0x20 && c != u'\t') || c == 0x7F) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::u16string PortText(const PortChoice& port) {
  switch (port.type) {
    case kSettingsPortUsb:
      return u"USB";
    case kSettingsPortSerial: {
      const std::uint32_t number = port.setting & 0xFF;
      const std::uint32_t code = (port.setting >> 8) & 0xFF;
      if (number < 1 || code < 1 || code > kBaudRates.size()) return {};
      return u"COM" + Decimal(number) + u" at " + Decimal(kBaudRates[code - 1]);
    }
    case kSettingsPortEthernet:
      return Decimal(port.setting >> 24) + u"." + Decimal((port.setting >> 16) & 0xFF) + u"." +
             Decimal((port.setting >> 8) & 0xFF) + u"." + Decimal(port.setting & 0xFF);
    default:
      return {};
  }
}

SettingsRead ReadSettingsFile(std::string_view bytes, std::vector<LdnSettings>* ldns, int* line,
                              std::u16string* message) {
  ldns->clear();
  *line = 0;
  message->clear();
  const auto lineOf = [&bytes](std::size_t offset) {
    int number = 1;
    for (std::size_t i = 0; i < offset; ++i) number += bytes[i] == '\n' ? 1 : 0;
    return number;
  };
  if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    *line = 1;
    *message = u"UTF-16 text; it must be saved as UTF-8";
    return SettingsRead::kNotText;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::u16string text;
  std::size_t bad = 0;
  if (!Utf16FromUtf8(bytes, &text, &bad)) {
    *line = lineOf(bad);
    *message = u"not UTF-8 text";
    return SettingsRead::kNotText;
  }
  if (const std::size_t nul = text.find(u'\0'); nul != std::u16string::npos) {
    *line = lineOf(bytes.find('\0'));
    *message = u"a NUL character: not text";
    return SettingsRead::kNotText;
  }

  std::vector<LdnSettings> read;
  const auto fail = [&](int at, std::u16string what) {
    *line = at;
    *message = std::move(what);
    return SettingsRead::kError;
  };
  int number = 0;
  for (std::size_t start = 0; start <= text.size();) {
    ++number;
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string_view raw(text.data() + start, end - start);
    start = end + 1;
    if (!raw.empty() && raw.back() == u'\r') raw.remove_suffix(1);
    for (char16_t c : raw) {
      if ((c < 0x20 && c != u'\t') || c == 0x7F) return fail(number, u"a control character");
    }
    const std::u16string_view content = Trim(raw);
    if (content.empty() || content[0] == u';' || content[0] == u'#') continue;

    if (content.front() == u'[' && content.back() == u']' && content.size() >= 2) {
      LdnSettings ldn;
      ldn.name = std::u16string(content.substr(1, content.size() - 2));
      ldn.line = number;
      if (ldn.name.empty()) return fail(number, u"an LDN without a name");
      read.push_back(std::move(ldn));
      continue;
    }
    const std::size_t equals = content.find(u'=');
    if (equals == std::u16string_view::npos) return fail(number, u"not a [section], a setting or a comment");
    if (read.empty()) return fail(number, u"a setting before the first [LDN]");
    LdnSettings& ldn = read.back();
    const std::u16string_view key = Trim(content.substr(0, equals));
    const std::u16string_view value = Trim(content.substr(equals + 1));
    const std::u16string quoted = u" \"" + std::u16string(value) + u"\"";
    const auto once = [&](auto& field) {
      if (field.has_value()) return fail(number, std::u16string(key) + u" is given twice for this LDN");
      return SettingsRead::kRead;
    };
    if (SameIgnoringCase(key, u"Port")) {
      if (once(ldn.port) != SettingsRead::kRead) return SettingsRead::kError;
      ldn.port = ParsePort(value);
      if (!ldn.port) {
        return fail(number, u"Port" + quoted + u" is not USB, COMn at 9600, 19200, 38400 or 115200, or an IPv4 address");
      }
    } else if (SameIgnoringCase(key, u"TimeOut")) {
      if (once(ldn.timeOut) != SettingsRead::kRead) return SettingsRead::kError;
      ldn.timeOut = Number(value, 5);
      if (!ldn.timeOut || *ldn.timeOut < 10 || *ldn.timeOut > 10000) {
        return fail(number, u"TimeOut" + quoted + u" is not a whole number from 10 to 10000");
      }
    } else if (SameIgnoringCase(key, u"CodePage")) {
      if (once(ldn.codePage) != SettingsRead::kRead) return SettingsRead::kError;
      ldn.codePage = Number(value, 5);
      if (!ldn.codePage) return fail(number, u"CodePage" + quoted + u" is not a whole number from 0 to 99999");
    } else if (SameIgnoringCase(key, u"DotLineWidth")) {
      if (once(ldn.dotLineWidth) != SettingsRead::kRead) return SettingsRead::kError;
      ldn.dotLineWidth = Number(value, 3);
      if (ldn.dotLineWidth != 576u && ldn.dotLineWidth != 640u) {
        return fail(number, u"DotLineWidth" + quoted + u" is not 576 or 640");
      }
    } else if (SameIgnoringCase(key, u"Effect")) {
      if (once(ldn.effect) != SettingsRead::kRead) return SettingsRead::kError;
      for (std::uint32_t i = 0; i < kEffectNames.size(); ++i) {
        if (SameIgnoringCase(value, kEffectNames[i])) ldn.effect = i;
      }
      if (!ldn.effect) {
        std::u16string names;
        for (const char16_t* name : kEffectNames) names += (names.empty() ? u"" : u", ") + std::u16string(name);
        return fail(number, u"Effect" + quoted + u" is not one of " + names);
      }
    } else {
      return fail(number, u"\"" + std::u16string(key) + u"\" is not a setting: Port, TimeOut, CodePage, DotLineWidth or Effect");
    }
  }
  if (read.empty()) {
    *message = u"it holds no LDN";
    return SettingsRead::kEmpty;
  }
  *ldns = std::move(read);
  return SettingsRead::kRead;
}

std::u16string SettingsText(const std::vector<LdnSettings>& ldns) {
  std::u16string text;
  for (const LdnSettings& ldn : ldns) {
    text += u"[" + ldn.name + u"]\r\n";
    for (const std::u16string& note : ldn.notes) text += u"; " + note + u"\r\n";
    if (ldn.port) text += u"Port = " + PortText(*ldn.port) + u"\r\n";
    if (ldn.timeOut) text += u"TimeOut = " + Decimal(*ldn.timeOut) + u"\r\n";
    if (ldn.codePage) text += u"CodePage = " + Decimal(*ldn.codePage) + u"\r\n";
    if (ldn.dotLineWidth) text += u"DotLineWidth = " + Decimal(*ldn.dotLineWidth) + u"\r\n";
    if (ldn.effect) text += u"Effect = " + std::u16string(kEffectNames[*ldn.effect]) + u"\r\n";
    text += u"\r\n";
  }
  return text;
}

bool WriteSettingsFile(const std::vector<LdnSettings>& ldns, bool withHeader, std::string* bytes,
                       std::u16string* unwritable) {
  for (const LdnSettings& ldn : ldns) {
    if (!NameFits(ldn.name)) {
      *unwritable = ldn.name;
      return false;
    }
  }
  *bytes = "\xEF\xBB\xBF" + Utf8FromUtf16((withHeader ? std::u16string(kHeader) : std::u16string()) + SettingsText(ldns));
  return true;
}

}  // namespace corvale
