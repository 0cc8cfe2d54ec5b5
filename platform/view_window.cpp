#include "platform/view_window.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

#include "game/layout.h"
#include "platform/afx.h"
#include "platform/resources.h"
#include "platform/sound_output.h"
#include "platform/view_base.h"

namespace {

QMessageBox::Icon IconFor(UINT style) {
  switch (style & MB_ICONMASK) {
    case MB_ICONHAND:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// Qt gives the pointer's device pixel divided by its scale; multiplied back it
// may fall a hair short of that pixel.
constexpr qreal kPointerSlack = 1e-6;

// How long a pause holds the thread between two looks at what the window
// should send to the screen again.
constexpr std::chrono::milliseconds kHoldingStep(10);

// The virtual-key code of a key, as far as the game tells keys apart.
UINT VirtualKey(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(qtKey - Qt::Key_F1);
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<UINT>(qtKey);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<UINT>(qtKey);
  return 0;
}

// The window's device pixels that hold `logical`, a rectangle of Qt's pixels:
// whole device pixels, so that the surface goes on pixel for pixel.
QRect DeviceRectOf(const QRect& logical, qreal qtRatio) {
  const QPoint topLeft(static_cast<int>(std::floor(logical.left() * qtRatio)),
                       static_cast<int>(std::floor(logical.top() * qtRatio)));
  const QPoint pastEnd(static_cast<int>(std::ceil((logical.right() + 1) * qtRatio)),
                       static_cast<int>(std::ceil((logical.bottom() + 1) * qtRatio)));
  return QRect(topLeft, pastEnd - QPoint(1, 1));
}

}  // namespace

GamePixels GamePixelsFor(const QSize& logicalSize, qreal qtRatio) {
  using quadrilex::kMinClientHeight;
  using quadrilex::kMinClientWidth;
  if (logicalSize.width() >= kMinClientWidth && logicalSize.height() >= kMinClientHeight) {
    return GamePixels{qtRatio, logicalSize};
  }
  const QSize device(qRound(logicalSize.width() * qtRatio), qRound(logicalSize.height() * qtRatio));
  const qreal fitting = std::min(static_cast<qreal>(device.width()) / kMinClientWidth,
                                 static_cast<qreal>(device.height()) / kMinClientHeight);
  const qreal ratio = std::max<qreal>(1.0, std::min(qtRatio, fitting));
  // A ratio that just fits leaves the game exactly its minimum, not a pixel
  // less by a rounding error.
  constexpr qreal kRoundingSlack = 1e-6;
  return GamePixels{ratio, QSize(static_cast<int>(std::floor(device.width() / ratio + kRoundingSlack)),
                                 static_cast<int>(std::floor(device.height() / ratio + kRoundingSlack)))};
}

CViewWindow::CViewWindow(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
}

CViewWindow::~CViewWindow() = default;

void CViewWindow::SetBackground(COLORREF colour) {
  m_surface.SetBackground(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
}

RECT CViewWindow::ClientRect() const { return MakeRect(0, 0, m_surface.Width(), m_surface.Height()); }

void CViewWindow::Present(Presenting when) {
  const bool now = when == Presenting::kBeforeHolding;
  const RECT dirty = m_surface.TakeDirtyRect();
  if (!dirty.IsEmpty()) {
    const QRect area = WindowAreaOf(dirty);
    m_unpresented += area;
    if (!now) update(area);
  }
  if (now && !m_unpresented.isEmpty()) {
    // The game is about to hold its thread: everything drawn and not yet on
    // the screen is painted and handed to the display server now. repaint()
    // does that without running the event loop, so no click or timer is
    // handled while the game holds the thread.
    repaint(m_unpresented);
  }
}

void CViewWindow::SetMainWindowTitle(const std::string& title) {
  window()->setWindowTitle(QString::fromLocal8Bit(title.c_str()));
}

bool CViewWindow::StartTimer(UINT id, UINT milliseconds) {
  // Started again under the same id, a timer restarts with the new interval.
  QBasicTimer& timer = m_timers[id];
  timer.start(static_cast<int>(milliseconds), Qt::PreciseTimer, this);
  return timer.isActive();
}

void CViewWindow::StopTimer(UINT id) {
  const auto found = m_timers.find(id);
  if (found != m_timers.end()) found->second.stop();
}

int CViewWindow::ShowMessageBox(const std::string& text, const std::string& caption, UINT style) {
  QMessageBox box(IconFor(style), QString::fromLatin1(caption.c_str()), QString::fromLatin1(text.c_str()),
                  QMessageBox::Ok, window());
  box.exec();
  return IDOK;
}

std::time_t CViewWindow::CurrentTime() { return std::time(nullptr); }

void CViewWindow::SeedRandom() {
  std::srand(m_seed ? *m_seed : static_cast<unsigned>(std::time(nullptr)));
}

int CViewWindow::NextRandom() { return std::rand(); }

void CViewWindow::SetSoundOutput(CSoundOutput* output) {
  m_sound = output;
  if (m_sound) m_sound->SetWhileWaiting([this] { m_resend.WhileHolding(); });
}

bool CViewWindow::PlaySound(UINT id, Playing how) {
  if (!m_sound) return false;
  const QByteArray wave = FindResourceBytes(id, kSoundResourceType);
  if (wave.isNull()) return false;
  const bool toItsEnd = how == Playing::kToItsEnd;
  if (toItsEnd) Present(Presenting::kBeforeHolding);
  return m_sound->Play(wave, toItsEnd);
}

void CViewWindow::Pause(int milliseconds) {
  using Clock = std::chrono::steady_clock;
  Present(Presenting::kBeforeHolding);
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (auto now = Clock::now(); now < end; now = Clock::now()) {
    std::this_thread::sleep_for(std::min<Clock::duration>(end - now, kHoldingStep));
    m_resend.WhileHolding();
  }
}

void CViewWindow::ExitProcess(int status) {
  // Straight out, as the game's aborts mean it: nothing else runs once the
  // player has closed the message, and no teardown can turn the status into
  // another one.
  std::fflush(nullptr);
  std::_Exit(status);
}

void CViewWindow::RequestGamePaint() {
  if (m_paintPending) return;
  m_paintPending = true;
  PostGamePaint();
}

void CViewWindow::PostGamePaint() {
  if (m_exposed && m_shownAtSize && m_sizeSettled) QTimer::singleShot(0, this, [this] { RunGamePaint(); });
}

void CViewWindow::LeaveSizeToFrame() {
  m_sizeLeftToFrame = true;
  m_sizeSettled = false;
}

void CViewWindow::SetSizeSettled(bool settled) {
  const bool wasSettled = m_sizeSettled;
  m_sizeSettled = settled;
  if (!settled) return;
  AdoptWindowSize();
  if (!wasSettled && m_paintPending) PostGamePaint();
}

void CViewWindow::AdoptWindowSize() {
  const GamePixels game = GamePixelsFor(size(), devicePixelRatioF());
  if (m_surface.Width() == game.size.width() && m_surface.Height() == game.size.height() &&
      m_surface.DevicePixelRatio() == game.ratio) {
    return;
  }
  m_surface.Resize(game.size.width(), game.size.height(), game.ratio);
  RequestGamePaint();
}

QRect CViewWindow::WindowAreaOf(const RECT& game) const {
  const QRect area(game.left, game.top, game.Width(), game.Height());
  const qreal gameRatio = m_surface.DevicePixelRatio();
  const qreal qtRatio = devicePixelRatioF();
  if (gameRatio == qtRatio) return area;
  // Through the device pixels the game's pixels cover, to Qt's pixels that
  // cover those.
  const QRectF device(area.x() * gameRatio, area.y() * gameRatio, area.width() * gameRatio,
                      area.height() * gameRatio);
  const QPoint topLeft(static_cast<int>(std::floor(device.left() / qtRatio)),
                       static_cast<int>(std::floor(device.top() / qtRatio)));
  const QPoint pastEnd(static_cast<int>(std::ceil(device.right() / qtRatio)),
                       static_cast<int>(std::ceil(device.bottom() / qtRatio)));
  return QRect(topLeft, pastEnd - QPoint(1, 1));
}

void CViewWindow::RunGamePaint() {
  // A paint under way (held in a message box) leaves the request pending; it
  // is posted again once, when that paint ends, rather than on every pass of
  // the box's event loop.
  if (!m_paintPending || !m_sizeSettled || m_paintDepth > 0) return;
  m_paintPending = false;
  if (!m_view) return;
  ++m_paintDepth;
  m_view->Paint();
  --m_paintDepth;
  if (m_afterPaint) m_afterPaint();
  if (m_paintPending && m_paintDepth == 0) PostGamePaint();
}

void CViewWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // The surface holds the window's device pixels, whatever scale the game
  // drew at, and goes on the window pixel for pixel.
  const qreal qtRatio = devicePixelRatioF();
  const QImage& image = m_surface.Image();
  for (const QRect& r : event->region()) {
    const QRect device = DeviceRectOf(r, qtRatio);
    const QRect shown = device & image.rect();
    // Where the window is larger than the surface (for a moment, while a
    // window manager has its way), it shows the ground.
    if (shown != device) painter.fillRect(r, m_surface.Background());
    if (!shown.isEmpty()) {
      painter.drawImage(QRectF(shown.x() / qtRatio, shown.y() / qtRatio, shown.width() / qtRatio,
                               shown.height() / qtRatio),
                        image, QRectF(shown));
    }
  }
  m_unpresented -= event->region();
  m_resend.Painted(event->region());
  if (!m_exposed) {
    m_exposed = true;
    if (m_afterFirstShown) QTimer::singleShot(0, this, std::exchange(m_afterFirstShown, nullptr));
  }
  if (!m_shownAtSize) {
    // A paint of the game waits until the window is on the screen at its
    // size, so that what it shows before holding the thread is seen: a
    // compositing manager (mutter) keeps showing a window's old picture after
    // a resize until the window has drawn itself at the new size.
    m_shownAtSize = true;
    if (m_paintPending) PostGamePaint();
  }
}

void CViewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_shownAtSize = false;
  if (!m_sizeLeftToFrame) AdoptWindowSize();
}

void CViewWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_view) return;
  // From Qt's pixels to the device pixel under the pointer, and to the game
  // pixel that holds it.
  const QPointF device = event->position() * devicePixelRatioF();
  const qreal gameRatio = m_surface.DevicePixelRatio();
  m_view->OnLButtonDown(0, CPoint(static_cast<int>(std::floor(device.x() / gameRatio + kPointerSlack)),
                                  static_cast<int>(std::floor(device.y() / gameRatio + kPointerSlack))));
}

void CViewWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like any other.
  mousePressEvent(event);
}

void CViewWindow::keyPressEvent(QKeyEvent* event) {
  if (!m_view) return;
  m_view->OnKeyDown(VirtualKey(event->key()), static_cast<UINT>(event->isAutoRepeat() ? 2 : 1), 0);
}

void CViewWindow::timerEvent(QTimerEvent* event) {
  if (!m_view) return;
  for (const auto& [id, timer] : m_timers) {
    if (timer.isActive() && timer.timerId() == event->timerId()) {
      m_view->OnTimer(id);
      return;
    }
  }
  QWidget::timerEvent(event);
}
