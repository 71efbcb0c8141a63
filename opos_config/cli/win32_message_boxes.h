#pragma once

#include "platform/message_boxes.h"

namespace corvale {

// MessageBoxW without an owner window.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  int Show(const std::u16string& text, unsigned style) override;
};

}  // namespace corvale
