// Keeps the main frame filling the available area of its screen, whatever the
// window manager does: there may be none (a kiosk, a bare X session), it may
// map the window at a size of its own before it places it, or it may restore,
// tile, drag, minimize or roll it up into its caption on the player's request.
// Each time the frame has been moved off that area it is put back at once; and
// when the area itself changes (a screen resized, a panel added or removed)
// the frame follows it. A manager that is still starting may drop the frame's
// first map request: until the frame is first exposed, it is mapped again.
//
// On X11 the frame is placed in the server's own pixels, the unit of the
// screen, its panels and the manager's decorations, whatever scale Qt draws
// at; only the place given before the first show goes through Qt.
//
// The game is laid out for the frame's settled size only: the view window is
// told when the frame fills its area, and keeps its picture and layout while
// it does not.
#pragma once

#include <QElapsedTimer>
#include <QMetaObject>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QTimer>

#include "platform/window_functions.h"

class QScreen;
class QWidget;
class CViewWindow;

class CScreenFiller : public QObject {
 public:
  CScreenFiller(QWidget* frame, CViewWindow* view);

  // Gives the frame its place before it is first shown, so that its first
  // frame is already full, and starts watching it.
  void PlaceBeforeShow();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The frame's geometry (inside the manager's decorations, as they stand in
  // `placement`) that makes it fill the screen's available area, as far as
  // the window system lets a client place itself. On X11, like everything the
  // filler reads and asks of the server, in the server's pixels.
  static QRect TargetGeometry(const FramePlacement& placement);
  // Qt has heard of the frame's size of `device` server pixels.
  bool QtHasSize(const QSize& device) const;
  // The frame fills its area now, by the window system's word and Qt's.
  bool Fills() const;
  void Follow(QScreen* screen);
  // Puts the frame back when it does not fill its area, and tells the view
  // whether the game may be laid out for its size.
  void Refill();
  void ScheduleRefill();
  // No manager we know holds a frame back this long; past it, the game is
  // laid out for whatever size the frame has rather than never.
  void GiveUpWaiting();

  QWidget* m_frame;
  CViewWindow* m_view;
  QTimer m_refill;
  QTimer m_recheck;
  QTimer m_patience;
  QTimer m_mapAgain;
  bool m_wayland;
  bool m_gaveUp = false;
  bool m_exposed = false;  // the frame's first picture has been presented
  QElapsedTimer m_fillingSince;  // since when the frame has filled its area
  QRect m_fillingGeometry;       // at this geometry
  QSize m_fullSize;  // on Wayland: the size the compositor gives the maximized frame
  QMetaObject::Connection m_areaChanged;
  QMetaObject::Connection m_sizeChanged;
};
