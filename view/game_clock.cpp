// The game clock and the set of five games: the ticks, the four ways a game
// ends, the rest, the start of the next game, the recap and the new set.
#include <cstdio>

#include "game/clock.h"
#include "game/layout.h"
#include "platform/host.h"
#include "view/quadrilexd_view.h"
#include "view/view_numbers.h"
#include "view/sound_cues.h"

using namespace quadrilex;
using namespace view_numbers;

namespace {
const char* const kNewSetWords = "CLICK HERE TO PLAY ANOTHER SET";
}  // namespace

// Both timers come here and the id is not looked at: whether the view is
// resting tells the rest timer's expiry from a tick, since the tick timer is
// stopped whenever the rest timer runs.
void CQuadrilexdView::OnTimer(UINT /*nIDEvent*/) {
  if (m_bResting) {
    // The notice that sound cannot be played holds a click or a tick in the
    // middle of its work on this board. Dealing the next game under it would
    // let that work go on over the new board, so the rest lasts until the
    // notice is closed: the rest timer fires again.
    if (m_soundNotice.open > 0) return;
    if (m_nGame < kLastGameOfSet)
      StartNextGame();
    else
      DrawRecap();
    return;
  }
  m_timeNow = GetCurrentTime();
  if (IsTimeUp(m_timeNow.GetTime(), m_timeStart.GetTime())) {
    if (!m_bTimeUp) EndGame(true);
    m_bTimeUp = 1;
  }
  ShowTimeLeft();
}

void CQuadrilexdView::ClockStepOfPaint() {
  if (!m_bBoardDone && !m_bTimeUp) {
    m_timeNow = GetCurrentTime();
    if (IsTimeUp(m_timeNow.GetTime(), m_timeStart.GetTime())) {
      // Noticed by a paint: no sound, and since the view now rests, the same
      // paint goes straight on to the next game.
      EndGame(false);
      m_bTimeUp = 1;
    }
  }
  ShowTimeLeft();
  DrawScorePanelWithTimeBonus();
  if (m_bResting) OnTimer(kTickTimer);
}

void CQuadrilexdView::ShowTimeLeft() {
  m_spanLeft = m_bTimeUp ? 0 : quadrilex::SecondsLeft(m_timeNow.GetTime(), m_timeStart.GetTime());
  m_strTimeLeft = m_spanLeft.Format("%M:%S");
  DrawTimeBox();
}

void CQuadrilexdView::DrawScorePanelWithTimeBonus() {
  if (m_spanLeft.GetTotalSeconds() > 0) {
    m_nBonusIndex = quadrilex::BonusIndex(m_spanLeft.GetTotalSeconds());
    DrawScorePanel(true);
  } else {
    DrawScorePanel(false);
  }
}

void CQuadrilexdView::ResetGameCounters() {
  m_nClickCost = 0;
  m_nMatchPoints = kStartMatchPoints;
  m_nMatchCount = 0;
  m_bBoardDone = 0;
  m_bTimeUp = 0;
  m_bResting = 0;
}

void CQuadrilexdView::EndGame(bool bPlaySound) {
  KillTimer(kTickTimer);
  if (bPlaySound) PlaySoundAsync(m_host, m_soundNotice, kGameOverSound);
  m_bResting = 1;
  if (!SetTimer(kRestTimer, static_cast<UINT>(m_nRestMs), nullptr)) AbortNoTimer();
  m_bClockRunning = 0;
}

void CQuadrilexdView::StartNextGame() {
  KillTimer(kRestTimer);
  // Both sounds play to their end while the old board stays on the screen.
  PlaySoundSync(m_host, kRestOverSound);
  PlaySoundSync(m_host, kOpeningSound);

  m_nBonusIndex = 0;
  m_nGame += 1;
  ResetGameCounters();

  if (!SetTimer(kTickTimer, static_cast<UINT>(m_nTickMs), nullptr)) AbortNoTimer();
  m_bClockRunning = 1;
  m_timeStart = GetCurrentTime();

  DealBoard();
  for (int block = 0; block < kBlockCount; ++block) RepaintBlock(BlockColumn(block), BlockRow(block));
  {
    CClientDC dc(this);
    FrameBlock(&dc, kMasterBlock, &m_penRed);
  }
  DrawTimeBox();
  DrawScorePanel(false);
}

void CQuadrilexdView::DrawRecap() {
  KillTimer(kRestTimer);
  CClientDC dc(this);
  SetUpBoxDC(dc, m_penRed, m_fontRecap);

  dc.Rectangle(&m_rcAverageBox);
  std::snprintf(m_szNumber, sizeof m_szNumber, "%7li", static_cast<long>(AverageScore(m_nGameScore)));
  dc.DrawText(m_szNumber, &m_rcAverageBox, kBoxText);
  dc.DrawText("Average", &m_rcAverageLabel, kLabelText);

  // From left to right: Game 5 down to Game 1.
  for (int k = 1; k <= kRecapSlots; ++k) {
    dc.Rectangle(&m_rcRecapBox[k - 1]);
    std::snprintf(m_szNumber, sizeof m_szNumber, "%7li", static_cast<long>(m_nGameScore[kGamesPerSet - k]));
    dc.DrawText(m_szNumber, &m_rcRecapBox[k - 1], kBoxText);
    char label[12];
    std::snprintf(label, sizeof label, "Game %1i", kGamesPerSet + 1 - k);
    dc.DrawText(label, &m_rcRecapLabel[k - 1], kLabelText);
  }

  dc.SelectObject(&m_penYellow);
  dc.SelectObject(&m_fontGame);
  dc.Rectangle(&m_rcNewSetBox);

  // One letter a line, a blank line between words, half a line free above.
  const int lineHeight = m_sizeChar.cy;
  int line = 0;
  for (const char* p = kNewSetWords; *p; ++p) {
    if (*p == ' ') {
      ++line;
      continue;
    }
    RECT rc = m_rcNewSetBox;
    rc.top = m_rcNewSetBox.top + lineHeight / 2 + line * lineHeight;
    rc.bottom = rc.top + lineHeight;
    dc.DrawText(std::string(1, *p), &rc, kBoxText);
    ++line;
  }
}

bool CQuadrilexdView::OnNewSetClick(CPoint point) {
  const RECT& box = m_rcNewSetBox;
  const bool inBox = box.left <= point.x && point.x <= box.right && box.top <= point.y && point.y <= box.bottom;
  if (!inBox || m_nGame < kLastGameOfSet) return false;
  m_nGame = 0;
  m_bFirstPaintDone = 0;
  ResetGameCounters();
  for (CBitmap& bitmap : m_bmpArrangement) {
    if (bitmap.HoldsObject()) bitmap.DeleteObject();
  }
  CClientDC dc(this);
  OnDraw(&dc);
  return true;
}

void CQuadrilexdView::AbortNoTimer() {
  MessageBox("Program Abort: No timer available", "SDI:QUADRILEX", MB_ICONEXCLAMATION);
  m_host.ExitProcess(1);
}
