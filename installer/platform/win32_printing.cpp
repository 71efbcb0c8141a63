#include "win32_printing.h"

#include <windows.h>

#include "win32_gdi_handles.h"
#include "win32_text.h"

namespace velmara {

namespace {

class Win32Canvas final : public PrinterCanvas {
 public:
  explicit Win32Canvas(UniqueDc dc) : dc_(std::move(dc)) {}

  int StartDocument(const std::string& documentName) override {
    const std::wstring name = Wide(documentName);
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = name.c_str();
    return StartDocW(dc_.Get(), &info);
  }
  int StartPage() override { return ::StartPage(dc_.Get()); }
  int DrawTextBlock(const std::string& text, const PageRect& rect, unsigned format) override {
    std::wstring wide = Wide(text);
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    return DrawTextW(dc_.Get(), wide.data(), static_cast<int>(wide.size()), &r, format);
  }
  bool DrawBitmap(const PageBitmap& bitmap, int x, int y) override {
    if (bitmap.handle == nullptr) return false;
    UniqueDc memory(CreateCompatibleDC(nullptr));
    if (memory.Get() == nullptr) return false;
    ScopedSelection selection(memory.Get(), static_cast<HGDIOBJ>(bitmap.handle));
    if (!selection.Selected()) return false;
    return BitBlt(dc_.Get(), x, y, bitmap.width, bitmap.height, memory.Get(), 0, 0, SRCCOPY) != FALSE;
  }
  bool WriteText(int x, int y, const std::string& text) override {
    const std::wstring wide = Wide(text);
    return TextOutW(dc_.Get(), x, y, wide.c_str(), static_cast<int>(wide.size())) != FALSE;
  }
  int EndPage() override { return ::EndPage(dc_.Get()); }
  int EndDocument() override { return EndDoc(dc_.Get()); }

 private:
  UniqueDc dc_;
};

}  // namespace

std::unique_ptr<PrinterCanvas> Win32Printing::OpenPrinter(const std::string& printerName) {
  UniqueDc dc(CreateDCW(nullptr, Wide(printerName).c_str(), nullptr, nullptr));
  if (dc.Get() == nullptr) return nullptr;
  return std::make_unique<Win32Canvas>(std::move(dc));
}

PageBitmap PageBitmapFromHandle(void* bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(static_cast<HGDIOBJ>(bitmap), sizeof(info), &info) != sizeof(info)) return {};
  return {bitmap, info.bmWidth, info.bmHeight};
}

}  // namespace velmara
