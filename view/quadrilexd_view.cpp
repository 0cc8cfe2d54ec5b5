#include "view/quadrilexd_view.h"

#include "game/layout.h"
#include "platform/host.h"

using namespace quadrilex;

CQuadrilexdView::CQuadrilexdView(CViewHost& host) : CView(host) {
  m_brushGrey.CreateSolidBrush(kGroundColour);
  m_penRed.CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  m_penGreen.CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
  m_penBlack.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  m_penYellow.CreatePen(PS_SOLID, 1, RGB(255, 255, 0));
  m_penMagenta.CreatePen(PS_SOLID, 1, RGB(255, 0, 255));
  m_penBlue.CreatePen(PS_SOLID, 1, RGB(0, 0, 255));

  ResetGameCounters();
  m_bFirstPaintDone = 0;

  m_host.SeedRandom();

  m_nBlockPitch = kBlockPitch;
  m_nBlockSize = kBlockSize;
  m_bClockRunning = 0;
  m_nTickMs = 50;
  m_nRestMs = 4000;

  BuildPointsScale(m_nPointsScale);

  m_nBonusIndex = 0;
  m_nGame = 0;
  for (int& score : m_nGameScore) score = 0;

  BuildInstructionTexts();
}

CQuadrilexdView::~CQuadrilexdView() = default;

void CQuadrilexdView::DealBoard() {
  const DealArrays board{m_nDeal, m_nDrawPool, m_nArrangement, m_nBlockState, m_nClickCount};
  quadrilex::DealBoard(board, [this] { return m_host.NextRandom(); });
}
