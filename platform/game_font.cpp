#include "platform/game_font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QResource>
#include <QString>
#include <QStringList>
#include <cmath>

namespace {

QString RegisteredFamily() {
  static const QString family = [] {
    // Registered straight from the executable's resources, without a copy.
    const QResource resource(QStringLiteral(":/font/game.ttf"));
    const int id = resource.isValid() ? QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
                                            reinterpret_cast<const char*>(resource.data()),
                                            static_cast<qsizetype>(resource.size())))
                                      : -1;
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    return families.isEmpty() ? QStringLiteral("Liberation Sans") : families.first();
  }();
  return family;
}

// Cell height of the face per pixel of em size, measured once.
qreal CellPerPixel() {
  static const qreal ratio = [] {
    QFont probe(RegisteredFamily());
    probe.setBold(true);
    probe.setPixelSize(1000);
    const QFontMetricsF metrics(probe);
    return (metrics.ascent() + metrics.descent()) / 1000.0;
  }();
  return ratio;
}

}  // namespace

QFont GameFont(int cellHeight) {
  QFont font(RegisteredFamily());
  font.setBold(true);
  // Plain pixels, as the game expects: labels are drawn again and again on the
  // same ground without erasing, and smoothed edges would darken each time.
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  const int pixels = static_cast<int>(std::lround(cellHeight / CellPerPixel()));
  font.setPixelSize(pixels > 0 ? pixels : 1);
  return font;
}
