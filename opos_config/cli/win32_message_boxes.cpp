#include "win32_message_boxes.h"

#include <windows.h>

#include "ui/win32_dialog.h"

namespace corvale {

int Win32MessageBoxes::Show(const std::u16string& text, unsigned style) {
  return MessageBoxW(nullptr, W(text), W(ProgramTitle()), style);
}

}  // namespace corvale
