// Printing the instructions: one page, its heading the window title of the
// latest paint, the text below it broken between words and clipped to its block.
// The font follows the page's height, and is made smaller only where the
// heading or the body would otherwise lose text on the paper.
#include "game/print_layout.h"
#include "platform/printing.h"
#include "view/quadrilexd_view.h"

using namespace quadrilex;

void CQuadrilexdView::OnUpdateFilePrint(CCmdUI* pCmdUI) {
  pCmdUI->Enable(m_rcClient.right > kMinPrintClientWidth - 1);
}

BOOL CQuadrilexdView::OnPreparePrinting(CPrintInfo* pInfo) {
  pInfo->SetMaxPage(1);
  pInfo->m_nNumPreviewPages = 1;
  if (m_rcClient.right < kMinPrintClientWidth) return FALSE;
  return DoPreparePrinting(pInfo);
}

void CQuadrilexdView::OnBeginPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}

void CQuadrilexdView::OnEndPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) {}

namespace {

// The page's font as the game asks for it, at the given height.
void CreatePrintFont(CFont& font, int height) {
  font.CreateFont(height, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET, OUT_DEVICE_PRECIS, CLIP_DEFAULT_PRECIS,
                  PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial Bold");
}

}  // namespace

bool CQuadrilexdView::PrintedPageIsWhole(CDC* pDC, int fontHeight) {
  CFont trial;
  CreatePrintFont(trial, fontHeight);
  CFont* kept = pDC->SelectObject(&trial);
  const SIZE charSize = pDC->GetTextExtent("W");
  // The heading starts at the text block's left edge and may reach into the
  // margin, but not past the page's right edge, beyond which nothing prints.
  const bool headingWhole = m_nPrintLeft + pDC->GetTextExtent(m_strTitle).cx <= m_nPrintPageWidth;
  const int bodyHeight = m_nPrintTextHeight - 2 * charSize.cy;
  const SIZE body = CalcDrawTextExtent(pDC, trial, m_strPrintText, m_nPrintTextWidth, DT_WORDBREAK);
  pDC->SelectObject(kept);
  return headingWhole && body.cx <= m_nPrintTextWidth && body.cy <= bodyHeight;
}

void CQuadrilexdView::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
  if (m_rcClient.right < kMinPrintClientWidth) return;
  const PrintLayout layout = ComputePrintLayout(pInfo->m_rectDraw);
  m_nPrintPageWidth = layout.pageWidth;
  m_nPrintTextWidth = layout.textWidth;
  m_nPrintLeft = layout.left;
  m_nPrintPageHeight = layout.pageHeight;
  m_nPrintTextHeight = layout.textHeight;
  m_nPrintTop = layout.top;
  m_nPrintFontHeight = FitPrintFontHeight(layout.fontHeight, [this, pDC](int height) {
    return PrintedPageIsWhole(pDC, height);
  });

  // A new font for every page; the previous page's font is let go first.
  if (m_fontPrint.HoldsObject()) m_fontPrint.DeleteObject();
  CreatePrintFont(m_fontPrint, m_nPrintFontHeight);
  CFont* kept = pDC->SelectObject(&m_fontPrint);
  m_sizePrintChar = pDC->GetTextExtent("W");

  pDC->TextOut(m_nPrintLeft, m_nPrintTop - m_sizePrintChar.cy, m_strTitle);
  RECT body = MakeRect(m_nPrintLeft, m_nPrintTop + 2 * m_sizePrintChar.cy, m_nPrintLeft + m_nPrintTextWidth,
                       m_nPrintTop + m_nPrintTextHeight);
  pDC->DrawText(m_strPrintText, &body, DT_WORDBREAK);

  pDC->SelectObject(kept);
}
