#pragma once

#include <memory>
#include <string>

namespace velmara {

// A bitmap that the caller owns (an HBITMAP on Windows), with its size in pixels.
struct PageBitmap {
  void* handle = nullptr;
  int width = 0;
  int height = 0;
};

struct PageRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// DrawText formats.
inline constexpr unsigned kDrawTextNoClip = 0x00000100;

// The device context of a printer, in its default mapping mode (device units) with its default
// font. Destroying it deletes the device context. Results are the GDI functions' own.
class PrinterCanvas {
 public:
  virtual ~PrinterCanvas() = default;
  // StartDocW with the document name and no output file: the print job's id, or <= 0.
  virtual int StartDocument(const std::string& documentName) = 0;
  virtual int StartPage() = 0;
  // DrawTextW of the whole text.
  virtual int DrawTextBlock(const std::string& text, const PageRect& rect, unsigned format) = 0;
  // BitBlt of the whole bitmap with SRCCOPY, from a memory device context compatible with the
  // screen into which the bitmap is selected.
  virtual bool DrawBitmap(const PageBitmap& bitmap, int x, int y) = 0;
  // TextOutW.
  virtual bool WriteText(int x, int y, const std::string& text) = 0;
  virtual int EndPage() = 0;
  virtual int EndDocument() = 0;
};

class Printing {
 public:
  virtual ~Printing() = default;
  // CreateDCW with the printer's name as the device and nothing else; null when the printer
  // cannot be opened.
  virtual std::unique_ptr<PrinterCanvas> OpenPrinter(const std::string& printerName) = 0;
};

}  // namespace velmara
