// The game's view window on Qt: it holds the surface the game draws on, copies
// it to the screen, runs the game's timers, and passes the player's clicks and
// keys to the view. It is the real host of the view.
#pragma once

#include <QBasicTimer>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>

#include "platform/host.h"
#include "platform/picture_resend.h"
#include "platform/surface.h"

class CView;
class CSoundOutput;

// The pixels the game draws in on a window. The game is laid out in its own
// pixels, at least 1016 by 660 of them. It draws at Qt's scale where the
// window holds that many of Qt's pixels; where it does not (a small screen at
// a large scale), at the largest scale at which the window's device pixels
// still hold the game, down to one game pixel to a device pixel.
struct GamePixels {
  qreal ratio = 1.0;  // device pixels to a game pixel, across and down
  QSize size;         // of the window, in game pixels
};
// For a window of `logicalSize` in Qt's pixels at Qt's `qtRatio`.
GamePixels GamePixelsFor(const QSize& logicalSize, qreal qtRatio);

class CViewWindow : public QWidget, public CViewHost {
 public:
  explicit CViewWindow(QWidget* parent = nullptr);
  ~CViewWindow() override;

  void AttachView(CView* view) { m_view = view; }
  // The seed of the deal's generator; without one, the clock's time.
  void SetSeed(std::optional<unsigned> seed) { m_seed = seed; }
  // Sound output for PlaySound; without one every sound fails.
  void SetSoundOutput(CSoundOutput* output);
  // The colour the window shows before the game has painted: the game's ground.
  void SetBackground(COLORREF colour);
  // Called after every paint of the game, when what it shows may have changed.
  void SetAfterGamePaint(std::function<void()> callback) { m_afterPaint = std::move(callback); }
  // Called once, just after the window's first frame is on the screen and
  // before the game's first paint: the place for work the first frame does
  // not need.
  void SetAfterFirstShown(std::function<void()> callback) { m_afterFirstShown = std::move(callback); }

  // Asks for a paint of the game from its stored state, as soon as the window
  // shows, its size has settled and the event loop is free.
  void RequestGamePaint();

  // By default the game's surface follows the window's size. A frame that
  // keeps the window at its place leaves that to itself instead: from then on
  // the surface takes the window's size only when the frame says the size has
  // settled, and a window manager's sizes never reach the game.
  void LeaveSizeToFrame();
  // Whether the window's size is the one the game is to be laid out for. While
  // it is not (a window manager trying sizes of its own, a frame on its way
  // back to filling the screen), the game's surface keeps its size and its
  // picture, and no paint of the game runs; each time it is, the surface takes
  // the window's size, and a changed size is painted anew.
  void SetSizeSettled(bool settled);

  // ---- CViewHost ----
  CSurface& Surface() override { return m_surface; }
  RECT ClientRect() const override;
  void Present(Presenting when) override;
  void SetMainWindowTitle(const std::string& title) override;
  bool StartTimer(UINT id, UINT milliseconds) override;
  void StopTimer(UINT id) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, UINT style) override;
  std::time_t CurrentTime() override;
  void SeedRandom() override;
  int NextRandom() override;
  bool PlaySound(UINT id, Playing how) override;
  void Pause(int milliseconds) override;
  void ExitProcess(int status) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void RunGamePaint();
  void PostGamePaint();
  // Gives the surface the window's size; a new size asks for a paint.
  void AdoptWindowSize();
  // The part of the window, in Qt's pixels, that shows `game`, a rectangle of
  // the game's pixels.
  QRect WindowAreaOf(const RECT& game) const;

  CView* m_view = nullptr;
  CSoundOutput* m_sound = nullptr;
  CSurface m_surface;
  std::map<UINT, QBasicTimer> m_timers;  // by the id the game gave each
  std::optional<unsigned> m_seed;
  std::function<void()> m_afterPaint;
  std::function<void()> m_afterFirstShown;
  QRegion m_unpresented;  // drawn on the surface, not yet painted on the window
  CPictureResend m_resend{this};
  bool m_exposed = false;
  bool m_shownAtSize = false;  // painted on the screen since its last resize
  bool m_paintPending = false;
  bool m_sizeSettled = true;
  bool m_sizeLeftToFrame = false;
  int m_paintDepth = 0;
};
