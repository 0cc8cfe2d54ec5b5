// Under a compositing manager (GNOME's mutter, KDE's KWin on X11) a picture
// the game hands to the X server reaches the screen only once the manager has
// taken in the damage it did to the window. The server tells the manager of
// new damage only where it grows the damage the manager has not yet cleared,
// so a picture handed over just after the manager read the window, and before
// it cleared what it had been told of, stays off the screen until the window
// changes again. Most of the time something soon does; but when the game holds
// its thread (the opening lines while the opening sound plays, the black
// frames of a collision) nothing changes for seconds, and the player sees the
// picture before.
//
// So the window has the server damage what it painted once more a moment
// later, and while the game holds its thread, again every moment until it
// goes on: the server copies the window's pixels onto themselves, which
// changes nothing on the screen and costs the game no drawing. Where no
// compositor draws the screen (no manager, openbox, a Wayland session) the
// window's pictures go straight to the screen, and nothing is sent again.
#pragma once

#include <QElapsedTimer>
#include <QRegion>
#include <QTimer>
#include <cstdint>

class QWidget;

class CPictureResend {
 public:
  explicit CPictureResend(QWidget* window);

  // The window has just painted `region` on the screen.
  void Painted(const QRegion& region);
  // Called every few milliseconds while the game holds the thread; it returns
  // at once when there is nothing to send.
  void WhileHolding();

 private:
  void Resend();

  QWidget* m_window;
  QTimer m_later;
  QRegion m_sent;  // painted since it was last all sent again
  QElapsedTimer m_sinceSent;
  std::uint32_t m_compositorSelection = 0;  // the atom of its _NET_WM_CM_Sn, once known
  bool m_composited = false;
  QElapsedTimer m_sinceAsked;  // since the window system was asked about a compositor
};
