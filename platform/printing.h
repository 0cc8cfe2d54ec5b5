// Printing and print preview on Qt, as the framework runs them for a view: the
// printer is asked for, then the view prepares, begins, prints each page and
// ends.
#pragma once

#include <functional>

#include "platform/gdi.h"

class QPainter;
class QPrinter;

// A device context that draws on a printer page (or a preview of one).
class CPrinterDC : public CDC {
 public:
  explicit CPrinterDC(QPainter* painter) { AttachPainter(painter); }
};

// Called on every printer the print commands make, before anything else uses
// it: tests send the output to a PDF file this way.
void SetPrinterSetup(std::function<void(QPrinter&)> setup);
