// The game's view: it owns the whole game for the life of the process (the
// board, the scores, the clock, the layout, every drawing object and both
// timers) and follows the game's rules step by step in its handlers.
#pragma once

#include <string>

#include "game/board.h"
#include "game/layout.h"
#include "game/moves.h"
#include "game/scoring.h"
#include "platform/view_base.h"
#include "view/sound_cues.h"

class CQuadrilexdView : public CView {
 public:
  explicit CQuadrilexdView(CViewHost& host);
  ~CQuadrilexdView() override;

  // ---- handlers ----
  void OnDraw(CDC* pDC) override;
  void OnLButtonDown(UINT nFlags, CPoint point) override;
  void OnTimer(UINT nIDEvent) override;
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
  void OnUpdateFilePrint(CCmdUI* pCmdUI) override;
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
  void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
  void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

  // The colour of the ground the board stands on.
  static constexpr COLORREF kGroundColour = RGB(128, 128, 128);

  // The dissolve order's buffer: see m_nDissolveOrder.
  static constexpr int kDissolveOrderSize = 60000;

  // Read-only views of the state for the window and for tests, each array
  // with its size.
  template <typename T, int N>
  using Array = T[N];
  const Array<int, quadrilex::kBlockCount>& Arrangements() const { return m_nArrangement; }
  const Array<int, quadrilex::kBlockCount>& BlockStates() const { return m_nBlockState; }
  const Array<int, quadrilex::kBlockCount>& ClickCounts() const { return m_nClickCount; }
  const Array<int, quadrilex::kGamesPerSet>& GameScores() const { return m_nGameScore; }
  const Array<int, quadrilex::kPointsScaleSize>& PointsScale() const { return m_nPointsScale; }
  const Array<int, kDissolveOrderSize>& DissolveOrder() const { return m_nDissolveOrder; }
  const Array<RECT, quadrilex::kBlockCount>& BlockRects() const { return m_rcBlock; }
  const Array<RECT, quadrilex::kArrowZoneCount>& ArrowZones() const { return m_rcArrowZone; }
  const RECT& NewSetBox() const { return m_rcNewSetBox; }
  const RECT& TimeBoxRect() const { return m_rcTimeBox; }
  quadrilex::PanelLayout PanelRects() const {
    return {m_rcTimeLabel, m_rcTimeBox, m_rcMatchLabel, m_rcMatchBox, m_rcCostLabel, m_rcCostBox,
            m_rcBonusLabel, m_rcBonusBox, m_rcNetLabel, m_rcNetBox, m_rcGameLabel, m_rcGameBox};
  }
  quadrilex::RecapLayout RecapRects() const {
    quadrilex::RecapLayout recap{m_rcAverageLabel, m_rcAverageBox, {}, {}};
    for (int slot = 0; slot < quadrilex::kRecapSlots; ++slot) {
      recap.recapLabel[slot] = m_rcRecapLabel[slot];
      recap.recapBox[slot] = m_rcRecapBox[slot];
    }
    return recap;
  }
  const RECT& ClientRectAtLastPaint() const { return m_rcClient; }
  const std::string& Title() const { return m_strTitle; }
  const std::string& TimeLeftText() const { return m_strTimeLeft; }
  const std::string& HelpText() const { return m_strHelpText; }
  const std::string& PrintText() const { return m_strPrintText; }
  int ClickCost() const { return m_nClickCost; }
  int MatchPoints() const { return m_nMatchPoints; }
  int MatchCount() const { return m_nMatchCount; }
  int BonusIndex() const { return m_nBonusIndex; }
  int Game() const { return m_nGame; }
  int FontHeight() const { return m_nFontHeight; }
  int PanelFontHeight() const { return m_nPanelFontHeight; }
  int RecapFontHeight() const { return m_nRecapFontHeight; }
  int PrintFontHeight() const { return m_nPrintFontHeight; }
  SIZE CharSize() const { return m_sizeChar; }
  bool BoardDone() const { return m_bBoardDone != 0; }
  bool Resting() const { return m_bResting != 0; }
  bool TimeUp() const { return m_bTimeUp != 0; }
  bool ClockRunning() const { return m_bClockRunning != 0; }
  bool FirstPaintDone() const { return m_bFirstPaintDone != 0; }
  long SecondsLeft() const { return m_spanLeft.GetTotalSeconds(); }
  CTime StartTime() const { return m_timeStart; }

 protected:
  // ---- the board: the handlers' steps, open to views that tests derive ----
  void DealBoard();
  // Draws the block in its new arrangement and counts the click against it.
  void PaintMovedBlock(int column, int row, int arrangement);
  void RepaintBlock(int column, int row);
  void DissolveBlocks(int column1, int row1, int column2, int row2);
  void CheckMovedBlock(int column, int row);
  void UpdateAfterClick();

  // ---- the panel ----
  void DrawTimeBox();
  // Draws the scores and records the net score as this game's score in the set.
  void DrawScorePanel(bool bWithBonus);

 private:
  // The paint procedure's parts.
  void SetTitle();
  void FirstPaintWork(CDC* pDC);
  void LayOutBoard();
  void LayOutText(CDC* pDC);
  void DrawOpeningAnimation(CDC* pDC);
  void ClockStepOfPaint();
  void BlitBlock(CDC* pDC, int block, int arrangement);
  void FrameBlock(CDC* pDC, int block, CPen* pen);

  // Boxes on the ground: a transparent background, the frame's pen, the
  // ground's brush and the text's font.
  void SetUpBoxDC(CDC& dc, CPen& frame, CFont& font);

  // The clock and the set.
  void StartTickTimer();
  // The clock shows the time left (none once the time is up), in its box.
  void ShowTimeLeft();
  // The panel, with the Bonus that the time left earns if there is any.
  void DrawScorePanelWithTimeBonus();
  // The counters of a game about to start: no clicks, no matches, nothing over.
  void ResetGameCounters();
  void EndGame(bool bPlaySound);
  void StartNextGame();
  void DrawRecap();
  bool OnNewSetClick(CPoint point);
  void AbortNoTimer();

  // The board click.
  void OnBoardClick(CPoint point);

  // The instruction texts.
  void BuildInstructionTexts();
  // Whether the printed page's heading and every line of its body are whole
  // at this font height, on the page pDC draws on.
  bool PrintedPageIsWhole(CDC* pDC, int fontHeight);

  // ---- drawing objects and texts, in the order they are made ----
  CBitmap m_bmpArrangement[quadrilex::kArrangementCount];
  CBrush m_brushGrey;
  CPen m_penRed;
  CPen m_penGreen;
  CPen m_penBlack;
  CPen m_penBlue;
  CPen m_penYellow;
  CPen m_penMagenta;
  CDC m_dcMemory;
  CTime m_timeStart;
  CTime m_timeNow;
  CTimeSpan m_spanLeft;
  std::string m_strTitle;
  std::string m_strDate;
  std::string m_strTimeLeft;
  std::string m_strPrintText;
  std::string m_strHelpText;
  CFont m_fontGame;
  // The fonts of the rows along the top and the bottom: the game font, or a
  // smaller one where the row would not fit the width in the game font.
  CFont m_fontPanel;
  CFont m_fontRecap;
  CFont m_fontPrint;

  // ---- the board ----
  int m_nDeal[quadrilex::kArrangementCount] = {};
  int m_nDrawPool[quadrilex::kArrangementCount] = {};
  // The order in which a lost block's pixels go: one entry per pixel of a
  // 160 by 160 block (25600). The buffer is as large as the game made it,
  // room for a block of up to 244 pixels a side; only the first
  // m_nBlockSize squared entries are used.
  static_assert(kDissolveOrderSize >= quadrilex::kBlockSize * quadrilex::kBlockSize,
                "the dissolve order holds every pixel of a block");
  int m_nDissolveOrder[kDissolveOrderSize] = {};
  int m_nPointsScale[quadrilex::kPointsScaleSize] = {};
  int m_nClickCost = 0;
  int m_nMatchPoints = 0;
  int m_nBlockState[quadrilex::kBlockCount] = {};
  int m_nArrangement[quadrilex::kBlockCount] = {};
  int m_nClickCount[quadrilex::kBlockCount] = {};
  int m_bBoardDone = 0;
  int m_nMatchCount = 0;
  int m_nBonusIndex = 0;

  // ---- the clock and the set ----
  int m_bResting = 0;
  int m_bTimeUp = 0;
  int m_bClockRunning = 0;
  int m_bFirstPaintDone = 0;
  int m_nGame = 0;
  int m_nTickMs = 0;
  int m_nRestMs = 0;
  int m_nGameScore[quadrilex::kGamesPerSet] = {};
  SoundNotice m_soundNotice;

  // ---- the layout ----
  int m_nBlockSize = 0;
  int m_nBlockPitch = 0;
  RECT m_rcClient;  // empty until the first paint, so nothing prints before it
  RECT m_rcLayout;
  // The board's top-left corner as the layout computes it. Nothing reads it
  // back (the block rectangles carry it), but it is the view's record of
  // where the board stands, kept on purpose beside them.
  int m_nBoardLeft = 0;
  int m_nBoardTop = 0;
  RECT m_rcBlock[quadrilex::kBlockCount];
  RECT m_rcArrowZone[quadrilex::kArrowZoneCount];
  SIZE m_sizeChar;
  RECT m_rcTimeLabel, m_rcTimeBox, m_rcMatchLabel, m_rcMatchBox, m_rcCostLabel, m_rcCostBox;
  RECT m_rcBonusLabel, m_rcBonusBox, m_rcNetLabel, m_rcNetBox, m_rcGameLabel, m_rcGameBox;
  RECT m_rcAverageLabel, m_rcAverageBox;
  RECT m_rcRecapLabel[quadrilex::kRecapSlots];
  RECT m_rcRecapBox[quadrilex::kRecapSlots];
  RECT m_rcNewSetBox;
  int m_nFontHeight = 0;
  int m_nPanelFontHeight = 0;
  int m_nRecapFontHeight = 0;

  // ---- the panel ----
  char m_szNumber[12] = {};

  // ---- the printed page, worked out again for every page ----
  int m_nPrintPageWidth = 0;
  int m_nPrintPageHeight = 0;
  int m_nPrintTextWidth = 0;
  int m_nPrintTextHeight = 0;
  int m_nPrintLeft = 0;
  int m_nPrintTop = 0;
  int m_nPrintFontHeight = 0;
  SIZE m_sizePrintChar;
};
