#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/ui_services.h"

namespace velmara {

// Records every message box and answers with the next scripted button (OK, or Yes for a
// question, when nothing is scripted).
class RecordingMessageBoxes final : public MessageBoxes {
 public:
  struct Call {
    WindowHandle owner;
    std::string text;
    unsigned style;
  };

  int Show(WindowHandle owner, const std::string& text, unsigned style) override {
    calls.push_back({owner, text, style});
    if (!answers.empty()) {
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return (style & 0x0F) == kMbYesNo ? kIdYes : kIdOk;
  }

  std::vector<Call> calls;
  std::deque<int> answers;
};

// Records the pauses instead of waiting.
class RecordingPauses final : public Pauses {
 public:
  void Sleep(std::uint32_t milliseconds) override { pauses.push_back(milliseconds); }
  std::vector<std::uint32_t> pauses;
};

class RecordingDebugOutput final : public DebugOutput {
 public:
  void Write(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

}  // namespace velmara
