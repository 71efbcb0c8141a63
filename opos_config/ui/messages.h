#pragma once

#include <string>

namespace corvale::messages {

// |pattern| with %1 and %2 replaced by |first| and |second|, in one pass, so that a name that
// holds "%2" stays as it is.
inline std::u16string Fill(const std::u16string& pattern, const std::u16string& first,
                           const std::u16string& second = std::u16string()) {
  std::u16string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && (pattern[i + 1] == u'1' || pattern[i + 1] == u'2')) {
      text += pattern[++i] == u'1' ? first : second;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

inline const std::u16string kNoLdn = u"No LDN !";
inline const std::u16string kApplySuccess = u"Apply setting success !";
inline const std::u16string kApplyFailed = u"Apply setting failed !\r\nPls try <run as administrator> !";
inline const std::u16string kSelectValidLdn = u"Pls select a valid LDN !";
inline const std::u16string kDeleteSuccess = u"Delete LDN successfully !";
inline const std::u16string kDeleteFailed = u"Delete LDN failed !";
inline const std::u16string kNotANumber = u"请输入一个正整数。";
inline const std::u16string kOutOfRange = u"请输入一个 %1 至 %2 之间的整数。";
inline const std::u16string kAddSuccess = u"Add new LDN successfully !";
inline const std::u16string kAlreadyExists = u"<%s> alrealy exists !";
inline const std::u16string kError = u"Error !";
inline const std::u16string kNoPermission = u"Not permission !";
inline const std::u16string kInputNewLdn = u"Pls input new LDN !";
// An LDN that one device class does not have: %1 the LDN, %2 the class.
inline const std::u16string kLdnNotFoundInClass = u"<%1> not found under %2 !";
inline const std::u16string kNothingWritten = u"Nothing was written.";
inline const std::u16string kOnlyPrinterWritten = u"Only its POSPrinter settings were written.";
// The key that an LDN's name leads to is another program's, or another LDN's: %1 the LDN, %2 the class.
inline const std::u16string kNotItsKey = u"<%1> under %2 is not the key this tool made for it !";
// Settings that the registry holds in a form this tool cannot read, left as they are: %1 their names.
inline const std::u16string kKeptAsStored = u"Kept as stored, in a form this tool cannot read: %1";
// What a partial Delete left: %1 the LDN, %2 the class.
inline const std::u16string kLeftUnder = u"<%1> is left under %2.";
// A key that a failed New made and could not remove: %1 the key, %2 the class.
inline const std::u16string kKeyLeftBehind = u"Its new key <%1> under %2 could not be removed.";
// The printing-test program did not start: %1 the program, %2 the system's words.
inline const std::u16string kCannotStart = u"Cannot start %1 !\r\n%2";
inline const std::u16string kNoCurrentDirectory = u"The current directory cannot be read.";

}  // namespace corvale::messages
