#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "ui/corvale_view.h"
#include "ui/input_new_ldn.h"

namespace corvale::testing {

struct ShownMessage {
  std::u16string text;
  unsigned style;
};

inline void PrintTo(const ShownMessage& m, std::ostream* os) {
  *os << "message ";
  ::testing::internal::UniversalPrint(m.text, os);
  *os << " style " << m.style;
}

// The New LDN dialog's controls as the template creates them.
class FakeNewLdnView final : public NewLdnView {
 public:
  WindowHandle Handle() override { return &handle_; }
  void SetText(int id, const std::u16string& text) override {
    EXPECT_EQ(id, IDE_NEW_LDN);
    edit = text;
  }
  std::u16string Text(int id) override {
    EXPECT_EQ(id, IDE_NEW_LDN);
    return edit;
  }
  int ShowMessage(const std::u16string& text, unsigned style) override {
    messages.push_back({text, style});
    return kIdOk;
  }
  void EndDialog(int result) override { ended = result; }

  std::u16string edit;
  std::vector<ShownMessage> messages;
  std::optional<int> ended;

 private:
  int handle_ = 0;
};

// The main dialog's controls as the template creates them: the lists that the template fills,
// every control enabled, nothing checked, an empty IP address.
class FakeCorvaleView final : public CorvaleView {
 public:
  FakeCorvaleView();

  WindowHandle Handle() override { return &handle_; }
  void SetText(int id, const std::u16string& text) override;
  std::u16string Text(int id) override;
  int ShowMessage(const std::u16string& text, unsigned style) override;

  void ResetList(int id) override;
  void AddToList(int id, const std::u16string& text) override;
  void SelectInList(int id, int index) override;
  int ListSelection(int id) override;
  std::u16string ListText(int id, int index) override;
  void SetChecked(int id, bool checked) override;
  bool IsChecked(int id) override;
  void Enable(int id, bool enabled) override;
  void SetIpAddress(int id, std::uint32_t address) override;
  std::uint32_t IpAddress(int id) override;
  void Focus(int id) override;
  void FocusAndSelectAll(int id) override;
  void RunNewLdnDialog(InputNewLDN& dialog) override;

  // What the user sees.
  std::vector<std::u16string>& Entries(int id) { return lists_.at(id).entries; }
  std::u16string SelectedText(int id);
  bool Enabled(int id) const { return !disabled_.count(id); }
  int CheckedPort() const;  // the id of the one checked port radio, 0 for none, -1 for several
  std::optional<std::uint32_t> ShownIpAddress() const { return ip_; }

  // What the user does.
  void Type(int editId, const std::u16string& text) { SetText(editId, text); }
  void Choose(int listId, int index) { SelectInList(listId, index); }
  void ClickRadio(int id);

  std::vector<ShownMessage> messages;
  int focus = 0;
  bool focusSelectsAll = false;
  // The user's part in the New LDN dialog, given its view once the dialog has initialised.
  std::function<void(InputNewLDN&, FakeNewLdnView&)> newLdnDialogScript;
  std::vector<FakeNewLdnView> newLdnDialogs;

 private:
  struct List {
    std::vector<std::u16string> entries;
    int selection = -1;
  };
  List& ListOf(int id);

  int handle_ = 0;
  std::map<int, List> lists_;
  std::map<int, std::u16string> texts_;
  std::map<int, bool> checked_;
  std::map<int, bool> disabled_;
  std::optional<std::uint32_t> ip_;
};

}  // namespace corvale::testing
