// The view's instruction texts and the F1 key that shows them.
#include "instructions/instruction_texts.h"
#include "view/quadrilexd_view.h"

void CQuadrilexdView::BuildInstructionTexts() {
  m_strPrintText = BuildPrintText();
  m_strHelpText = BuildHelpText();
}

void CQuadrilexdView::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/) {
  // Only F1 means something to the view; every other key is ignored.
  if (nChar == VK_F1) AfxMessageBox(m_strHelpText, MB_OK);
}
