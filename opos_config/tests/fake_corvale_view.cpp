#include "fake_corvale_view.h"

namespace corvale::testing {

namespace {

bool IsRadio(int id) { return id == IDR_USB || id == IDR_SERIAL || id == IDR_ETHERNET; }
bool HasText(int id) { return id == IDE_TIME_OUT || id == IDE_CODE_PAGE || id == IDT_CREDIT; }

}  // namespace

FakeCorvaleView::FakeCorvaleView() {
  lists_[IDC_LDN_LIST];
  lists_[IDC_PORT_NAME];
  lists_[IDC_BAUD_RATE].entries = {u"9600", u"19200", u"38400", u"115200"};
  lists_[IDC_EFFECTS].entries = {u"Floyd-Steinberg",
                                 u"Ordered-Dithering (4x4)",
                                 u"Burkes",
                                 u"Stucki",
                                 u"Jarvis-Judice-Ninke",
                                 u"Sierra",
                                 u"Stevenson-Arce",
                                 u"Bayer (4x4)",
                                 u"Bayer (8x8)",
                                 u"Bayer (16x16)",
                                 u"Adaptive Threshold"};
  lists_[IDC_DOT_LINE_WIDTH].entries = {u"576", u"640"};
  for (int id : {IDE_TIME_OUT, IDE_CODE_PAGE, IDT_CREDIT}) texts_[id];
}

FakeCorvaleView::List& FakeCorvaleView::ListOf(int id) {
  auto it = lists_.find(id);
  if (it == lists_.end()) {
    ADD_FAILURE() << "control " << id << " is not a drop-down list";
    return lists_[0];
  }
  return it->second;
}

void FakeCorvaleView::SetText(int id, const std::u16string& text) {
  if (!HasText(id)) ADD_FAILURE() << "control " << id << " takes no text";
  texts_[id] = text;
}

std::u16string FakeCorvaleView::Text(int id) {
  if (!HasText(id)) ADD_FAILURE() << "control " << id << " has no text";
  return texts_[id];
}

int FakeCorvaleView::ShowMessage(const std::u16string& text, unsigned style) {
  messages.push_back({text, style});
  return kIdOk;
}

void FakeCorvaleView::ResetList(int id) {
  List& list = ListOf(id);
  list.entries.clear();
  list.selection = -1;
}

void FakeCorvaleView::AddToList(int id, const std::u16string& text) { ListOf(id).entries.push_back(text); }

void FakeCorvaleView::SelectInList(int id, int index) {
  List& list = ListOf(id);
  // As CB_SETCURSEL: an index outside the list clears the selection.
  list.selection = (index >= 0 && index < static_cast<int>(list.entries.size())) ? index : -1;
}

int FakeCorvaleView::ListSelection(int id) { return ListOf(id).selection; }

std::u16string FakeCorvaleView::ListText(int id, int index) {
  List& list = ListOf(id);
  if (index < 0 || index >= static_cast<int>(list.entries.size())) return {};
  return list.entries[static_cast<std::size_t>(index)];
}

std::u16string FakeCorvaleView::SelectedText(int id) { return ListText(id, ListSelection(id)); }

void FakeCorvaleView::SetChecked(int id, bool checked) {
  if (!IsRadio(id)) ADD_FAILURE() << "control " << id << " is not a radio button";
  checked_[id] = checked;
}

bool FakeCorvaleView::IsChecked(int id) {
  if (!IsRadio(id)) ADD_FAILURE() << "control " << id << " is not a radio button";
  return checked_[id];
}

int FakeCorvaleView::CheckedPort() const {
  int found = 0;
  for (const auto& [id, checked] : checked_) {
    if (!checked) continue;
    if (found != 0) return -1;
    found = id;
  }
  return found;
}

void FakeCorvaleView::ClickRadio(int id) {
  // An automatic radio button checks itself and unchecks the rest of its group.
  for (int radio : {IDR_USB, IDR_SERIAL, IDR_ETHERNET}) checked_[radio] = radio == id;
}

void FakeCorvaleView::Enable(int id, bool enabled) {
  if (enabled) {
    disabled_.erase(id);
  } else {
    disabled_[id] = true;
  }
}

void FakeCorvaleView::SetIpAddress(int id, std::uint32_t address) {
  EXPECT_EQ(id, IDC_IP_ADDRESS);
  ip_ = address;
}

std::uint32_t FakeCorvaleView::IpAddress(int id) {
  EXPECT_EQ(id, IDC_IP_ADDRESS);
  return ip_.value_or(0);
}

void FakeCorvaleView::Focus(int id) {
  focus = id;
  focusSelectsAll = false;
}

void FakeCorvaleView::FocusAndSelectAll(int id) {
  focus = id;
  focusSelectsAll = true;
}

void FakeCorvaleView::RunNewLdnDialog(InputNewLDN& dialog) {
  FakeNewLdnView view;
  dialog.OnInitDialog(view);
  if (newLdnDialogScript) {
    newLdnDialogScript(dialog, view);
  } else {
    ADD_FAILURE() << "the New LDN dialog opened unexpectedly";
  }
  if (!view.ended) ADD_FAILURE() << "the New LDN dialog was left open";
  newLdnDialogs.push_back(view);
}

}  // namespace corvale::testing
