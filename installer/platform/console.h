#pragma once

#include <string_view>

namespace velmara {

// The console of whoever started the program (a command prompt, a script), or the file or pipe
// its output was redirected to. Velmara is a GUI program: Windows gives it no console of its own.
class Console {
 public:
  virtual ~Console() = default;
  // Whether there is one: a console to attach to, or a redirected output.
  virtual bool Present() = 0;
  // Writes UTF-8 text: as UTF-16 to a console, as the UTF-8 bytes themselves to a file or pipe.
  virtual void Write(std::string_view text) = 0;
};

}  // namespace velmara
