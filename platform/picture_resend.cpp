#include "platform/picture_resend.h"

#include <QWidget>
#include <QWindow>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/x11_connection.h"

namespace {

// How long after a picture it is sent again, and how often while the game
// holds the thread: about as long as a loaded compositor takes to draw a
// frame or two, and short enough that the player does not see the wait.
constexpr int kResendMs = 150;
// A compositor can be started or stopped while the game runs (xfwm4 switches
// its own on and off); the window system is asked again after this long.
constexpr qint64 kAskAgainMs = 1000;

// The selection a compositing manager owns on the screen the window is on:
// _NET_WM_CM_Sn, n the number of the window's screen. None off X11. A window
// never leaves its X screen, so this is asked once.
xcb_atom_t CompositorSelectionOf(QWidget* window) {
  xcb_connection_t* connection = X11Connection();
  const QWidget* topLevel = window->window();
  if (!connection || !topLevel->windowHandle()) return XCB_ATOM_NONE;
  const auto id = static_cast<xcb_window_t>(topLevel->windowHandle()->winId());
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
  if (!geometry) return XCB_ATOM_NONE;
  const xcb_window_t root = geometry->root;
  std::free(geometry);
  int screen = 0;
  for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
       xcb_screen_next(&it), ++screen) {
    if (it.data->root == root) break;
  }
  const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
  const xcb_atom_t selection = atom ? atom->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(atom);
  return selection;
}

// True when a compositing manager owns the selection now.
bool SelectionHasOwner(xcb_atom_t selection) {
  xcb_connection_t* connection = X11Connection();
  if (!connection || selection == XCB_ATOM_NONE) return false;
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
  const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
  std::free(owner);
  return owned;
}

}  // namespace

CPictureResend::CPictureResend(QWidget* window) : m_window(window) {
  m_later.setSingleShot(true);
  m_later.setInterval(kResendMs);
  QObject::connect(&m_later, &QTimer::timeout, window, [this] {
    Resend();
    m_sent = QRegion();
  });
}

void CPictureResend::Painted(const QRegion& region) {
  if (!m_sinceAsked.isValid() || m_sinceAsked.elapsed() >= kAskAgainMs) {
    // One round trip a second at most, whatever the pace of the paints.
    if (m_compositorSelection == XCB_ATOM_NONE) m_compositorSelection = CompositorSelectionOf(m_window);
    m_composited = SelectionHasOwner(m_compositorSelection);
    m_sinceAsked.start();
  }
  if (!m_composited) return;
  m_sent += region;
  m_sinceSent.start();
  if (!m_later.isActive()) m_later.start();
}

void CPictureResend::WhileHolding() {
  // The timer cannot fire while the thread is held: the picture is sent
  // again from here, and the timer sends it once more when the game goes on.
  if (m_sent.isEmpty() || m_sinceSent.elapsed() < kResendMs) return;
  Resend();
}

void CPictureResend::Resend() {
  m_sinceSent.start();
  xcb_connection_t* connection = X11Connection();
  QWidget* holder = m_window->internalWinId() ? m_window : m_window->nativeParentWidget();
  if (!connection || !holder) return;
  // The server copies the window's pixels onto themselves: nothing on the
  // screen changes, and the copy is new damage for the manager to take in.
  // The game draws nothing again for it.
  const auto window = static_cast<xcb_window_t>(holder->internalWinId());
  const QPoint offset = m_window->mapTo(holder, QPoint(0, 0));
  const qreal ratio = holder->devicePixelRatioF();
  const xcb_gcontext_t gc = xcb_generate_id(connection);
  const std::uint32_t noExposures = 0;
  xcb_create_gc(connection, gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  for (const QRect& rect : m_sent) {
    const QRect logical = rect.translated(offset);
    const auto left = static_cast<std::int16_t>(std::floor(logical.left() * ratio));
    const auto top = static_cast<std::int16_t>(std::floor(logical.top() * ratio));
    const auto right = static_cast<int>(std::ceil((logical.right() + 1) * ratio));
    const auto bottom = static_cast<int>(std::ceil((logical.bottom() + 1) * ratio));
    xcb_copy_area(connection, window, window, gc, left, top, left, top, static_cast<std::uint16_t>(right - left),
                  static_cast<std::uint16_t>(bottom - top));
  }
  xcb_free_gc(connection, gc);
  xcb_flush(connection);
}
