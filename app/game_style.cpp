#include "app/game_style.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyleFactory>

namespace {

// Two chevrons pointing right, the usual mark for "more items".
QIcon DrawOverflowArrows(const QColor& colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QPen(colour, 1.5));
  painter.setRenderHint(QPainter::Antialiasing);
  for (int left : {3, 8}) {
    painter.drawPolyline(QPolygonF({QPointF(left, 4.5), QPointF(left + 3.5, 8), QPointF(left, 11.5)}));
  }
  return QIcon(pixmap);
}

}  // namespace

CGameStyle::CGameStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

QIcon CGameStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                               const QWidget* widget) const {
  // The menu bar asks for this icon when it is built, before the window is
  // first drawn. The base style would read it from a PNG file, and the first
  // image read makes Qt load every image-format plugin it has: work the first
  // frame does not need, for a button that shows only when the menu bar is
  // too narrow for its menus.
  if (standardIcon == SP_ToolBarHorizontalExtensionButton) {
    return DrawOverflowArrows(standardPalette().color(QPalette::WindowText));
  }
  return QProxyStyle::standardIcon(standardIcon, option, widget);
}
