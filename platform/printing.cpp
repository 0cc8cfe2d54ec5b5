#include "platform/printing.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QString>
#include <climits>
#include <memory>

#include "platform/afx.h"
#include "platform/view_base.h"

namespace {

std::function<void(QPrinter&)>& PrinterSetup() {
  static std::function<void(QPrinter&)> setup;
  return setup;
}

std::unique_ptr<QPrinter> MakePrinter() {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (PrinterSetup()) PrinterSetup()(*printer);
  return printer;
}

// The drawing rectangle of a page in device units, from the page's origin.
RECT PageRect(QPrinter& printer) {
  const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
  return MakeRect(0, 0, paint.width(), paint.height());
}

void PrintPages(CView& view, CDC& dc, CPrintInfo& info, QPrinter& printer) {
  for (UINT page = 1; page <= info.GetMaxPage(); ++page) {
    if (page > 1 && !printer.newPage()) break;
    info.m_nCurPage = page;
    info.m_rectDraw = PageRect(printer);
    view.OnPrint(&dc, &info);
  }
}

}  // namespace

SIZE CalcDrawTextExtent(CDC* pDC, const CFont& font, const std::string& text, int width, UINT format) {
  // Measured as DrawText lays the text out: the same flags, on the same page's
  // painter where there is one, so the measure and the drawing agree.
  const int flags = Qt::AlignLeft | Qt::AlignTop | ((format & DT_WORDBREAK) ? Qt::TextWordWrap : 0);
  const QString qtext = QString::fromLocal8Bit(text.data(), static_cast<int>(text.size()));
  const QRect room(0, 0, width, INT_MAX / 2);
  QRect used;
  auto* printerDC = dynamic_cast<CPrinterDC*>(pDC);
  if (printerDC && printerDC->Page()) {
    QPainter& painter = *printerDC->Page();
    painter.save();
    painter.setFont(font.Font());
    used = painter.boundingRect(room, flags, qtext);
    painter.restore();
  } else {
    used = QFontMetrics(font.Font()).boundingRect(room, flags, qtext);
  }
  SIZE extent;
  extent.cx = used.width();
  extent.cy = used.height();
  return extent;
}

void SetPrinterSetup(std::function<void(QPrinter&)> setup) { PrinterSetup() = std::move(setup); }

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo) {
  if (pInfo->m_bPreview || pInfo->m_bDirect) return TRUE;
  QPrintDialog dialog(pInfo->m_pPrinter, QApplication::activeWindow());
  dialog.setMinMax(1, static_cast<int>(pInfo->GetMaxPage()));
  return dialog.exec() == QDialog::Accepted ? TRUE : FALSE;
}

namespace {

void RunPrintJob(CView& view, bool direct) {
  const std::unique_ptr<QPrinter> printer = MakePrinter();
  CPrintInfo info;
  info.m_bDirect = direct ? TRUE : FALSE;
  info.m_pPrinter = printer.get();
  if (!view.OnPreparePrinting(&info)) return;
  QPainter painter;
  if (!painter.begin(printer.get())) {
    QMessageBox::warning(QApplication::activeWindow(), QString::fromLatin1(AfxGetAppName()),
                         QStringLiteral("The instructions could not be printed: the printer could not be started."));
    return;
  }
  CPrinterDC dc(&painter);
  view.OnBeginPrinting(&dc, &info);
  PrintPages(view, dc, info, *printer);
  view.OnEndPrinting(&dc, &info);
  painter.end();
}

}  // namespace

void CView::OnFilePrint() { RunPrintJob(*this, false); }

void CView::OnFilePrintDirect() { RunPrintJob(*this, true); }

void CView::OnFilePrintPreview() {
  const std::unique_ptr<QPrinter> printer = MakePrinter();
  CPrintInfo info;
  info.m_bPreview = TRUE;
  info.m_pPrinter = printer.get();
  if (!OnPreparePrinting(&info)) return;
  CDC noPage;  // begin and end of a preview get no page to draw on
  OnBeginPrinting(&noPage, &info);
  QPrintPreviewDialog preview(printer.get(), QApplication::activeWindow());
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [this, &info](QPrinter* target) {
    QPainter painter(target);
    CPrinterDC dc(&painter);
    PrintPages(*this, dc, info, *target);
  });
  preview.exec();
  OnEndPrinting(&noPage, &info);
}
