#include "app/focus_keeper.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "platform/keyboard_focus.h"

namespace {
// Long enough for a manager that gives the keyboard itself to have done so.
constexpr int kLookAfterMs = 100;
}  // namespace

CFocusKeeper::CFocusKeeper(QWidget* frame) : QObject(frame), m_frame(frame) {
  m_look.setSingleShot(true);
  m_look.setInterval(kLookAfterMs);
  connect(&m_look, &QTimer::timeout, this, [this] { TakeKeyboardIfNobodyHasIt(); });
  // A box of the game's that closes leaves the keyboard with nobody: it is
  // taken back at once, before the player's next key, and looked at again
  // once a manager has had its say.
  connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
    if (window) return;
    QTimer::singleShot(0, this, [this] { TakeKeyboardIfNobodyHasIt(); });
    m_look.start();
  });
  qApp->installEventFilter(this);
}

bool CFocusKeeper::eventFilter(QObject* watched, QEvent* event) {
  // A window of the game shown on the screen: the main window at its start or
  // back from a minimize, or a box.
  if (event->type() == QEvent::Expose && watched->isWindowType() && static_cast<QWindow*>(watched)->isExposed()) {
    m_look.start();
  }
  return QObject::eventFilter(watched, event);
}

void CFocusKeeper::TakeKeyboardIfNobodyHasIt() {
  QWidget* target = QApplication::activeModalWidget();
  if (!target) target = m_frame;
  QWindow* window = target->windowHandle();
  if (!window || !window->isExposed() || (window->windowStates() & Qt::WindowMinimized)) return;
  if (QGuiApplication::focusWindow() == window) return;
  if (CurrentKeyboardHolder() == KeyboardHolder::kAnotherProgram) return;
  target->activateWindow();
}
