#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings file: UTF-8 text that a person can read and edit, one section per LDN.
//
//   ; a comment
//   [Shop 1]
//   Port = COM3 at 19200
//   TimeOut = 1000
//   CodePage = 437
//   DotLineWidth = 576
//   Effect = Burkes
//
// The section's name is the LDN's name, exactly as it stands between the first "[" and the last
// "]" of its line. Setting names ignore letter case; blanks around names and values and whole
// lines that are blank or start with ";" or "#" do not count; a setting that a section does not
// give stays as the registry holds it.
namespace corvale {

inline constexpr std::uint32_t kSettingsPortUsb = 1;
inline constexpr std::uint32_t kSettingsPortSerial = 2;
inline constexpr std::uint32_t kSettingsPortEthernet = 3;

// A port as the registry stores it: its type, and the setting of that type (0 for USB; the COM
// port number in byte 0 and the speed's code in byte 1 for serial; the IPv4 address with its first
// octet in the most significant byte for Ethernet).
struct PortChoice {
  std::uint32_t type = 0;
  std::uint32_t setting = 0;
  bool operator==(const PortChoice&) const = default;
};

struct LdnSettings {
  std::u16string name;
  // The line of its section, counted from 1.
  int line = 0;
  std::optional<PortChoice> port;
  std::optional<std::uint32_t> timeOut;
  std::optional<std::uint32_t> codePage;
  std::optional<std::uint32_t> dotLineWidth;
  std::optional<std::uint32_t> effect;
  // Written as comment lines below the section's name.
  std::vector<std::u16string> notes;
};

// The speeds of a serial port, by their code less one.
inline constexpr std::array<std::uint32_t, 4> kBaudRates = {9600, 19200, 38400, 115200};
// The monochrome effects, by their index.
extern const std::array<const char16_t*, 11> kEffectNames;

// The readable form of a port; empty when the stored values have none.
std::u16string PortText(const PortChoice& port);

enum class SettingsRead {
  kRead,
  kNotText,  // not UTF-8 (a UTF-16 file among them), or holding a NUL
  kEmpty,    // no byte at all, or nothing but blanks and comments
  kError,    // a line that is wrong
};

// Reads a settings file. On kNotText and kError, |line| is the line concerned and |message| says
// what is wrong with it; nothing is read into |ldns| then.
SettingsRead ReadSettingsFile(std::string_view bytes, std::vector<LdnSettings>* ldns, int* line,
                              std::u16string* message);

// The text of a settings file (UTF-8 with a byte-order mark, CR LF line ends), with the comment
// that explains the form at its top when |withHeader|. False with |unwritable| the first LDN
// whose name the file cannot hold: one with a line break or a control character in it, or one
// that is not Unicode text.
bool WriteSettingsFile(const std::vector<LdnSettings>& ldns, bool withHeader, std::string* bytes,
                       std::u16string* unwritable);

// The sections alone, as text, for the console.
std::u16string SettingsText(const std::vector<LdnSettings>& ldns);

}  // namespace corvale
