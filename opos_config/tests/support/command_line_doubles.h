#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/message_boxes.h"

namespace corvale {

// The console of the program that started this one, as a text; or none at all.
class FakeConsole final : public Console {
 public:
  bool Present() override { return present; }
  void Write(std::u16string_view text) override {
    EXPECT_TRUE(present) << "written to a console that is not there";
    output.append(text);
  }

  bool present = true;
  std::u16string output;
};

// Records every message box and answers OK.
class RecordingMessageBoxes final : public MessageBoxes {
 public:
  int Show(const std::u16string& text, unsigned style) override {
    texts.push_back(text);
    styles.push_back(style);
    return 1;
  }
  std::vector<std::u16string> texts;
  std::vector<unsigned> styles;
};

class FixedClock final : public Clock {
 public:
  LocalTime Now() override { return now; }
  LocalTime now{2016, 3, 5, 9, 7, 3};
};

}  // namespace corvale
