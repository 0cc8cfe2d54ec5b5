// The paint procedure: the title, the size checks, the game font, the first
// paint of a set (deal, layout, pictures, opening animation and sound, the
// clock's start) and the board, then the clock step.
#include <cstdio>

#include "game/layout.h"
#include "platform/host.h"
#include "view/quadrilexd_view.h"
#include "view/view_numbers.h"
#include "view/sound_cues.h"
#include "view/title.h"

using namespace quadrilex;
using namespace view_numbers;

namespace {
// The message names a screen of 1024 by 720 while the check is on a client
// area of 1016 by 660: the main window's frame, caption and menu bar take the
// difference, so a player reads the size of the screen to get.
const char* const kTooSmallMessage =
    "Program Abort: This game will not run unless the screen is at least 1024 wide and 720 high.";

void CreateGameFont(CFont& font, int height) {
  if (font.HoldsObject()) font.DeleteObject();
  font.CreateFont(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEVICE_PRECIS,
                  CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, "Arial Bold");
}

// The game font of the smallest client area: in it both rows fit the
// narrowest client area with their spaces as wide as ever, so the search for
// a font that holds a row whole ends there at the latest.
const int kSmallestRowFont = GameFontHeight(kMinClientHeight);

// Lays a row out in the game font or, where even narrowed spaces cannot hold
// it inside the client width, in the largest smaller font that can.
template <typename Row, typename LayOut, typename Fits>
Row FitRow(CDC* pDC, int gameFontHeight, int clientWidth, CFont& font, int& fontHeight, LayOut layOut,
           Fits fits) {
  const TextMeasure measure = [pDC](const char* text) { return pDC->GetTextExtent(text); };
  for (fontHeight = gameFontHeight;; --fontHeight) {
    CreateGameFont(font, fontHeight);
    pDC->SelectObject(&font);
    const Row row = layOut(pDC->GetTextExtent("W"), measure);
    if (fits(row, clientWidth) || fontHeight <= kSmallestRowFont) return row;
  }
}
}  // namespace

void CQuadrilexdView::OnDraw(CDC* pDC) {
  SetTitle();

  GetClientRect(&m_rcClient);
  pDC->SetBkMode(TRANSPARENT);

  // The window may have been resized since the layout was made: lay out again
  // from the new size and go on with the same board, scores and clock.
  const bool bLayoutChanged = m_bFirstPaintDone && !EqualRect(m_rcClient, m_rcLayout);

  if (ClientTooSmall(m_rcClient)) {
    AfxMessageBox(kTooSmallMessage, MB_OK);
    m_host.ExitProcess(1);
    return;
  }

  m_nFontHeight = GameFontHeight(m_rcClient.bottom);
  CreateGameFont(m_fontGame, m_nFontHeight);

  // The ground is filled before the first-paint work, which draws the opening
  // lines on it, and again after it, to clear them before the board.
  pDC->FillRect(&m_rcClient, &m_brushGrey);
  if (!m_bFirstPaintDone) {
    FirstPaintWork(pDC);
  } else if (bLayoutChanged) {
    m_rcLayout = m_rcClient;
    LayOutBoard();
    LayOutText(pDC);
  }
  pDC->FillRect(&m_rcClient, &m_brushGrey);

  for (int block = 0; block < kBlockCount; ++block) {
    if (m_nBlockState[block] == kStateLost) continue;
    BlitBlock(pDC, block, m_nArrangement[block]);
    if (m_nBlockState[block] == kStateMatched) FrameBlock(pDC, block, &m_penGreen);
  }
  FrameBlock(pDC, kMasterBlock, &m_penRed);

  ClockStepOfPaint();
}

void CQuadrilexdView::SetTitle() {
  m_strDate = GetCurrentTime().Format("%c");
  m_strTitle = TitlePrefix() + m_strDate + TitleVersion();
  SetMainWindowText(m_strTitle);
}

void CQuadrilexdView::FirstPaintWork(CDC* pDC) {
  m_rcLayout = m_rcClient;
  DealBoard();
  LayOutBoard();
  BuildDissolveOrder(m_nDissolveOrder, m_nBlockSize);
  for (int i = 0; i < kArrangementCount; ++i) {
    if (m_bmpArrangement[i].HoldsObject()) m_bmpArrangement[i].DeleteObject();
    m_bmpArrangement[i].LoadBitmap(kFirstArrangementBitmap + i);
  }
  for (int zone = 0; zone < kArrowZoneCount; ++zone) m_rcArrowZone[zone] = kArrowZoneRect[zone];
  LayOutText(pDC);

  DrawOpeningAnimation(pDC);
  // The lines stay on the screen while the opening sound plays to its end.
  PlaySoundSync(m_host, kOpeningSound);
  pDC->FillRect(&m_rcClient, &m_brushGrey);

  if (!m_bClockRunning) {
    if (!SetTimer(kTickTimer, static_cast<UINT>(m_nTickMs), nullptr)) AbortNoTimer();
    m_bClockRunning = 1;
    m_timeStart = GetCurrentTime();
  }
  m_bFirstPaintDone = 1;
}

void CQuadrilexdView::LayOutBoard() {
  const CPoint origin = BoardOrigin(m_rcClient.right, m_rcClient.bottom, m_nBlockSize, m_nBlockPitch);
  m_nBoardLeft = origin.x;
  m_nBoardTop = origin.y;
  LayOutBlocks(origin, m_nBlockSize, m_nBlockPitch, m_rcBlock);
}

void CQuadrilexdView::LayOutText(CDC* pDC) {
  pDC->SelectObject(&m_fontGame);
  m_sizeChar = pDC->GetTextExtent("W");
  m_rcNewSetBox = LayOutNewSetBox(m_sizeChar, m_rcClient.bottom);

  const int width = m_rcClient.right;
  const int height = m_rcClient.bottom;
  const PanelLayout panel = FitRow<PanelLayout>(
      pDC, m_nFontHeight, width, m_fontPanel, m_nPanelFontHeight,
      [width](SIZE charSize, const TextMeasure& measure) { return LayOutPanel(charSize, measure, width); },
      PanelFits);
  m_rcTimeLabel = panel.timeLabel;
  m_rcTimeBox = panel.timeBox;
  m_rcMatchLabel = panel.matchLabel;
  m_rcMatchBox = panel.matchBox;
  m_rcCostLabel = panel.costLabel;
  m_rcCostBox = panel.costBox;
  m_rcBonusLabel = panel.bonusLabel;
  m_rcBonusBox = panel.bonusBox;
  m_rcNetLabel = panel.netLabel;
  m_rcNetBox = panel.netBox;
  m_rcGameLabel = panel.gameLabel;
  m_rcGameBox = panel.gameBox;

  const RecapLayout recap = FitRow<RecapLayout>(
      pDC, m_nFontHeight, width, m_fontRecap, m_nRecapFontHeight,
      [width, height](SIZE charSize, const TextMeasure& measure) {
        return LayOutRecap(charSize, height, measure, width);
      },
      RecapFits);
  m_rcAverageLabel = recap.averageLabel;
  m_rcAverageBox = recap.averageBox;
  for (int slot = 0; slot < kRecapSlots; ++slot) {
    m_rcRecapLabel[slot] = recap.recapLabel[slot];
    m_rcRecapBox[slot] = recap.recapBox[slot];
  }
  pDC->SelectObject(&m_fontGame);
}

void CQuadrilexdView::DrawOpeningAnimation(CDC* pDC) {
  AnimationLine lines[kAnimationLineCount];
  OpeningAnimation(m_rcClient.right, m_rcClient.bottom, lines);
  CPen* const pens[] = {&m_penRed, &m_penGreen, &m_penBlack, &m_penBlue, &m_penYellow, &m_penMagenta};
  pDC->MoveTo(0, 0);
  for (const AnimationLine& line : lines) {
    for (CPen* pen : pens) {
      if (pen->Colour() == line.colour) pDC->SelectObject(pen);
    }
    if (line.moveFirst) pDC->MoveTo(line.moveTo.x, line.moveTo.y);
    pDC->LineTo(line.lineTo.x, line.lineTo.y);
  }
}

void CQuadrilexdView::BlitBlock(CDC* pDC, int block, int arrangement) {
  if (m_dcMemory.HoldsDC()) m_dcMemory.DeleteDC();
  m_dcMemory.CreateCompatibleDC(pDC);
  CBitmap* kept = m_dcMemory.SelectObject(&m_bmpArrangement[arrangement]);
  pDC->BitBlt(m_rcBlock[block].left, m_rcBlock[block].top, m_nBlockSize, m_nBlockSize, &m_dcMemory, 0, 0, SRCCOPY);
  m_dcMemory.SelectObject(kept);
}

void CQuadrilexdView::FrameBlock(CDC* pDC, int block, CPen* pen) {
  const RECT& rc = m_rcBlock[block];
  pDC->SelectObject(pen);
  pDC->MoveTo(rc.left, rc.top);
  pDC->LineTo(rc.right - 1, rc.top);
  pDC->LineTo(rc.right - 1, rc.bottom - 1);
  pDC->LineTo(rc.left, rc.bottom - 1);
  pDC->LineTo(rc.left, rc.top);
}

void CQuadrilexdView::PaintMovedBlock(int column, int row, int arrangement) {
  const int block = BlockIndex(column, row);
  {
    CClientDC dc(this);
    BlitBlock(&dc, block, arrangement);
  }
  if (m_nClickCount[block] < kMaxClickCount) ++m_nClickCount[block];
}

void CQuadrilexdView::RepaintBlock(int column, int row) {
  const int block = BlockIndex(column, row);
  CClientDC dc(this);
  BlitBlock(&dc, block, m_nArrangement[block]);
}
