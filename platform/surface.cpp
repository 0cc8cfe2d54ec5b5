#include "platform/surface.h"

#include <cstring>

CSurface::~CSurface() {
  if (m_painter && m_painter->isActive()) m_painter->end();
}

void CSurface::Resize(int width, int height, qreal devicePixelRatio) {
  if (width == m_width && height == m_height && m_image.devicePixelRatio() == devicePixelRatio) return;
  const bool painting = m_painterUsers > 0;
  if (painting) m_painter->end();
  QImage next(QSize(qRound(width * devicePixelRatio), qRound(height * devicePixelRatio)), QImage::Format_RGB32);
  next.setDevicePixelRatio(devicePixelRatio);
  next.fill(Qt::white);
  if (!m_image.isNull()) {
    QPainter copy(&next);
    copy.setCompositionMode(QPainter::CompositionMode_Source);
    copy.drawImage(QPoint(0, 0), m_image);
  }
  m_image = next;
  m_width = width;
  m_height = height;
  if (painting) m_painter->begin(&m_image);
}

QPainter& CSurface::AcquirePainter() {
  if (!m_painter) m_painter = std::make_unique<QPainter>();
  if (m_painterUsers++ == 0) m_painter->begin(&m_image);
  return *m_painter;
}

void CSurface::ReleasePainter() {
  if (m_painterUsers > 0 && --m_painterUsers == 0) m_painter->end();
}

RECT CSurface::TakeDirtyRect() {
  const RECT dirty = m_dirty;
  m_dirty = RECT();
  return dirty;
}

bool CSurface::WritePixel(int x, int y, QRgb colour) {
  if (m_image.devicePixelRatio() != 1.0 || x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) {
    return false;
  }
  // constScanLine does not detach: the write lands in the very buffer the
  // active painter draws into, as the painter's own writes do.
  auto* line = reinterpret_cast<QRgb*>(const_cast<uchar*>(m_image.constScanLine(y)));
  line[x] = colour;
  return true;
}

bool CSurface::SaveRegion(const QRect& area) {
  if (m_image.devicePixelRatio() != 1.0 || !m_image.rect().contains(area)) return false;
  m_saved.resize(static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height()));
  QRgb* out = m_saved.data();
  for (int y = area.top(); y <= area.bottom(); ++y, out += area.width()) {
    std::memcpy(out, reinterpret_cast<const QRgb*>(m_image.constScanLine(y)) + area.left(),
                sizeof(QRgb) * static_cast<std::size_t>(area.width()));
  }
  return true;
}

bool CSurface::RegionUnchanged(const QRect& area) const {
  const QRgb* saved = m_saved.data();
  for (int y = area.top(); y <= area.bottom(); ++y, saved += area.width()) {
    if (std::memcmp(saved, reinterpret_cast<const QRgb*>(m_image.constScanLine(y)) + area.left(),
                    sizeof(QRgb) * static_cast<std::size_t>(area.width())) != 0) {
      return false;
    }
  }
  return true;
}
