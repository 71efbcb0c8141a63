#include "test_page.h"

#include "engine/driver_catalog.h"
#include "engine/text_format.h"

namespace velmara {

std::string TestPageText(std::uint16_t uiLanguage) {
  if (uiLanguage == kLanguageChinese) {
    return "               .  \r\n\r\n\r\n\r\n\r\n        恭喜！      \r\n如果您可以读取这个 \r\n信息，说明打印机驱 \r\n"
           "动已经安装成功了！  \r\n感谢您的使用！  \r\n\r\n打印机名称：\r\n\r\n\r\n\r\n\r\n   ** 测试页结束 **\r\n";
  }
  return "               .  \r\n\r\n\r\n\r\n\r\n  Congratulations !   \r\nIf you can read this\r\ninformation you have \r\n"
         "succeed intall this\r\nprinter driver !  \r\n\r\nPrinter Name:\r\n\r\n\r\n\r\n\r\n ** Test page end **\r\n";
}

bool CDriverCatalog::PrintTestPage(const std::string& printerName, const PageBitmap& logo, const std::string& text) {
  const std::unique_ptr<PrinterCanvas> page = services_.printing.OpenPrinter(printerName);
  if (page == nullptr) return false;
  if (page->StartDocument(printerName) <= 0) return false;
  page->StartPage();
  page->DrawTextBlock(text, PageRect{10, 10, 400, 500}, kDrawTextNoClip);
  // The logo fills the blank lines at the top of the text, drawn after it so that it covers them.
  page->DrawBitmap(logo, 30, 20);
  page->WriteText(10, 430, printerName);
  const LocalDateTime t = services_.system.LocalTime();
  page->WriteText(-20, 500,
                  FormatText("  %d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second));
  page->EndPage();
  page->EndDocument();
  return true;
}

}  // namespace velmara
