#pragma once

#include <string>

#include "corvale_view.h"
#include "store/opos_store.h"

namespace corvale {

// The New LDN dialog: creates an LDN under both device classes.
class InputNewLDN {
 public:
  explicit InputNewLDN(OposStore& store) : store_(store) {}

  void OnInitDialog(NewLdnView& view);
  void OnOK(NewLdnView& view);
  void OnCancel(NewLdnView& view);

  std::u16string newName;

 private:
  OposStore& store_;
};

}  // namespace corvale
