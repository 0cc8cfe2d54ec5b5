// What the window manager may offer the player for the game's main window.
// The game's frame has a caption and can be closed (the manager's close button
// or menu item, Alt+F4), but offers no move, no resize, no minimize, no
// maximize or restore, and no window menu: it always fills the screen.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

// Tells the window manager so, on the window systems that carry such hints
// (X11's Motif hints, which every common X11 manager reads), and keeps a
// compositing manager from holding back the window's picture while the game
// holds its thread. Call it once the window has its native window and before
// it is shown, and again after anything that makes Qt write its own hints (a
// change of window flags). Does nothing elsewhere.
void OfferOnlyClose(QWidget* window);

// Where the window and the window manager's frame round it stand on the
// screen now. On X11 both are read off the window tree at the server, not
// from Qt's last news of them, and the frame is the window's ancestor just
// below the root: the manager's _NET_FRAME_EXTENTS is not kept true by every
// manager (xfwm4 leaves out the borders it draws round a window of fixed
// size). Elsewhere, what Qt knows.
struct FramePlacement {
  QRect client;
  QRect frame;
  // False while a window manager runs and has not yet taken the window in
  // (framed and placed it): until then, where the window stands says nothing.
  bool settledByManager = true;
  QMargins Margins() const {
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
  }
};
FramePlacement PlacementOf(QWidget* window);

// Asks the window system for the window's geometry (inside the manager's
// frame) once more, whatever Qt believes it has: a manager that turned down
// an earlier request, or moved the window without telling it, leaves Qt
// believing that the window already stands there. Does nothing off X11.
void RequestGeometryAgain(QWidget* window, const QRect& client);
