#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/printing.h"

namespace velmara {

// Records what is drawn on printers, one document per StartDocument, one page per StartPage.
// Printers named in |unavailable| cannot be opened.
class RecordingPrinting final : public Printing {
 public:
  struct Drawing {
    enum Kind { kText, kBitmap, kTextOut } kind;
    std::string text;      // kText, kTextOut
    PageRect rect;         // kText
    unsigned format = 0;   // kText
    PageBitmap bitmap;     // kBitmap
    int x = 0;             // kBitmap, kTextOut
    int y = 0;
  };
  struct Page {
    std::vector<Drawing> drawings;
    bool ended = false;
  };
  struct Document {
    std::string printerName;
    std::string documentName;
    std::vector<Page> pages;
    bool ended = false;
  };

  std::unique_ptr<PrinterCanvas> OpenPrinter(const std::string& printerName) override {
    if (unavailable.count(printerName) != 0) return nullptr;
    ++opened;
    return std::make_unique<Canvas>(*this, printerName);
  }

  std::set<std::string> unavailable;
  std::vector<Document> documents;
  int opened = 0;
  int deleted = 0;

 private:
  class Canvas final : public PrinterCanvas {
   public:
    Canvas(RecordingPrinting& owner, std::string printerName) : owner_(owner), printerName_(std::move(printerName)) {}
    ~Canvas() override { ++owner_.deleted; }
    int StartDocument(const std::string& documentName) override {
      owner_.documents.push_back({printerName_, documentName, {}, false});
      document_ = owner_.documents.size();
      return static_cast<int>(document_);
    }
    int StartPage() override {
      Document* document = CurrentDocument();
      if (document == nullptr) return 0;
      document->pages.emplace_back();
      return 1;
    }
    int DrawTextBlock(const std::string& text, const PageRect& rect, unsigned format) override {
      Page* page = CurrentPage();
      if (page == nullptr) return 0;
      Drawing d{Drawing::kText, text, rect, format, {}, 0, 0};
      page->drawings.push_back(d);
      return 1;
    }
    bool DrawBitmap(const PageBitmap& bitmap, int x, int y) override {
      Page* page = CurrentPage();
      if (page == nullptr) return false;
      page->drawings.push_back({Drawing::kBitmap, {}, {}, 0, bitmap, x, y});
      return true;
    }
    bool WriteText(int x, int y, const std::string& text) override {
      Page* page = CurrentPage();
      if (page == nullptr) return false;
      page->drawings.push_back({Drawing::kTextOut, text, {}, 0, {}, x, y});
      return true;
    }
    int EndPage() override {
      Page* page = CurrentPage();
      if (page == nullptr) return 0;
      page->ended = true;
      return 1;
    }
    int EndDocument() override {
      Document* document = CurrentDocument();
      if (document == nullptr) return 0;
      document->ended = true;
      document_ = 0;
      return 1;
    }

   private:
    // The open document by its position, since other canvases may add documents meanwhile.
    Document* CurrentDocument() { return document_ == 0 ? nullptr : &owner_.documents[document_ - 1]; }
    Page* CurrentPage() {
      Document* document = CurrentDocument();
      if (document == nullptr || document->pages.empty() || document->pages.back().ended) return nullptr;
      return &document->pages.back();
    }
    RecordingPrinting& owner_;
    std::string printerName_;
    std::size_t document_ = 0;  // 1-based; 0 while no document is open
  };
};

}  // namespace velmara
