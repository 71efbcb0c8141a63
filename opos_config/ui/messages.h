#pragma once

#include <string>

namespace corvale::messages {

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

}  // namespace corvale::messages
