// A left click on the board: a move by an arrow, or the loss of a block clicked
// off its arrows; then the judging of the moved block and the scores.
#include "game/clock.h"
#include "platform/host.h"
#include "view/quadrilexd_view.h"
#include "view/view_numbers.h"
#include "view/sound_cues.h"

using namespace quadrilex;
using namespace view_numbers;

namespace {
// The dissolve is shown in this many steps, one pause after each, so that it
// lasts about a second whatever the machine.
constexpr int kDissolveSteps = 50;
constexpr int kDissolveStepMs = 20;
}  // namespace

void CQuadrilexdView::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
  if (m_bResting) {
    OnNewSetClick(point);
    return;
  }
  OnBoardClick(point);
}

void CQuadrilexdView::OnBoardClick(CPoint point) {
  const int block = HitBlock(m_rcBlock, point);
  if (block < 0 || block == kMasterBlock || m_nBlockState[block] == kStateLost) return;
  const int column = BlockColumn(block);
  const int row = BlockRow(block);
  const int zone = HitArrowZone(m_rcArrowZone, m_rcBlock[block].left, m_rcBlock[block].top, point);
  if (zone >= 0) {
    m_nArrangement[block] = MovedArrangement(m_nArrangement[block], zone);
    PaintMovedBlock(column, row, m_nArrangement[block]);
    CheckMovedBlock(column, row);
  } else {
    DissolveBlocks(column, row, column, row);
  }
  UpdateAfterClick();
}

void CQuadrilexdView::DissolveBlocks(int column1, int row1, int column2, int row2) {
  const int block1 = BlockIndex(column1, row1);
  const int block2 = BlockIndex(column2, row2);
  m_nBlockState[block2] = kStateLost;
  m_nBlockState[block1] = kStateLost;
  PlaySoundAsync(m_host, m_soundNotice, kLostSound);

  const RECT& rc1 = m_rcBlock[block1];
  const RECT& rc2 = m_rcBlock[block2];
  const int count = m_nBlockSize * m_nBlockSize;
  CClientDC dc(this);
  for (int step = 0; step < kDissolveSteps; ++step) {
    const int end = count * (step + 1) / kDissolveSteps;
    for (int j = count * step / kDissolveSteps; j < end; ++j) {
      const int dx = m_nDissolveOrder[j] / m_nBlockSize;
      const int dy = m_nDissolveOrder[j] % m_nBlockSize;
      // Each pixel of both blocks is set four times over: eight calls a
      // pixel. The repeats change nothing on the screen; they are the game's
      // own pace for the dissolve, kept with its order of pixels.
      for (int k = 0; k < 4; ++k) {
        dc.SetPixel(rc1.left + dx, rc1.top + dy, CQuadrilexdView::kGroundColour);
        dc.SetPixel(rc2.left + dx, rc2.top + dy, CQuadrilexdView::kGroundColour);
      }
    }
    m_host.Pause(kDissolveStepMs);
  }
}

void CQuadrilexdView::CheckMovedBlock(int column, int row) {
  const int block = BlockIndex(column, row);
  if (m_nArrangement[block] == m_nArrangement[kMasterBlock]) {
    PlaySoundAsync(m_host, m_soundNotice, kMatchSound);
    {
      CClientDC dc(this);
      FrameBlock(&dc, block, &m_penGreen);
    }
    m_nBlockState[block] = kStateMatched;
    return;
  }
  m_nBlockState[block] = kStateNormal;
  for (int other = 0; other < kBlockCount; ++other) {
    if (other == block || other == kMasterBlock || m_nBlockState[other] == kStateLost) continue;
    if (m_nArrangement[other] != m_nArrangement[block]) continue;
    {
      CClientDC dc(this);
      FrameBlock(&dc, block, &m_penBlack);
      FrameBlock(&dc, other, &m_penBlack);
    }
    // The player sees both frames while the collision sounds to its end.
    PlaySoundSync(m_host, kCollisionSound);
    DissolveBlocks(column, row, BlockColumn(other), BlockRow(other));
    return;
  }
}

void CQuadrilexdView::UpdateAfterClick() {
  const BoardTally tally = TallyBoard(m_nBlockState, m_nClickCount, m_nPointsScale);
  m_bBoardDone = tally.boardDone;
  m_nMatchCount = tally.matchCount;
  m_nClickCost = tally.clickCost;
  m_nMatchPoints = tally.matchPoints;

  if (m_bBoardDone) {
    // Every block matched or lost: the game ends, and the time left earns
    // the Bonus.
    EndGame(true);
    m_timeNow = GetCurrentTime();
    if (IsTimeUp(m_timeNow.GetTime(), m_timeStart.GetTime())) m_bTimeUp = 1;
    ShowTimeLeft();
    DrawScorePanelWithTimeBonus();
    return;
  }

  m_timeNow = GetCurrentTime();
  if (IsTimeUp(m_timeNow.GetTime(), m_timeStart.GetTime())) {
    EndGame(true);
    m_bTimeUp = 1;
    ShowTimeLeft();
  }
  DrawScorePanel(false);
}
