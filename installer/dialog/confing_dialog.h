#pragma once

#include <cstdint>
#include <string>

#include "engine/driver_catalog.h"
#include "install_view.h"
#include "platform/printing.h"
#include "usb/usb_services.h"

namespace velmara {

// Which model families the installation medium carries.
inline constexpr int kFamiliesNone = 1;
inline constexpr int kFamilies58 = 587690;
inline constexpr int kFamilies80 = 80;
inline constexpr int kFamiliesBoth = 0;

inline constexpr int kUsbPortTimer = 3;

// The installation dialog: the user's choices, the commands behind its buttons and what it
// hands to the main window when it ends.
class ConfingDialog {
 public:
  ConfingDialog(const EngineServices& engine, const UsbServices& usb);

  void OnInitDialog(InstallView& view);
  // The dialog's data exchange: fields into the controls, and controls into the fields.
  void PushFields();
  void ReadFields();

  void OnStartInstall();
  void OnExit();
  void OnCheckUsbPort();
  void OnTimer(int id);
  void OnStatusDoubleClick();
  // Enter while no push button has the focus.
  void OnConfirm();

  int m_osIndex = 0;
  int m_modelIndex = -1;
  int m_modelFamilies = kFamiliesNone;
  CDriverCatalog m_catalog;
  std::string m_statusText;
  int m_setDefault = 0;
  std::string m_followUpPrinter;
  std::string m_detectedArch;
  std::string m_detectedOs;
  PageBitmap m_testPageLogo;
  std::string m_testPageText;
  std::uint16_t m_uiLanguage;
  int m_dblClickCount = 0;
  int m_interfaceIndex = 0;

 private:
  bool Chinese() const;
  const std::string& Text(const std::string& chinese, const std::string& english) const;
  int Ask(const std::string& text);
  void Tell(const std::string& text);
  void LayOutModelButtons();

  EngineServices engine_;
  UsbServices usb_;
  InstallView* view_ = nullptr;
};

// True for the releases on which USB discovery does not require the "Linked" value.
bool IsWindows8OrLater(const std::string& osName);
// On those releases, tells USB discovery so (g_skipLinkedCheck) and notes it for a debugger.
void NoteWindows8OrLater(const std::string& detectedOs, DebugOutput& debug);

// Which model families the installation medium in the current directory carries (kFamilies...).
int MediumModelFamilies(Files& files);
bool FamiliesCarryModel(int families, int modelIndex);

// The dialog's last word on a failed installation.
const std::string& InstallFailedText(std::uint16_t uiLanguage);

}  // namespace velmara
