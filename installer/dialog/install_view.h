#pragma once

#include <cstdint>
#include <string>

#include "platform/printing.h"
#include "platform/ui_services.h"

namespace velmara {

// What the installation dialog's commands see of its window, by control id.
class InstallView {
 public:
  virtual ~InstallView() = default;
  virtual WindowHandle Handle() = 0;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetText(int id, const std::string& text) = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool IsChecked(int id) = 0;
  virtual void Show(int id, bool visible) = 0;
  virtual void Enable(int id, bool enabled) = 0;
  // Moves a control to a rectangle of the client area, in pixels, and repaints it.
  virtual void Move(int id, int left, int top, int width, int height) = 0;
  // SS_NOTIFY, so that the static text reports its double-clicks.
  virtual void ReportClicks(int id) = 0;
  // Gives the dialog's remark font to a control.
  virtual void UseRemarkFont(int id) = 0;
  // The test-page logo, bitmap resource 141; owned by the window.
  virtual PageBitmap LoadLogo() = 0;
  virtual void StartTimer(int id, std::uint32_t milliseconds) = 0;
  virtual void StopTimer(int id) = 0;
  virtual void End(int result) = 0;
};

}  // namespace velmara
