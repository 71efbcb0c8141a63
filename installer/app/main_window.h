#pragma once

#include <cstdint>
#include <string>

#include "dialog/confing_dialog.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/ui_services.h"

namespace velmara {

inline constexpr int kPropertiesSearchTimer = 2;
inline constexpr int kCloseTimer = 3;

// What the main window's commands see of it.
class MainView {
 public:
  virtual ~MainView() = default;
  virtual WindowHandle Handle() = 0;
  virtual void UseBannerFont() = 0;
  virtual void AddAboutMenuItem() = 0;
  virtual void SetIcons() = 0;
  virtual void ShowMaximized() = 0;
  // Runs the installation dialog modally: its result, or -1 when it could not run.
  virtual int RunInstallDialog(ConfingDialog& dialog) = 0;
  virtual void StartTimer(int id, std::uint32_t milliseconds) = 0;
  virtual void StopTimer(int id) = 0;
  virtual void End(int result) = 0;
};

struct MainServices {
  SystemInfo& system;
  Shell& shell;
  Pauses& pauses;
};

// The backdrop: runs the installation dialog and, after an installation on the parallel port that
// the user wants to configure, opens the printer's properties on the port page and closes 5 s
// later.
class CTarvennPrinterDriverSetupDlg {
 public:
  CTarvennPrinterDriverSetupDlg(const MainServices& services, const EngineServices& engine, const UsbServices& usb);

  void OnInitDialog(MainView& view);
  void OnTimer(int id);

  ConfingDialog m_installDialog;
  std::uint16_t m_uiLanguage = 0;
  std::string m_propertiesPrinter;

 private:
  MainServices services_;
  MainView* view_ = nullptr;
};

}  // namespace velmara
