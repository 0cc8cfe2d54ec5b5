// The row of labelled boxes along the top: the clock, and the five score boxes.
#include <cstdio>

#include "view/view_numbers.h"
#include "view/quadrilexd_view.h"

using namespace quadrilex;
using namespace view_numbers;

void CQuadrilexdView::SetUpBoxDC(CDC& dc, CPen& frame, CFont& font) {
  dc.SetBkMode(TRANSPARENT);
  dc.SelectObject(&frame);
  dc.SelectObject(&m_brushGrey);
  dc.SelectObject(&font);
}

void CQuadrilexdView::DrawTimeBox() {
  CClientDC dc(this);
  SetUpBoxDC(dc, m_penBlue, m_fontPanel);
  dc.Rectangle(&m_rcTimeBox);
  dc.DrawText(m_strTimeLeft, &m_rcTimeBox, kBoxText);
  dc.DrawText("Time Left", &m_rcTimeLabel, kLabelText);
}

void CQuadrilexdView::DrawScorePanel(bool bWithBonus) {
  CClientDC dc(this);
  SetUpBoxDC(dc, m_penBlue, m_fontPanel);

  const int bonus = ComputeBonus(bWithBonus, m_nMatchCount, m_nBonusIndex, m_nPointsScale);
  if (bonus > 0) {
    dc.Rectangle(&m_rcBonusBox);
    std::snprintf(m_szNumber, sizeof m_szNumber, "%7li", static_cast<long>(bonus));
    dc.DrawText(m_szNumber, &m_rcBonusBox, kBoxText);
    dc.DrawText("Bonus", &m_rcBonusLabel, kLabelText);
  } else {
    // No Bonus earned: box and label vanish into the ground.
    dc.FillRect(&m_rcBonusBox, &m_brushGrey);
    dc.FillRect(&m_rcBonusLabel, &m_brushGrey);
  }

  dc.Rectangle(&m_rcCostBox);
  std::snprintf(m_szNumber, sizeof m_szNumber, "%4li", static_cast<long>(m_nClickCost));
  dc.DrawText(m_szNumber, &m_rcCostBox, kBoxText);
  dc.DrawText("Click Cost", &m_rcCostLabel, kLabelText);

  dc.Rectangle(&m_rcMatchBox);
  std::snprintf(m_szNumber, sizeof m_szNumber, "%4li", static_cast<long>(m_nMatchPoints));
  dc.DrawText(m_szNumber, &m_rcMatchBox, kBoxText);
  dc.DrawText("Match Score", &m_rcMatchLabel, kLabelText);

  const int net = NetScore(m_nMatchPoints, m_nClickCost, bonus);
  dc.Rectangle(&m_rcNetBox);
  std::snprintf(m_szNumber, sizeof m_szNumber, "%7li", static_cast<long>(net));
  dc.DrawText(m_szNumber, &m_rcNetBox, kBoxText);
  dc.DrawText("Net Score", &m_rcNetLabel, kLabelText);

  dc.Rectangle(&m_rcGameBox);
  std::snprintf(m_szNumber, sizeof m_szNumber, "%i", m_nGame + 1);
  dc.DrawText(m_szNumber, &m_rcGameBox, kBoxText);
  dc.DrawText("Game#", &m_rcGameLabel, kLabelText);

  m_nGameScore[m_nGame] = net;
}
