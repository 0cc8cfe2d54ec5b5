// What the window manager may offer the player for the game's main window.
// The game's frame has a caption and can be closed (the manager's close button
// or menu item, Alt+F4), but offers no move, no resize, no minimize, no
// maximize or restore, and no window menu: it always fills the screen.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <functional>

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
//
// On X11 every rectangle here is in the server's own pixels (device pixels),
// whatever scale Qt draws at: a manager's decorations and a screen's panels
// are measured in those, and a scaled size converted to them and back is not
// always the size it was.
struct FramePlacement {
  QRect client;
  QRect frame;
  // The area the frame is to fill: the screen's, less the panels the manager
  // keeps free of windows.
  QRect available;
  // The size the window asks the manager to hold it at (its smallest and
  // largest size, one and the same); invalid while it asks for none.
  QSize pinnedSize;
  // Rolled up into its caption by the manager.
  bool shaded = false;
  // False while a window manager runs and has not yet taken the window in
  // (framed and placed it): until then, where the window stands says nothing.
  bool settledByManager = true;
  QMargins Margins() const {
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
  }
};
FramePlacement PlacementOf(QWidget* window);

// The rectangle of Qt's logical pixels that stands for `device`, a rectangle of
// the server's pixels on the window's screen, as far as Qt can tell them apart.
QRect LogicalRectOf(QWidget* window, const QRect& device);

// Asks the manager to hold the window at this geometry (inside its frame, in
// server pixels): its size neither larger nor smaller, and its place where the
// window itself asks to stand. Off X11, where placements are Qt's own, through
// Qt.
void PinGeometry(QWidget* window, const QRect& client);

// Asks the window system for the window's geometry (inside the manager's
// frame, in server pixels), whatever Qt believes it has: a manager that turned
// down an earlier request, or moved the window without telling it, leaves Qt
// believing that the window already stands there. Off X11, through Qt.
void RequestGeometry(QWidget* window, const QRect& client);

// Asks the manager to unroll a window it has rolled up into its caption.
// Does nothing off X11.
void RequestUnshade(QWidget* window);

// Asks for the window to be mapped once more. A manager that is still
// starting when the window's first request reaches it may drop that request,
// and then the window is never shown. Does nothing off X11.
void MapAgain(QWidget* window);

// Calls `changed` each time the manager changes the window's state on X11
// (_NET_WM_STATE: rolled up, kept above, ...), which Qt passes on only for
// the states it knows itself. Stops when `window` is destroyed.
void WatchManagerState(QWidget* window, std::function<void()> changed);
