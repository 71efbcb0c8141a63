#include "confing_dialog.h"

#include <array>

#include "engine/os_detection.h"
#include "engine/test_page.h"
#include "resources/resource.h"
#include "usb/usb_discovery.h"
#include "usb/usb_globals.h"
#include "usb/usb_port_pages.h"

namespace velmara {

namespace {

constexpr std::array<int, 6> kOsButtons = {IDR_OS_WINDOWS_10,    IDR_OS_WINDOWS_XP, IDR_OS_WINDOWS_2003,
                                           IDR_OS_WINDOWS_VISTA, IDR_OS_WINDOWS_7,  IDR_OS_WINDOWS_8};
constexpr std::array<int, 7> kModelButtons = {IDR_MODEL_DUR_58, IDR_MODEL_DUR_58C, IDR_MODEL_RUD_80,
                                              IDR_MODEL_RUD_80C, IDR_MODEL_DAD_90, IDR_MODEL_DIZ_76,
                                              IDR_MODEL_DIZ_76C};
constexpr std::array<int, 2> kInterfaceButtons = {IDR_INTERFACE_USB, IDR_INTERFACE_OTHER};

// Where the seven model buttons go when the medium carries both families: two columns of cells
// 90 by 24 pixels.
struct Cell {
  int left;
  int top;
};
constexpr std::array<Cell, 7> kCombinedGrid = {{{48, 180}, {168, 180}, {48, 202}, {168, 202}, {48, 224}, {168, 224},
                                                {48, 246}}};
constexpr int kCellWidth = 90;
constexpr int kCellHeight = 24;

constexpr int kHiddenMessageEvery = 5;
constexpr std::uint32_t kUsbPortTimerPeriod = 2000;
constexpr std::uint32_t kPauseBeforeTestPage = 511;

constexpr unsigned kInformation = kMbOk | kMbIconExclamation;
constexpr unsigned kQuestion = kMbYesNo | kMbIconQuestion;

// A word for the curious, kept out of the program's plain text: each byte is XOR-ed with the key
// byte at its position modulo three.
constexpr std::array<std::uint8_t, 3> kHiddenKey = {0x5A, 0x3C, 0x96};
constexpr std::array<std::uint8_t, 52> kHiddenText = {
    0x0C, 0x59, 0xFA, 0x37, 0x5D, 0xE4, 0x3B, 0x06, 0xB6, 0x29, 0x59, 0xE2, 0x7A,
    0x49, 0xE6, 0x7A, 0x4B, 0xFF, 0x2E, 0x54, 0xB6, 0x39, 0x5D, 0xE4, 0x3F, 0x1C,
    0xF0, 0x35, 0x4E, 0xB6, 0x3F, 0x4A, 0xF3, 0x28, 0x45, 0xB6, 0x28, 0x59, 0xF5,
    0x3F, 0x55, 0xE6, 0x2E, 0x1C, 0xE6, 0x28, 0x55, 0xF8, 0x2E, 0x59, 0xE4, 0x74};

// The captions that the English texts replace, in the order they are set.
struct Caption {
  int id;
  const char* english;
};
constexpr std::array<Caption, 9> kEnglishCaptions = {{
    {IDG_OS, "Select Windows OS"},
    {IDG_MODEL, "Select Printer Series"},
    {IDX_SET_DEFAULT, "Set Default Printer"},
    {IDB_START_INSTALL, "Install Now"},
    {IDB_EXIT, "Cancel"},
    {IDB_CHECK_USB_PORT, "Check USB Port"},
    {IDT_INTERFACE, "Printer Interface :"},
    {IDR_INTERFACE_OTHER, "Other"},
    {IDT_REMARK, "*Remarks: \"C\" means item with cutter"},
}};

const std::string kNoModelZh = "请选择一个打印机型号！";
const std::string kNoModelEn = "Please select a printer series !";
const std::string kFailedZh = "安装失败！";
const std::string kFailedEn = "Install Failed ! ";
const std::string kConfigureZh = "安装成功！\n是否要对打印机进行端口设置？";
const std::string kConfigureEn = "Succeed !\nDo you want to configure printer now?";
const std::string kTestPageZh = "安装成功！\n是否要打印测试页？";
const std::string kTestPageEn = "Succeed !\nDo you want to printing test page?";
const std::string kParallelPort = "LPT1:";

template <std::size_t N>
int IndexOfChecked(InstallView& view, const std::array<int, N>& group) {
  for (std::size_t i = 0; i < N; ++i) {
    if (view.IsChecked(group[i])) return static_cast<int>(i);
  }
  return -1;
}

template <std::size_t N>
void CheckIndex(InstallView& view, const std::array<int, N>& group, int index) {
  for (std::size_t i = 0; i < N; ++i) view.SetChecked(group[i], static_cast<int>(i) == index);
}

}  // namespace

bool IsWindows8OrLater(const std::string& osName) {
  return osName == "Windows 8" || osName == "Windows 8.1" || osName == "Windows 10" || osName == "Windows 10.1";
}

void NoteWindows8OrLater(const std::string& detectedOs, DebugOutput& debug) {
  if (!IsWindows8OrLater(detectedOs)) return;
  g_skipLinkedCheck = true;
  debug.Write(detectedOs + ",1");
}

int MediumModelFamilies(Files& files) {
  int families = kFamiliesNone;
  if (files.Exists("Windows NT x86\\POS58.DLL")) families = kFamilies58;
  if (files.Exists("Windows NT x86\\POS80.DLL")) families = families == kFamilies58 ? kFamiliesBoth : kFamilies80;
  return families;
}

bool FamiliesCarryModel(int families, int modelIndex) {
  // The 58 mm file also brings the 90 mm and 76 mm models.
  const bool is80 = modelIndex == 2 || modelIndex == 3;
  const bool with58 = families == kFamilies58 || families == kFamiliesBoth;
  const bool with80 = families == kFamilies80 || families == kFamiliesBoth;
  return modelIndex >= 0 && modelIndex < kModelCount && (is80 ? with80 : with58);
}

const std::string& InstallFailedText(std::uint16_t uiLanguage) {
  return uiLanguage == kLanguageChinese ? kFailedZh : kFailedEn;
}

ConfingDialog::ConfingDialog(const EngineServices& engine, const UsbServices& usb)
    : m_catalog(engine), m_testPageText(TestPageText(kLanguageChinese)), m_uiLanguage(engine.system.UserUiLanguage()),
      engine_(engine), usb_(usb) {}

bool ConfingDialog::Chinese() const { return m_uiLanguage == kLanguageChinese; }

const std::string& ConfingDialog::Text(const std::string& chinese, const std::string& english) const {
  return Chinese() ? chinese : english;
}

int ConfingDialog::Ask(const std::string& text) { return engine_.messages.Show(view_->Handle(), text, kQuestion); }
void ConfingDialog::Tell(const std::string& text) { engine_.messages.Show(view_->Handle(), text, kInformation); }

void ConfingDialog::OnInitDialog(InstallView& view) {
  view_ = &view;
  m_catalog.SetOwnerWindow(view.Handle());
  usb_.owner = view.Handle();

  m_testPageLogo = view.LoadLogo();
  m_testPageText = TestPageText(m_uiLanguage);
  m_dblClickCount = 0;

  m_modelFamilies = MediumModelFamilies(engine_.files);
  LayOutModelButtons();

  view.ReportClicks(IDT_STATUS);
  view.UseRemarkFont(IDT_REMARK);
  if (!Chinese()) {
    view.SetCaption("Install Configuration");
    for (const Caption& caption : kEnglishCaptions) view.SetText(caption.id, caption.english);
  }

  const OsRecommendation recommendation = RecommendOs(m_catalog, m_uiLanguage);
  m_detectedArch = recommendation.detectedArch;
  m_detectedOs = recommendation.detectedOs;
  m_statusText = recommendation.statusText;
  m_osIndex = recommendation.osIndex;

  PushFields();
}

void ConfingDialog::LayOutModelButtons() {
  for (std::size_t i = 0; i < kModelButtons.size(); ++i) {
    view_->Show(kModelButtons[i], FamiliesCarryModel(m_modelFamilies, static_cast<int>(i)));
  }
  if (m_modelFamilies == kFamiliesBoth) {
    for (std::size_t i = 0; i < kModelButtons.size(); ++i) {
      view_->Move(kModelButtons[i], kCombinedGrid[i].left, kCombinedGrid[i].top, kCellWidth, kCellHeight);
    }
  }
}

void ConfingDialog::PushFields() {
  CheckIndex(*view_, kOsButtons, m_osIndex);
  CheckIndex(*view_, kModelButtons, m_modelIndex);
  view_->SetText(IDT_STATUS, m_statusText);
  view_->SetChecked(IDX_SET_DEFAULT, m_setDefault != 0);
  CheckIndex(*view_, kInterfaceButtons, m_interfaceIndex);
}

void ConfingDialog::ReadFields() {
  m_osIndex = IndexOfChecked(*view_, kOsButtons);
  m_modelIndex = IndexOfChecked(*view_, kModelButtons);
  m_setDefault = view_->IsChecked(IDX_SET_DEFAULT) ? 1 : 0;
  m_interfaceIndex = IndexOfChecked(*view_, kInterfaceButtons);
}

void ConfingDialog::OnStartInstall() {
  ReadFields();
  if (m_modelIndex == -1) {
    Tell(Text(kNoModelZh, kNoModelEn));
    return;
  }
  m_followUpPrinter = m_catalog.m_modelName[static_cast<std::size_t>(m_modelIndex)];
  for (int id : kModelButtons) view_->Enable(id, false);
  view_->Enable(IDX_SET_DEFAULT, false);
  for (int id : {IDB_START_INSTALL, IDB_EXIT, IDB_CHECK_USB_PORT}) view_->Enable(id, false);
  NoteWindows8OrLater(m_detectedOs, engine_.debug);

  std::string port = kParallelPort;
  if (m_interfaceIndex == 0) {
    std::string usbPort;
    if (FindUsbPrinterPort(usb_, &usbPort)) port = usbPort;
  }

  if (!m_catalog.InstallPrinter(m_osIndex, m_modelIndex, m_setDefault, port)) {
    Tell(InstallFailedText(m_uiLanguage));
    view_->End(kIdCancel);
    return;
  }
  if (!port.empty() && port[0] == 'L') {
    if (Ask(Text(kConfigureZh, kConfigureEn)) == kIdYes) {
      m_followUpPrinter = m_catalog.m_printerName;
      OnConfirm();
    } else {
      view_->End(kIdCancel);
    }
    return;
  }
  if (Ask(Text(kTestPageZh, kTestPageEn)) == kIdYes) {
    engine_.pauses.Sleep(kPauseBeforeTestPage);
    m_catalog.PrintTestPage(m_catalog.m_printerName, m_testPageLogo, m_testPageText);
  }
  view_->End(kIdCancel);
}

void ConfingDialog::OnExit() { view_->End(kIdCancel); }

void ConfingDialog::OnConfirm() {
  ReadFields();
  view_->End(kIdOk);
}

void ConfingDialog::OnCheckUsbPort() {
  view_->StartTimer(kUsbPortTimer, kUsbPortTimerPeriod);
  view_->Enable(IDB_CHECK_USB_PORT, false);
  g_uiLanguage = m_uiLanguage;
  engine_.debug.Write(m_detectedOs);
  NoteWindows8OrLater(m_detectedOs, engine_.debug);
  PrintUsbPortPages(kUsbPrintInterfaceClass, usb_);
}

void ConfingDialog::OnTimer(int id) {
  if (id != kUsbPortTimer) return;
  view_->Enable(IDB_CHECK_USB_PORT, true);
  view_->StopTimer(kUsbPortTimer);
}

void ConfingDialog::OnStatusDoubleClick() {
  if (++m_dblClickCount < kHiddenMessageEvery) return;
  std::array<char, kHiddenText.size()> text{};
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char>(kHiddenText[i] ^ kHiddenKey[i % kHiddenKey.size()]);
  }
  m_dblClickCount = 0;
  Tell(std::string(text.begin(), text.end()));
}

}  // namespace velmara
