#include "main_window.h"

namespace velmara {

namespace {

constexpr std::uint16_t kLanguageEnglishUs = 1033;
constexpr std::uint32_t kPauseBeforeProperties = 100;
constexpr std::uint32_t kSearchPeriod = 100;
constexpr std::uint32_t kCloseAfter = 5000;
// The port page of the printer's properties.
constexpr int kPortTab = 2;

}  // namespace

CTarvennPrinterDriverSetupDlg::CTarvennPrinterDriverSetupDlg(const MainServices& services,
                                                             const EngineServices& engine, const UsbServices& usb)
    : m_installDialog(engine, usb), services_(services) {}

void CTarvennPrinterDriverSetupDlg::OnInitDialog(MainView& view) {
  view_ = &view;
  view.UseBannerFont();
  view.AddAboutMenuItem();
  m_uiLanguage = services_.system.UserUiLanguage();
  view.SetIcons();
  view.ShowMaximized();

  const int result = view.RunInstallDialog(m_installDialog);
  if (result == kIdCancel) {
    view.End(kIdCancel);
    return;
  }
  if (result != kIdOk) return;

  m_propertiesPrinter = m_installDialog.m_followUpPrinter;
  // Confirmed before any installation named a printer: there is nothing to configure.
  if (m_propertiesPrinter.empty()) {
    view.End(kIdCancel);
    return;
  }
  services_.pauses.Sleep(kPauseBeforeProperties);
  // The program runs elevated with the installation medium as its current directory: rundll32
  // comes from the system directory, never from there, and starts there too, so that nothing it
  // loads by a bare name is looked for on the medium.
  const std::string systemDirectory = services_.shell.SystemDirectory();
  if (!systemDirectory.empty()) {
    services_.shell.Execute(view.Handle(), "open", systemDirectory + "\\rundll32.exe",
                            "printui.dll,PrintUIEntry /p /n \"" + m_propertiesPrinter + "\"", systemDirectory,
                            kShowShow);
  }
  view.StartTimer(kPropertiesSearchTimer, kSearchPeriod);
  view.StartTimer(kCloseTimer, kCloseAfter);
}

void CTarvennPrinterDriverSetupDlg::OnTimer(int id) {
  if (id == kPropertiesSearchTimer) {
    std::string title;
    if (m_uiLanguage == kLanguageChinese) {
      title = m_propertiesPrinter + " 属性";
    } else if (m_uiLanguage == kLanguageEnglishUs) {
      title = m_propertiesPrinter + " Properties";
    } else {
      view_->StopTimer(kPropertiesSearchTimer);
      return;
    }
    if (services_.shell.SelectTabOfWindow(title, kPortTab)) view_->StopTimer(kPropertiesSearchTimer);
  } else if (id == kCloseTimer) {
    view_->StopTimer(kCloseTimer);
    view_->End(kIdCancel);
  }
}

}  // namespace velmara
