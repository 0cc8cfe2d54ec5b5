// Printing and print preview on Qt, as the framework runs them for a view: the
// printer is asked for, then the view prepares, begins, prints each page and
// ends. A job that cannot be finished tells the player so in a message box.
#pragma once

#include <functional>
#include <string>

#include "platform/gdi.h"

class QPainter;
class QPrinter;

// A device context that draws on a printer page (or a preview of one).
class CPrinterDC : public CDC {
 public:
  explicit CPrinterDC(QPainter* painter) : m_page(painter) { AttachPainter(painter); }
  QPainter* Page() const { return m_page; }

 private:
  QPainter* m_page;
};

// DrawText with DT_CALCRECT, as far as the printed page needs it: the width and
// height that text takes when DrawText draws it in font within the given width
// with format (DT_WORDBREAK or not), on the page pDC draws on. A width greater
// than the one given means a word runs past the right edge; the height is that
// of every line, so text whose height exceeds its rectangle's loses lines.
SIZE CalcDrawTextExtent(CDC* pDC, const CFont& font, const std::string& text, int width, UINT format);

// Called on every printer the print commands make, before anything else uses
// it: tests send the output to a PDF file this way.
void SetPrinterSetup(std::function<void(QPrinter&)> setup);
