#pragma once

#include <cstdint>
#include <string>

#include "port_config.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"

// Finds an LDN the way an OPOS control object does, with read access only, and turns its
// printer record into the port to test.
namespace dunlith {

enum class LdnProblem {
  kNone,
  kNoName,              // the parameter text named no LDN
  kNoRegistryLocation,  // OPOS has no class key on this processor architecture
  kUnknown,             // neither a key nor an alias of that name
  kNotMadeByTool,       // the key lacks the made-by-tool marker
  kNotApplied,          // PortType 0: no port was ever applied
  kUnknownPortType,
  kNoSerialPort,        // serial, byte 0 of PortSetting is 0
  kNoBaudRate,          // serial, byte 1 of PortSetting is no baud-rate code
  kNoAddress,           // Ethernet, the address 0.0.0.0
};

struct TestTarget {
  LdnProblem problem = LdnProblem::kUnknown;
  std::u16string name;
  corvale::LDNRecord printer;
  PortConfig port;
  // The LDN's CashDrawer half exists and was made by the tool.
  bool hasDrawer = false;
  // "TimeOut" asked for a longer wait than Dunlith ever makes; port.timeoutMs is the limit.
  bool timeOutCapped = false;
};

// The name of the LDN key that |name| stands for in |deviceClass|: the key of that name, else
// the key that the alias of that name points at; empty when there is neither.
std::u16string ResolveLdnKey(const corvale::OposStore& store, const std::u16string& name,
                             const std::u16string& deviceClass);

TestTarget LookUpLdn(const corvale::OposStore& store, const std::u16string& name);

// The LDN that the parameter text names: the LDN of exactly that name, blanks and quotes
// included, since Corvale accepts both in a name; only when there is none and the text is in
// double quotes, as a name typed at a prompt may be, the LDN named inside them.
TestTarget LookUpNamedLdn(const corvale::OposStore& store, const std::u16string& parameters);

// The time-out that the ports use: "TimeOut" in ms, where 0, which a serial port would take as
// "no limit", counts as the default 1000, and no wait is longer than kLongestWaitMs.
std::uint32_t EffectiveTimeOut(std::uint32_t timeOut);

}  // namespace dunlith
