#include "app/screen_filler.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/view_window.h"
#include "platform/window_functions.h"

namespace {
// How long the frame may take to settle before the game is laid out anyway.
constexpr int kPatienceMs = 3000;
// How often a frame that has not settled is looked at again.
constexpr int kRecheckMs = 100;
// How long a frame must have filled its area, unmoved, to count as settled.
constexpr int kSteadyMs = 150;
// How long a mapped frame may wait for its first exposure before it is mapped
// again, and again: a manager that is still starting can drop the request.
constexpr int kMapAgainMs = 1500;
}  // namespace

CScreenFiller::CScreenFiller(QWidget* frame, CViewWindow* view)
    : QObject(frame),
      m_frame(frame),
      m_view(view),
      m_wayland(QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
  m_refill.setSingleShot(true);
  m_refill.setInterval(0);
  connect(&m_refill, &QTimer::timeout, this, [this] { Refill(); });
  m_recheck.setSingleShot(true);
  m_recheck.setInterval(kRecheckMs);
  connect(&m_recheck, &QTimer::timeout, this, [this] { Refill(); });
  m_patience.setSingleShot(true);
  m_patience.setInterval(kPatienceMs);
  connect(&m_patience, &QTimer::timeout, this, [this] { GiveUpWaiting(); });
  m_mapAgain.setInterval(kMapAgainMs);
  connect(&m_mapAgain, &QTimer::timeout, this, [this] {
    if (m_exposed) {
      m_mapAgain.stop();
    } else {
      MapAgain(m_frame);
    }
  });
}

void CScreenFiller::PlaceBeforeShow() {
  m_frame->winId();  // the native window, for the hints and the screen
  OfferOnlyClose(m_frame);
  QWindow* window = m_frame->windowHandle();
  connect(window, &QWindow::screenChanged, this, [this](QScreen* screen) { Follow(screen); });
  // A state set on the window itself (by Qt's own title bar on Wayland)
  // reaches the window, not the frame's events.
  connect(window, &QWindow::windowStateChanged, this, [this] { ScheduleRefill(); });
  Follow(window->screen());
  m_frame->installEventFilter(this);
  window->installEventFilter(this);
  // A manager rolls the frame up into its caption (the wheel on the caption,
  // a roll-up button) by a state that Qt does not pass on.
  WatchManagerState(m_frame, [this] { ScheduleRefill(); });
  m_view->LeaveSizeToFrame();
  if (m_wayland) {
    // A Wayland client cannot place itself: the compositor gives a maximized
    // window the whole of its output but for its panels.
    m_frame->setWindowState(Qt::WindowMaximized);
  } else {
    // The size is pinned from the start, so that no manager maps the window
    // at a size of its own; but not to the whole screen, which mutter takes
    // for a window that asks for the full screen and shows without its
    // caption. The frame is put right once the manager has framed it. (Qt
    // places a window that it has not yet shown in its own pixels.)
    const QRect target = LogicalRectOf(m_frame, TargetGeometry(PlacementOf(m_frame))).adjusted(0, 0, 0, -1);
    m_frame->setGeometry(target);
    m_frame->setFixedSize(target.size());
    m_mapAgain.start();
  }
  m_patience.start();
}

void CScreenFiller::Follow(QScreen* screen) {
  disconnect(m_areaChanged);
  disconnect(m_sizeChanged);
  if (!screen) return;
  m_areaChanged = connect(screen, &QScreen::availableGeometryChanged, this, [this] { ScheduleRefill(); });
  m_sizeChanged = connect(screen, &QScreen::geometryChanged, this, [this] {
    m_fullSize = QSize();  // a new output size: the compositor's maximized size is to be learnt again
    ScheduleRefill();
  });
  ScheduleRefill();
}

QRect CScreenFiller::TargetGeometry(const FramePlacement& placement) {
  // The manager's decorations go around the frame's geometry; together they
  // cover the available area. (Before the manager has framed the window its
  // margins are none, and the frame is put back once they are known.)
  return placement.available.marginsRemoved(placement.Margins());
}

bool CScreenFiller::QtHasSize(const QSize& device) const {
  // Qt's size of the frame, in its own pixels, is the server's divided by the
  // scale and rounded: within one of Qt's pixels of it.
  const qreal scale = m_frame->devicePixelRatioF();
  return qAbs(m_frame->width() * scale - device.width()) < scale &&
         qAbs(m_frame->height() * scale - device.height()) < scale;
}

bool CScreenFiller::Fills() const {
  // Shown, and exposed by Qt's measure: what the game presents before it
  // holds its thread reaches the screen only on an exposed window (a manager
  // that frames the window anew maps it anew).
  const QWindow* window = m_frame->windowHandle();
  if (!window || !m_frame->isVisible() || !window->isExposed() || (window->windowStates() & Qt::WindowMinimized)) {
    return false;
  }
  if (m_wayland) {
    // Qt takes a requested state as granted at once; the compositor's word is
    // the window's first exposure (it comes with the compositor's first size)
    // and the size it gave a maximized window, which every later return to
    // maximized must give again.
    return (window->windowStates() & Qt::WindowMaximized) &&
           (!m_fullSize.isValid() || m_frame->size() == m_fullSize);
  }
  // Filling by the server's word, in the server's pixels, and known to Qt as
  // such: the view's size is then the size the game is laid out for.
  const FramePlacement placement = PlacementOf(m_frame);
  return placement.settledByManager && !placement.shaded && placement.frame == placement.available &&
         placement.client == TargetGeometry(placement) && QtHasSize(placement.client.size());
}

bool CScreenFiller::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Expose && !m_exposed && watched == m_frame->windowHandle() &&
      m_frame->windowHandle()->isExposed()) {
    // Qt draws and presents the first frame while it handles this event;
    // the frame's place is looked at right after it.
    m_exposed = true;
    ScheduleRefill();
  }
  if (watched == m_frame) {
    switch (event->type()) {
      case QEvent::Show:
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowStateChange:
        ScheduleRefill();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

void CScreenFiller::ScheduleRefill() {
  // Until the frame is first exposed the manager is still taking it in, and
  // asking the server where the frame stands would wait behind the manager's
  // work, holding back the first frame for nothing. Such a request is
  // answered by the exposure, or by the next look if none comes.
  if (!m_exposed) {
    if (!m_recheck.isActive()) m_recheck.start();
    return;
  }
  // Several events arrive for one change of the manager's; they are answered
  // once, when the event loop is next free.
  if (!m_refill.isActive()) m_refill.start();
}

void CScreenFiller::Refill() {
  if (!m_frame->isVisible()) return;
  const Qt::WindowStates state = m_frame->windowHandle()->windowStates();
  if (m_wayland) {
    // A window shown anew is left alone until the compositor has exposed it.
    if (state != Qt::WindowMaximized && m_frame->windowHandle()->isExposed()) {
      // Qt's title bar restores or minimizes the window. A minimized Wayland
      // window is the compositor's to bring back (without a task bar, none
      // may), and Qt does not always hear of it: the window is shown anew
      // instead, a new top-level for the compositor, maximized from its first
      // frame. The game's picture stays as it was.
      m_frame->hide();
      m_frame->setWindowState(Qt::WindowMaximized);
      m_frame->show();
    }
  } else {
    // Neither minimized, nor maximized or full screen by the manager's
    // measure: the frame's own geometry is what fills the area.
    if (state != Qt::WindowNoState) m_frame->setWindowState(Qt::WindowNoState);
    // Nor rolled up into its caption.
    const FramePlacement placement = PlacementOf(m_frame);
    if (placement.shaded) RequestUnshade(m_frame);
    // Asked of the server in its own pixels, and only what differs from what
    // stands: a frame in place is left alone.
    const QRect target = TargetGeometry(placement);
    if (placement.settledByManager && placement.pinnedSize != target.size()) PinGeometry(m_frame, target);
    if (placement.client != target) RequestGeometry(m_frame, target);
  }
  // A manager frames a new window in steps, and may even take it out of its
  // frame and put it back (mutter does): the frame counts as settled once it
  // has filled its area, at the same geometry, for a moment.
  const bool fills = Fills();
  if (!fills) {
    m_fillingSince.invalidate();
  } else if (!m_fillingSince.isValid() || m_frame->geometry() != m_fillingGeometry) {
    m_fillingSince.start();
    m_fillingGeometry = m_frame->geometry();
  }
  const bool settled = fills && m_fillingSince.elapsed() >= kSteadyMs;
  if (settled) {
    m_patience.stop();
    if (m_wayland && !m_fullSize.isValid()) m_fullSize = m_frame->size();
  }
  m_view->SetSizeSettled(settled || m_gaveUp);
  // The manager answers in its own time, and not always with an event that
  // reaches the frame: until the frame has settled, it is looked at again.
  if (!settled) m_recheck.start();
}

void CScreenFiller::GiveUpWaiting() {
  // Only the first layout waits this long: once the game is on the screen, a
  // manager's changes never reach the game.
  if (!Fills()) {
    m_gaveUp = true;
    m_view->SetSizeSettled(true);
  }
}
