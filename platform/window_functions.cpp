#include "platform/window_functions.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/x11_connection.h"

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
  xcb_atom_t workArea;
  xcb_atom_t currentDesktop;
  xcb_atom_t netWmState;
  xcb_atom_t netWmStateShaded;
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
      {"_NET_WORKAREA", &Atoms::workArea},
      {"_NET_CURRENT_DESKTOP", &Atoms::currentDesktop},
      {"_NET_WM_STATE", &Atoms::netWmState},
      {"_NET_WM_STATE_SHADED", &Atoms::netWmStateShaded},
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

// The values of a property of 32-bit items, as far as they were read.
std::vector<std::uint32_t> Cardinals(PendingProperty& property) {
  const xcb_get_property_reply_t* reply = property.Reply();
  if (!reply || reply->format != 32) return {};
  const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
  return std::vector<std::uint32_t>(values, values + xcb_get_property_value_length(reply) / 4);
}

// WM_NORMAL_HINTS: eighteen 32-bit values, of which the game writes the
// flags, the place, the size, the smallest and largest size, and the gravity.
constexpr std::uint32_t kNormalHintsLength = 18;
constexpr std::uint32_t kHintUserPosition = 1u << 0;
constexpr std::uint32_t kHintUserSize = 1u << 1;
constexpr std::uint32_t kHintMinSize = 1u << 4;
constexpr std::uint32_t kHintMaxSize = 1u << 5;
constexpr std::uint32_t kHintGravity = 1u << 9;

// The size the hints hold the window at: their smallest and largest size,
// when both are given and one.
QSize PinnedSizeIn(PendingProperty& normalHints) {
  const std::vector<std::uint32_t> hints = Cardinals(normalHints);
  if (hints.size() < 9 || !(hints[0] & kHintMinSize) || !(hints[0] & kHintMaxSize)) return QSize();
  if (hints[5] != hints[7] || hints[6] != hints[8]) return QSize();
  return QSize(static_cast<int>(hints[5]), static_cast<int>(hints[6]));
}

// The work area of the current desktop from _NET_WORKAREA (x, y, width and
// height for each desktop); null when the manager gives none.
QRect WorkAreaIn(PendingProperty& workAreas, PendingProperty& currentDesktop) {
  const std::vector<std::uint32_t> areas = Cardinals(workAreas);
  const std::vector<std::uint32_t> current = Cardinals(currentDesktop);
  std::size_t desktop = current.empty() ? 0 : current[0];
  if (4 * desktop + 4 > areas.size()) desktop = 0;
  if (areas.size() < 4) return QRect();
  const std::uint32_t* area = &areas[4 * desktop];
  return QRect(static_cast<int>(area[0]), static_cast<int>(area[1]), static_cast<int>(area[2]),
               static_cast<int>(area[3]));
}

// The window's screen in server pixels. Qt keeps a screen's corner where the
// server has it and divides only its size by the scale; a lone screen is the
// root window itself, whose size needs no conversion at all.
QRect ScreenAreaOf(QWidget* window, const QRect& root) {
  const QScreen* screen = window->screen();
  if (!screen || QGuiApplication::screens().size() == 1) return root;
  const QRect logical = screen->geometry();
  const qreal scale = screen->devicePixelRatio();
  return QRect(logical.topLeft(), QSize(qRound(logical.width() * scale), qRound(logical.height() * scale)));
}

// Where Qt believes the window stands, in its own pixels.
FramePlacement PlacementByQt(QWidget* window) {
  FramePlacement placement;
  placement.client = window->geometry();
  placement.frame = window->frameGeometry();
  const QScreen* screen = window->screen();
  placement.available = screen ? screen->availableGeometry() : placement.frame;
  if (window->minimumSize() == window->maximumSize()) placement.pinnedSize = window->minimumSize();
  return placement;
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
  if (!connection) return PlacementByQt(window);
  const Atoms& atoms = TheAtoms(connection);
  const auto client = static_cast<xcb_window_t>(window->winId());
  xcb_window_t frame = client;
  xcb_window_t root = XCB_WINDOW_NONE;
  for (;;) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr);
    if (!tree) return PlacementByQt(window);
    root = tree->root;
    const xcb_window_t parent = tree->parent;
    std::free(tree);
    if (parent == root || parent == XCB_WINDOW_NONE) break;
    frame = parent;
  }
  // The rest is asked for at once and then read: one round trip.
  const xcb_get_geometry_cookie_t frameCookie = xcb_get_geometry(connection, frame);
  const xcb_get_geometry_cookie_t clientCookie = xcb_get_geometry(connection, client);
  const xcb_get_geometry_cookie_t rootCookie = xcb_get_geometry(connection, root);
  const xcb_translate_coordinates_cookie_t originCookie = xcb_translate_coordinates(connection, client, root, 0, 0);
  // A manager announces itself on the root window, marks each window it has
  // taken in with WM_STATE, and says how far its frame reaches once it has
  // framed it. Until both are there and the frame is round the window, the
  // manager is still at work.
  PendingProperty supportingCheck(connection, root, atoms.supportingCheck, XCB_GET_PROPERTY_TYPE_ANY, 1);
  PendingProperty wmState(connection, client, atoms.wmState, XCB_GET_PROPERTY_TYPE_ANY, 1);
  PendingProperty frameExtents(connection, client, atoms.frameExtents, XCB_ATOM_CARDINAL, 4);
  PendingProperty netWmState(connection, client, atoms.netWmState, XCB_ATOM_ATOM, 32);
  PendingProperty normalHints(connection, client, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS,
                              kNormalHintsLength);
  constexpr std::uint32_t kDesktopsRead = 32;
  PendingProperty workAreas(connection, root, atoms.workArea, XCB_ATOM_CARDINAL, 4 * kDesktopsRead);
  PendingProperty currentDesktop(connection, root, atoms.currentDesktop, XCB_ATOM_CARDINAL, 1);

  xcb_get_geometry_reply_t* frameGeometry = xcb_get_geometry_reply(connection, frameCookie, nullptr);
  xcb_get_geometry_reply_t* clientGeometry = xcb_get_geometry_reply(connection, clientCookie, nullptr);
  xcb_get_geometry_reply_t* rootGeometry = xcb_get_geometry_reply(connection, rootCookie, nullptr);
  xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(connection, originCookie, nullptr);
  FramePlacement placement = PlacementByQt(window);
  if (frameGeometry && clientGeometry && origin) {
    placement.client = QRect(origin->dst_x, origin->dst_y, clientGeometry->width, clientGeometry->height);
    placement.frame = frame == client ? placement.client
                                      : QRect(frameGeometry->x, frameGeometry->y,
                                              frameGeometry->width + 2 * frameGeometry->border_width,
                                              frameGeometry->height + 2 * frameGeometry->border_width);
  }
  if (rootGeometry) {
    placement.available = ScreenAreaOf(window, QRect(0, 0, rootGeometry->width, rootGeometry->height));
    // The manager's panels, where it keeps some.
    const QRect workArea = WorkAreaIn(workAreas, currentDesktop);
    if (workArea.isValid() && workArea.intersects(placement.available)) placement.available &= workArea;
  }
  std::free(frameGeometry);
  std::free(clientGeometry);
  std::free(rootGeometry);
  std::free(origin);
  placement.pinnedSize = PinnedSizeIn(normalHints);
  if (atoms.netWmStateShaded != XCB_ATOM_NONE) {
    for (const std::uint32_t state : Cardinals(netWmState)) {
      if (state == atoms.netWmStateShaded) placement.shaded = true;
    }
  }
  if (supportingCheck.Exists()) {
    placement.settledByManager = wmState.Exists() && (frame != client || !HasNonZeroExtents(frameExtents)) &&
                                 frameExtents.Exists();
  }
  return placement;
}

QRect LogicalRectOf(QWidget* window, const QRect& device) {
  const QScreen* screen = window->screen();
  const qreal scale = screen ? screen->devicePixelRatio() : 1.0;
  if (scale == 1.0) return device;
  // Qt keeps each screen's corner where the server has it, and scales what
  // lies beyond it.
  const QPoint corner = screen->geometry().topLeft();
  const QPoint offset = device.topLeft() - corner;
  return QRect(corner + QPoint(qRound(offset.x() / scale), qRound(offset.y() / scale)),
               QSize(qRound(device.width() / scale), qRound(device.height() / scale)));
}

void PinGeometry(QWidget* window, const QRect& client) {
  xcb_connection_t* connection = X11Connection();
  if (!connection) {
    // Where there is no server to ask, Qt's own pixels are the window system's.
    window->setFixedSize(client.size());
    return;
  }
  // Qt writes these hints in its own pixels, rounded from the size it was
  // given; these are the server's, to the pixel.
  const auto width = static_cast<std::uint32_t>(client.width());
  const auto height = static_cast<std::uint32_t>(client.height());
  const std::uint32_t hints[kNormalHintsLength] = {
      kHintUserPosition | kHintUserSize | kHintMinSize | kHintMaxSize | kHintGravity,
      static_cast<std::uint32_t>(client.x()),
      static_cast<std::uint32_t>(client.y()),
      width,
      height,
      width,
      height,
      width,
      height,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      0,
      XCB_GRAVITY_STATIC,
  };
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()),
                      XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, kNormalHintsLength, hints);
  xcb_flush(connection);
}

void RequestGeometry(QWidget* window, const QRect& client) {
  xcb_connection_t* connection = X11Connection();
  if (!connection) {
    window->setGeometry(client);
    return;
  }
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

void RequestUnshade(QWidget* window) {
  xcb_connection_t* connection = X11Connection();
  if (!connection) return;
  const Atoms& atoms = TheAtoms(connection);
  if (atoms.netWmState == XCB_ATOM_NONE || atoms.netWmStateShaded == XCB_ATOM_NONE) return;
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
  if (!screen) return;
  // The request a client makes of the manager for its own window: remove (0)
  // the state, asked for by an application (1).
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window->winId());
  message.type = atoms.netWmState;
  message.data.data32[0] = 0;
  message.data.data32[1] = atoms.netWmStateShaded;
  message.data.data32[2] = 0;
  message.data.data32[3] = 1;
  xcb_send_event(connection, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(connection);
}

void MapAgain(QWidget* window) {
  xcb_connection_t* connection = X11Connection();
  if (!connection) return;
  xcb_map_window(connection, static_cast<xcb_window_t>(window->winId()));
  xcb_flush(connection);
}

namespace {

// Hears the server's word that a property of the window changed, before Qt
// handles it (and lets Qt handle it as ever).
class CManagerStateWatch : public QObject, public QAbstractNativeEventFilter {
 public:
  CManagerStateWatch(QWidget* window, xcb_atom_t property, std::function<void()> changed)
      : QObject(window),
        m_window(static_cast<xcb_window_t>(window->winId())),
        m_property(property),
        m_changed(std::move(changed)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~CManagerStateWatch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
  CManagerStateWatch(const CManagerStateWatch&) = delete;
  CManagerStateWatch& operator=(const CManagerStateWatch&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
    if (notify->window == m_window && notify->atom == m_property) m_changed();
    return false;
  }

 private:
  xcb_window_t m_window;
  xcb_atom_t m_property;
  std::function<void()> m_changed;
};

}  // namespace

void WatchManagerState(QWidget* window, std::function<void()> changed) {
  xcb_connection_t* connection = X11Connection();
  if (!connection || !window) return;
  const xcb_atom_t property = TheAtoms(connection).netWmState;
  if (property == XCB_ATOM_NONE) return;
  new CManagerStateWatch(window, property, std::move(changed));
}
