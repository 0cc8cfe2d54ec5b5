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
constexpr int kPatienceMs = 1500;
// How often a frame that does not fill its area is looked at again.
constexpr int kRecheckMs = 100;
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
  connect(&m_recheck, &QTimer::timeout, this, [this] { ScheduleRefill(); });
  m_patience.setSingleShot(true);
  m_patience.setInterval(kPatienceMs);
  connect(&m_patience, &QTimer::timeout, this, [this] { GiveUpWaiting(); });
}

void CScreenFiller::PlaceBeforeShow() {
  m_frame->winId();  // the native window, for the hints and the screen
  OfferOnlyClose(m_frame);
  QWindow* window = m_frame->windowHandle();
  connect(window, &QWindow::screenChanged, this, [this](QScreen* screen) { Follow(screen); });
  Follow(window->screen());
  m_frame->installEventFilter(this);
  m_view->LeaveSizeToFrame();
  if (m_wayland) {
    // A Wayland client cannot place itself: the compositor gives a maximized
    // window the whole of its output but for its panels.
    m_frame->setWindowState(Qt::WindowMaximized);
  } else {
    const QRect target = TargetGeometry();
    m_frame->setGeometry(target);
    m_frame->setFixedSize(target.size());
  }
  m_patience.start();
}

void CScreenFiller::Follow(QScreen* screen) {
  disconnect(m_areaChanged);
  disconnect(m_sizeChanged);
  if (!screen) return;
  m_areaChanged = connect(screen, &QScreen::availableGeometryChanged, this, [this] { ScheduleRefill(); });
  m_sizeChanged = connect(screen, &QScreen::geometryChanged, this, [this] { ScheduleRefill(); });
  ScheduleRefill();
}

QRect CScreenFiller::TargetGeometry() const {
  const QScreen* screen = m_frame->screen();
  if (!screen) return m_frame->geometry();
  // The manager's decorations go around the frame's geometry; together they
  // cover the available area. (Before the manager has framed the window its
  // margins are none, and the frame is put back once they are known.)
  return screen->availableGeometry().marginsRemoved(PlacementOf(m_frame).Margins());
}

bool CScreenFiller::Fills() const {
  if (!m_frame->isVisible() || (m_frame->windowState() & Qt::WindowMinimized)) return false;
  if (m_wayland) return (m_frame->windowState() & Qt::WindowMaximized) != 0;
  const QScreen* screen = m_frame->screen();
  if (!screen) return false;
  // Filling by the server's word, and known to Qt as such: the view's size
  // is then the size the game is laid out for.
  const FramePlacement placement = PlacementOf(m_frame);
  return placement.frame == screen->availableGeometry() && placement.client == m_frame->geometry();
}

bool CScreenFiller::eventFilter(QObject* watched, QEvent* event) {
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
  // Several events arrive for one change of the manager's; they are answered
  // once, when the event loop is next free.
  if (!m_refill.isActive()) m_refill.start();
}

void CScreenFiller::Refill() {
  if (!m_frame->isVisible()) return;
  const Qt::WindowStates state = m_frame->windowState();
  if (m_wayland) {
    if (state != Qt::WindowMaximized) m_frame->setWindowState(Qt::WindowMaximized);
  } else {
    // Neither minimized, nor maximized or full screen by the manager's
    // measure: the frame's own geometry is what fills the area.
    if (state != Qt::WindowNoState) m_frame->setWindowState(Qt::WindowNoState);
    const QRect target = TargetGeometry();
    m_frame->setFixedSize(target.size());
    if (m_frame->geometry() != target) {
      m_frame->setGeometry(target);
    } else if (PlacementOf(m_frame).client != target) {
      RequestGeometryAgain(m_frame, target);
    }
  }
  const bool fills = Fills();
  if (fills) m_patience.stop();
  m_view->SetSizeSettled(fills || m_gaveUp);
  // The manager answers in its own time, and not always with an event that
  // reaches the frame: until the frame fills its area, it is looked at again.
  if (!fills) m_recheck.start();
}

void CScreenFiller::GiveUpWaiting() {
  // Only the first layout waits this long: once the game is on the screen, a
  // manager's changes never reach the game.
  if (!Fills()) {
    m_gaveUp = true;
    m_view->SetSizeSettled(true);
  }
}
