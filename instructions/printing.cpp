// Printing the instructions: one page, its heading the window title of the
// latest paint, the text below it broken between words and clipped to its block.
#include "game/print_layout.h"
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

void CQuadrilexdView::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
  if (m_rcClient.right < kMinPrintClientWidth) return;
  const PrintLayout layout = ComputePrintLayout(pInfo->m_rectDraw);
  m_nPrintPageWidth = layout.pageWidth;
  m_nPrintTextWidth = layout.textWidth;
  m_nPrintLeft = layout.left;
  m_nPrintPageHeight = layout.pageHeight;
  m_nPrintTextHeight = layout.textHeight;
  m_nPrintFontHeight = layout.fontHeight;
  m_nPrintTop = layout.top;

  // A new font for every page; the previous page's font is let go first.
  if (m_fontPrint.HoldsObject()) m_fontPrint.DeleteObject();
  m_fontPrint.CreateFont(m_nPrintFontHeight, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET, OUT_DEVICE_PRECIS,
                         CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial Bold");
  CFont* kept = pDC->SelectObject(&m_fontPrint);
  m_sizePrintChar = pDC->GetTextExtent("W");

  pDC->TextOut(m_nPrintLeft, m_nPrintTop - m_sizePrintChar.cy, m_strTitle);
  RECT body = MakeRect(m_nPrintLeft, m_nPrintTop + 2 * m_sizePrintChar.cy, m_nPrintLeft + m_nPrintTextWidth,
                       m_nPrintTop + m_nPrintTextHeight);
  pDC->DrawText(m_strPrintText, &body, DT_WORDBREAK);

  pDC->SelectObject(kept);
}
