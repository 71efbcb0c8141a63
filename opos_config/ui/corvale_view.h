#pragma once

#include <cstdint>
#include <string>

#include "platform/shell.h"

namespace corvale {

class InputNewLDN;

// MessageBox styles and results, as Windows numbers them.
inline constexpr unsigned kMbOk = 0x00000000;
inline constexpr unsigned kMbIconExclamation = 0x00000030;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// What the commands of a dialog see of its controls, by control id.
class DialogView {
 public:
  virtual ~DialogView() = default;
  virtual WindowHandle Handle() = 0;
  virtual void SetText(int id, const std::u16string& text) = 0;
  virtual std::u16string Text(int id) = 0;
  // A message box owned by the dialog, titled with the program's file name without extension.
  virtual int ShowMessage(const std::u16string& text, unsigned style) = 0;
};

// The main dialog's controls.
class CorvaleView : public DialogView {
 public:
  // Drop-down lists. Selecting -1, or an index past the end, leaves nothing selected.
  virtual void ResetList(int id) = 0;
  virtual void AddToList(int id, const std::u16string& text) = 0;
  virtual void SelectInList(int id, int index) = 0;
  virtual int ListSelection(int id) = 0;                   // -1 when nothing is selected
  virtual std::u16string ListText(int id, int index) = 0;  // empty when there is no such entry

  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool IsChecked(int id) = 0;
  virtual void Enable(int id, bool enabled) = 0;

  // The IP-address control: the first octet in the most significant byte, an empty field as 0.
  virtual void SetIpAddress(int id, std::uint32_t address) = 0;
  virtual std::uint32_t IpAddress(int id) = 0;

  virtual void Focus(int id) = 0;
  // Focus on an edit with its whole text selected.
  virtual void FocusAndSelectAll(int id) = 0;

  // Runs the New LDN dialog modally; returns when it has closed.
  virtual void RunNewLdnDialog(InputNewLDN& dialog) = 0;
};

// The New LDN dialog's controls.
class NewLdnView : public DialogView {
 public:
  virtual void EndDialog(int result) = 0;
};

}  // namespace corvale
