#pragma once

#include <string_view>

namespace corvale {

// The console of whoever started the program (a command prompt, a script), or the file or pipe
// its output was redirected to. Corvale is a GUI program: Windows gives it no console of its own.
class Console {
 public:
  virtual ~Console() = default;
  // Whether there is one: a console to attach to, or a redirected output.
  virtual bool Present() = 0;
  // Writes the text: as it is to a console, as UTF-8 to a file or pipe.
  virtual void Write(std::u16string_view text) = 0;
};

}  // namespace corvale
