#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "dialog/install_view.h"

namespace velmara::testing {

// The installation dialog's window as its template creates it: every control visible, enabled
// and unchecked.
class FakeInstallView final : public InstallView {
 public:
  struct Placement {
    int left, top, width, height;
    bool operator==(const Placement&) const = default;
  };

  WindowHandle Handle() override { return &handle_; }
  void SetCaption(const std::string& text) override { caption = text; }
  void SetText(int id, const std::string& text) override {
    texts[id] = text;
    textOrder.push_back(id);
  }
  void SetChecked(int id, bool checked) override { checked_[id] = checked; }
  bool IsChecked(int id) override { return checked_[id]; }
  void Show(int id, bool visible) override { hidden_[id] = !visible; }
  void Enable(int id, bool enabled) override { disabled_[id] = !enabled; }
  void Move(int id, int left, int top, int width, int height) override {
    placements[id] = {left, top, width, height};
  }
  void ReportClicks(int id) override { reportsClicks.insert(id); }
  void UseRemarkFont(int id) override { remarkFontOn.insert(id); }
  PageBitmap LoadLogo() override { return logo; }
  void StartTimer(int id, std::uint32_t milliseconds) override { timers[id] = milliseconds; }
  void StopTimer(int id) override { timers.erase(id); }
  void End(int result) override {
    EXPECT_FALSE(ended.has_value()) << "the dialog ended twice";
    ended = result;
  }

  bool Visible(int id) const { return !hidden_.count(id) || !hidden_.at(id); }
  bool Enabled(int id) const { return !disabled_.count(id) || !disabled_.at(id); }
  // The user's clicks: an automatic radio button checks itself and unchecks its group.
  void ClickRadio(int id, const std::vector<int>& group) {
    for (int other : group) checked_[other] = other == id;
  }

  std::optional<std::string> caption;
  std::map<int, std::string> texts;
  std::vector<int> textOrder;
  std::map<int, Placement> placements;
  std::set<int> reportsClicks;
  std::set<int> remarkFontOn;
  std::map<int, std::uint32_t> timers;
  std::optional<int> ended;
  PageBitmap logo{&handle_, 308, 87};

 private:
  int handle_ = 0;
  std::map<int, bool> checked_;
  std::map<int, bool> hidden_;
  std::map<int, bool> disabled_;
};

// The backdrop's window; the installation dialog's part is a script.
class FakeMainView final : public MainView {
 public:
  WindowHandle Handle() override { return &handle_; }
  void UseBannerFont() override { steps.push_back("banner font"); }
  void AddAboutMenuItem() override { steps.push_back("about item"); }
  void SetIcons() override { steps.push_back("icons"); }
  void ShowMaximized() override { steps.push_back("maximised"); }
  int RunInstallDialog(ConfingDialog& dialog) override {
    steps.push_back("install dialog");
    return installDialog ? installDialog(dialog) : -1;
  }
  void StartTimer(int id, std::uint32_t milliseconds) override { timers[id] = milliseconds; }
  void StopTimer(int id) override { timers.erase(id); }
  void End(int result) override {
    EXPECT_FALSE(ended.has_value()) << "the window ended twice";
    ended = result;
  }

  std::vector<std::string> steps;
  std::function<int(ConfingDialog&)> installDialog;
  std::map<int, std::uint32_t> timers;
  std::optional<int> ended;

 private:
  int handle_ = 0;
};

}  // namespace velmara::testing
