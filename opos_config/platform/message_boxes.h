#pragma once

#include <string>

namespace corvale {

// Message boxes that no window owns, for the runs without the dialog.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A standard message box titled with the program's file name without extension; the button
  // pressed.
  virtual int Show(const std::u16string& text, unsigned style) = 0;
};

}  // namespace corvale
