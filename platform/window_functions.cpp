#include "platform/window_functions.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// The layout of the _MOTIF_WM_HINTS property: five 32-bit values.
struct MotifWmHints {
  std::uint32_t flags;
  std::uint32_t functions;
  std::uint32_t decorations;
  std::int32_t inputMode;
  std::uint32_t status;
};

constexpr std::uint32_t kHintsFunctions = 1u << 0;
constexpr std::uint32_t kHintsDecorations = 1u << 1;
constexpr std::uint32_t kFunctionClose = 1u << 5;
constexpr std::uint32_t kDecorationBorder = 1u << 1;
constexpr std::uint32_t kDecorationTitle = 1u << 3;

// Atoms are the server's for the life of the connection, and the game has one
// connection: each is asked for once, where it is first needed.
xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(qstrlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

bool HasProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
  if (property == XCB_ATOM_NONE) return false;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1), nullptr);
  const bool found = reply && reply->type != XCB_ATOM_NONE;
  std::free(reply);
  return found;
}

// True when the window's _NET_FRAME_EXTENTS say its frame has borders.
bool HasNonZeroExtents(xcb_connection_t* connection, xcb_window_t window) {
  static const xcb_atom_t extents = InternAtom(connection, "_NET_FRAME_EXTENTS");
  if (extents == XCB_ATOM_NONE) return false;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr);
  bool nonZero = false;
  if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    nonZero = values[0] != 0 || values[1] != 0 || values[2] != 0 || values[3] != 0;
  }
  std::free(reply);
  return nonZero;
}

// A compositing manager (mutter) that has sent a window a sync request
// shows nothing new of it until the window answers, which it does from its
// event loop. The game holds its thread on purpose (the opening lines are
// drawn, then the opening sound plays to its end), so the answer would come
// only after the sound and the lines would never be seen. The window leaves
// the protocol out: what it presents is shown as it comes.
void LeaveOutSyncRequests(xcb_connection_t* connection, xcb_window_t window) {
  static const xcb_atom_t protocols = InternAtom(connection, "WM_PROTOCOLS");
  static const xcb_atom_t syncRequest = InternAtom(connection, "_NET_WM_SYNC_REQUEST");
  if (protocols == XCB_ATOM_NONE || syncRequest == XCB_ATOM_NONE) return;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, protocols, XCB_ATOM_ATOM, 0, 32), nullptr);
  if (reply && reply->format == 32) {
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / 4;
    std::vector<xcb_atom_t> kept;
    for (int i = 0; i < count; ++i)
      if (atoms[i] != syncRequest) kept.push_back(atoms[i]);
    if (static_cast<int>(kept.size()) != count) {
      xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32,
                          static_cast<std::uint32_t>(kept.size()), kept.data());
    }
  }
  std::free(reply);
  // Nor is the counter the window would answer with offered.
  static const xcb_atom_t counter = InternAtom(connection, "_NET_WM_SYNC_REQUEST_COUNTER");
  if (counter != XCB_ATOM_NONE) xcb_delete_property(connection, window, counter);
}

xcb_connection_t* X11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

}  // namespace

void OfferOnlyClose(QWidget* window) {
  xcb_connection_t* connection = X11Connection();
  if (!connection || !window) return;
  static const xcb_atom_t hintsAtom = InternAtom(connection, "_MOTIF_WM_HINTS");
  if (hintsAtom == XCB_ATOM_NONE) return;
  // Only the listed functions are offered (no "all" bit): close, and nothing
  // that moves, resizes, minimizes or maximizes. A border and a title, with
  // no window menu and no minimize or maximize button.
  const MotifWmHints hints{kHintsFunctions | kHintsDecorations, kFunctionClose, kDecorationBorder | kDecorationTitle, 0,
                           0};
  const auto id = static_cast<xcb_window_t>(window->winId());
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, hintsAtom, hintsAtom, 32, 5, &hints);
  LeaveOutSyncRequests(connection, id);
  xcb_flush(connection);
}

FramePlacement PlacementOf(QWidget* window) {
  xcb_connection_t* connection = X11Connection();
  if (!connection) return FramePlacement{window->geometry(), window->frameGeometry()};
  const auto client = static_cast<xcb_window_t>(window->winId());
  xcb_window_t frame = client;
  xcb_window_t root = XCB_WINDOW_NONE;
  for (;;) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr);
    if (!tree) return FramePlacement{window->geometry(), window->frameGeometry()};
    root = tree->root;
    const xcb_window_t parent = tree->parent;
    std::free(tree);
    if (parent == root || parent == XCB_WINDOW_NONE) break;
    frame = parent;
  }
  xcb_get_geometry_reply_t* frameGeometry =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, frame), nullptr);
  xcb_get_geometry_reply_t* clientGeometry =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, client), nullptr);
  xcb_translate_coordinates_reply_t* origin =
      xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, client, root, 0, 0), nullptr);
  FramePlacement placement{window->geometry(), window->frameGeometry()};
  if (frameGeometry && clientGeometry && origin) {
    placement.client = QRect(origin->dst_x, origin->dst_y, clientGeometry->width, clientGeometry->height);
    placement.frame = frame == client ? placement.client
                                      : QRect(frameGeometry->x, frameGeometry->y,
                                              frameGeometry->width + 2 * frameGeometry->border_width,
                                              frameGeometry->height + 2 * frameGeometry->border_width);
  }
  std::free(frameGeometry);
  std::free(clientGeometry);
  std::free(origin);
  // A manager announces itself on the root window, marks each window it has
  // taken in with WM_STATE, and says how far its frame reaches once it has
  // framed it. Until both are there and the frame is round the window, the
  // manager is still at work.
  static const xcb_atom_t supportingCheck = InternAtom(connection, "_NET_SUPPORTING_WM_CHECK");
  static const xcb_atom_t wmState = InternAtom(connection, "WM_STATE");
  static const xcb_atom_t frameExtents = InternAtom(connection, "_NET_FRAME_EXTENTS");
  if (HasProperty(connection, root, supportingCheck)) {
    placement.settledByManager = HasProperty(connection, client, wmState) &&
                                 (frame != client || !HasNonZeroExtents(connection, client)) &&
                                 HasProperty(connection, client, frameExtents);
  }
  return placement;
}

void RequestGeometryAgain(QWidget* window, const QRect& client) {
  xcb_connection_t* connection = X11Connection();
  if (!connection) return;
  // With the static gravity Qt gives the window, a manager reads x and y as
  // the place of the window itself, not of its frame.
  const std::uint32_t values[] = {static_cast<std::uint32_t>(client.x()), static_cast<std::uint32_t>(client.y()),
                                  static_cast<std::uint32_t>(client.width()),
                                  static_cast<std::uint32_t>(client.height())};
  xcb_configure_window(connection, static_cast<xcb_window_t>(window->winId()),
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                       values);
  xcb_flush(connection);
}
