#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/console.h"

namespace velmara {

// The console of the program that started this one, as a text; or none at all.
class FakeConsole final : public Console {
 public:
  bool Present() override { return present; }
  void Write(std::string_view text) override {
    EXPECT_TRUE(present) << "written to a console that is not there";
    output.append(text);
  }

  bool present = true;
  std::string output;
};

}  // namespace velmara
