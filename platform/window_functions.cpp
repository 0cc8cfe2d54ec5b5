#include "platform/window_functions.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>
#include <QWindow>
#include <cstddef>
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

// The atoms the game's window needs. Atoms are the server's for the life of
// the connection, and the game has one connection: they are asked for once,
// all in one exchange with the server.
struct Atoms {
  xcb_atom_t motifHints;
  xcb_atom_t protocols;
  xcb_atom_t syncRequest;
  xcb_atom_t syncRequestCounter;
  xcb_atom_t supportingCheck;
  xcb_atom_t wmState;
  xcb_atom_t frameExtents;
};

const Atoms& TheAtoms(xcb_connection_t* connection) {
  struct Named {
    const char* name;
    xcb_atom_t Atoms::*atom;
  };
  static constexpr Named kNamed[] = {
      {"_MOTIF_WM_HINTS", &Atoms::motifHints},
      {"WM_PROTOCOLS", &Atoms::protocols},
      {"_NET_WM_SYNC_REQUEST", &Atoms::syncRequest},
      {"_NET_WM_SYNC_REQUEST_COUNTER", &Atoms::syncRequestCounter},
      {"_NET_SUPPORTING_WM_CHECK", &Atoms::supportingCheck},
      {"WM_STATE", &Atoms::wmState},
      {"_NET_FRAME_EXTENTS", &Atoms::frameExtents},
  };
  constexpr std::size_t kCount = sizeof kNamed / sizeof kNamed[0];
  static_assert(kCount * sizeof(xcb_atom_t) == sizeof(Atoms), "a name for each atom");
  static const Atoms atoms = [connection] {
    // Every request is sent before any answer is waited for: one round trip
    // to the server instead of one for each atom.
    xcb_intern_atom_cookie_t cookies[kCount];
    for (std::size_t i = 0; i < kCount; ++i) {
      cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(qstrlen(kNamed[i].name)), kNamed[i].name);
    }
    Atoms found{};
    for (std::size_t i = 0; i < kCount; ++i) {
      xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
      found.*kNamed[i].atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
      std::free(reply);
    }
    return found;
  }();
  return atoms;
}

// A property asked for now and read later, so that several can be asked for
// in one round trip. One whose atom the server has not given is not asked
// for, and reads as absent.
class PendingProperty {
 public:
  PendingProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                  std::uint32_t longs)
      : m_connection(connection), m_asked(property != XCB_ATOM_NONE) {
    if (m_asked) m_cookie = xcb_get_property(connection, 0, window, property, type, 0, longs);
  }
  ~PendingProperty() {
    if (m_asked && !m_reply) xcb_discard_reply(m_connection, m_cookie.sequence);
    std::free(m_reply);
  }
  PendingProperty(const PendingProperty&) = delete;
  PendingProperty& operator=(const PendingProperty&) = delete;

  // The server's answer, waited for on the first call; null when there is
  // none.
  const xcb_get_property_reply_t* Reply() {
    if (m_asked && !m_reply) {
      m_reply = xcb_get_property_reply(m_connection, m_cookie, nullptr);
      m_asked = m_reply != nullptr;
    }
    return m_reply;
  }
  bool Exists() {
    const xcb_get_property_reply_t* reply = Reply();
    return reply && reply->type != XCB_ATOM_NONE;
  }

 private:
  xcb_connection_t* m_connection;
  bool m_asked;
  xcb_get_property_cookie_t m_cookie{};
  xcb_get_property_reply_t* m_reply = nullptr;
};

// True when _NET_FRAME_EXTENTS, read as four cardinals, says the frame has
// borders.
bool HasNonZeroExtents(PendingProperty& extents) {
  const xcb_get_property_reply_t* reply = extents.Reply();
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply) != 16) return false;
  const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
  return values[0] != 0 || values[1] != 0 || values[2] != 0 || values[3] != 0;
}

// A compositing manager (mutter) that has sent a window a sync request
// shows nothing new of it until the window answers, which it does from its
// event loop. The game holds its thread on purpose (the opening lines are
// drawn, then the opening sound plays to its end), so the answer would come
// only after the sound and the lines would never be seen. The window leaves
// the protocol out: what it presents is shown as it comes.
void LeaveOutSyncRequests(xcb_connection_t* connection, xcb_window_t window) {
  const Atoms& atoms = TheAtoms(connection);
  if (atoms.protocols == XCB_ATOM_NONE || atoms.syncRequest == XCB_ATOM_NONE) return;
  PendingProperty protocols(connection, window, atoms.protocols, XCB_ATOM_ATOM, 32);
  const xcb_get_property_reply_t* reply = protocols.Reply();
  if (reply && reply->format == 32) {
    const auto* listed = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / 4;
    std::vector<xcb_atom_t> kept;
    for (int i = 0; i < count; ++i)
      if (listed[i] != atoms.syncRequest) kept.push_back(listed[i]);
    if (static_cast<int>(kept.size()) != count) {
      xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms.protocols, XCB_ATOM_ATOM, 32,
                          static_cast<std::uint32_t>(kept.size()), kept.data());
    }
  }
  // Nor is the counter the window would answer with offered.
  if (atoms.syncRequestCounter != XCB_ATOM_NONE) xcb_delete_property(connection, window, atoms.syncRequestCounter);
}

xcb_connection_t* X11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

}  // namespace

void OfferOnlyClose(QWidget* window) {
  xcb_connection_t* connection = X11Connection();
  if (!connection || !window) return;
  const xcb_atom_t hintsAtom = TheAtoms(connection).motifHints;
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
  const Atoms& atoms = TheAtoms(connection);
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
  // The rest is asked for at once and then read: one round trip.
  const xcb_get_geometry_cookie_t frameCookie = xcb_get_geometry(connection, frame);
  const xcb_get_geometry_cookie_t clientCookie = xcb_get_geometry(connection, client);
  const xcb_translate_coordinates_cookie_t originCookie = xcb_translate_coordinates(connection, client, root, 0, 0);
  // A manager announces itself on the root window, marks each window it has
  // taken in with WM_STATE, and says how far its frame reaches once it has
  // framed it. Until both are there and the frame is round the window, the
  // manager is still at work.
  PendingProperty supportingCheck(connection, root, atoms.supportingCheck, XCB_GET_PROPERTY_TYPE_ANY, 1);
  PendingProperty wmState(connection, client, atoms.wmState, XCB_GET_PROPERTY_TYPE_ANY, 1);
  PendingProperty frameExtents(connection, client, atoms.frameExtents, XCB_ATOM_CARDINAL, 4);

  xcb_get_geometry_reply_t* frameGeometry = xcb_get_geometry_reply(connection, frameCookie, nullptr);
  xcb_get_geometry_reply_t* clientGeometry = xcb_get_geometry_reply(connection, clientCookie, nullptr);
  xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(connection, originCookie, nullptr);
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
  if (supportingCheck.Exists()) {
    placement.settledByManager = wmState.Exists() && (frame != client || !HasNonZeroExtents(frameExtents)) &&
                                 frameExtents.Exists();
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
