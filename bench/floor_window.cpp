// The floor the game is measured against: what any Qt program pays for a
// window that fills the screen and paints grey. With --tick it also redraws a
// box of the clock box's size every 50 ms, as the game's clock does.
#include <QApplication>
#include <QBasicTimer>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {

class FloorWindow : public QWidget {
 public:
  explicit FloorWindow(bool tick) {
    if (tick) m_timer.start(50, Qt::PreciseTimer, this);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(128, 128, 128));
    if (event->rect().intersects(kBox)) {
      painter.fillRect(kBox, QColor(128, 128, 128));
      painter.setPen(Qt::blue);
      painter.drawRect(kBox.adjusted(0, 0, -1, -1));
      painter.setPen(Qt::black);
      painter.drawText(kBox, Qt::AlignCenter, QString::number(++m_ticks % 100));
    }
  }
  void timerEvent(QTimerEvent*) override { update(kBox); }

 private:
  static constexpr QRect kBox{100, 2, 56, 18};  // the clock box at a 16-pixel font
  QBasicTimer m_timer;
  int m_ticks = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const bool tick = application.arguments().contains(QStringLiteral("--tick"));
  FloorWindow window(tick);
  window.setWindowTitle(QStringLiteral("Floor"));
  if (QScreen* screen = QGuiApplication::primaryScreen()) window.setGeometry(screen->availableGeometry());
  window.setWindowState(Qt::WindowMaximized);
  window.show();
  return QApplication::exec();
}
