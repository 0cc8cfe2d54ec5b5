#include "platform/printing.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
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
RECT PageRect(const QPageLayout& layout, int resolution) {
  const QRect paint = layout.paintRectPixels(resolution);
  return MakeRect(0, 0, paint.width(), paint.height());
}

void PrintPages(CView& view, CDC& dc, CPrintInfo& info, QPagedPaintDevice& device, const RECT& pageRect) {
  for (UINT page = 1; page <= info.GetMaxPage(); ++page) {
    if (page > 1 && !device.newPage()) break;
    info.m_nCurPage = page;
    info.m_rectDraw = pageRect;
    view.OnPrint(&dc, &info);
  }
}

// Why a print job failed, in words for the player; empty when it did not.
using PrintFailure = std::string;

PrintFailure NotPrinted(const QString& why) {
  return (QStringLiteral("The instructions were not printed: ") + why).toStdString();
}

// A QSaveFile that takes a write cut short as a failed one. A disk that fills
// up part way through a write gives a short count and no error, and QSaveFile
// alone would then put the cut file in place; writing on until the whole block
// is down, or the system says why it is not, records the failure and its cause.
class WholeWritesSaveFile : public QSaveFile {
 public:
  using QSaveFile::QSaveFile;

 protected:
  qint64 writeData(const char* data, qint64 len) override {
    qint64 done = 0;
    while (done < len) {
      const qint64 written = QSaveFile::writeData(data + done, len - done);
      if (written <= 0) {
        if (error() == QFileDevice::NoError) cancelWriting();
        return -1;
      }
      done += written;
    }
    return done;
  }
};

// Pages to a PDF file. The file is written beside its place under a name of its
// own and takes its place only once written in full: a full disk or a failing
// write leaves a file of that name from before exactly as it was, with its
// permissions, and a new file is not left half written. QPrinter would open the
// file itself, emptying it, and would not notice a write that fails; a PDF
// writer with the printer's page, resolution and names, writing through an
// unbuffered save file, does both (unbuffered, every write is checked as it is
// made, the last one too).
PrintFailure PrintToFile(CView& view, CPrintInfo& info, const QPrinter& printer) {
  const QString path = printer.outputFileName();
  WholeWritesSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return NotPrinted(QStringLiteral("the file %1 could not be created (%2).").arg(path, file.errorString()));
  }
  QPdfWriter writer(&file);
  writer.setPdfVersion(printer.pdfVersion());
  writer.setResolution(printer.resolution());
  writer.setPageLayout(printer.pageLayout());
  writer.setTitle(printer.docName());
  writer.setCreator(printer.creator());
  QPainter painter;
  if (!painter.begin(&writer)) {
    return NotPrinted(QStringLiteral("the file %1 could not be started.").arg(path));
  }
  {
    CPrinterDC dc(&painter);
    view.OnBeginPrinting(&dc, &info);
    PrintPages(view, dc, info, writer, PageRect(writer.pageLayout(), writer.resolution()));
    view.OnEndPrinting(&dc, &info);
  }
  if (!painter.end()) file.cancelWriting();
  // The cause of a failed write, read before the commit closes the file and
  // clears it.
  const bool writeFailed = file.error() != QFileDevice::NoError;
  const QString cause = file.errorString();
  if (!file.commit() || writeFailed) {
    return NotPrinted(QStringLiteral("the file %1 could not be written in full (%2). "
                                     "A file of that name from before is left as it was.")
                          .arg(path, writeFailed ? cause : file.errorString()));
  }
  return PrintFailure();
}

// Pages to a printer, which spools the job itself.
PrintFailure PrintOnPrinter(CView& view, CPrintInfo& info, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return NotPrinted(QStringLiteral("the printer could not be started."));
  {
    CPrinterDC dc(&painter);
    view.OnBeginPrinting(&dc, &info);
    PrintPages(view, dc, info, printer, PageRect(printer.pageLayout(), printer.resolution()));
    view.OnEndPrinting(&dc, &info);
  }
  if (!painter.end() || printer.printerState() == QPrinter::Error) {
    return NotPrinted(QStringLiteral("the printer reported an error."));
  }
  return PrintFailure();
}

PrintFailure RunPrintJob(CView& view, bool direct) {
  const std::unique_ptr<QPrinter> printer = MakePrinter();
  CPrintInfo info;
  info.m_bDirect = direct ? TRUE : FALSE;
  info.m_pPrinter = printer.get();
  if (!view.OnPreparePrinting(&info)) return PrintFailure();
  const bool toFile = printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty();
  return toFile ? PrintToFile(view, info, *printer) : PrintOnPrinter(view, info, *printer);
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

void CView::OnFilePrint() {
  const PrintFailure failure = RunPrintJob(*this, false);
  if (!failure.empty()) AfxMessageBox(failure, MB_OK | MB_ICONEXCLAMATION);
}

void CView::OnFilePrintDirect() {
  const PrintFailure failure = RunPrintJob(*this, true);
  if (!failure.empty()) AfxMessageBox(failure, MB_OK | MB_ICONEXCLAMATION);
}

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
    PrintPages(*this, dc, info, *target, PageRect(target->pageLayout(), target->resolution()));
  });
  preview.exec();
  OnEndPrinting(&noPage, &info);
}
