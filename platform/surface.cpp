#include "platform/surface.h"

CSurface::~CSurface() {
  if (m_painter && m_painter->isActive()) m_painter->end();
}

void CSurface::Resize(int width, int height, qreal devicePixelRatio) {
  if (width == m_width && height == m_height && m_image.devicePixelRatio() == devicePixelRatio) return;
  const bool painting = m_painterUsers > 0;
  if (painting) m_painter->end();
  QImage next(QSize(qRound(width * devicePixelRatio), qRound(height * devicePixelRatio)), kFormat);
  next.setDevicePixelRatio(devicePixelRatio);
  next.fill(m_background);
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
  static_assert(kFormat == QImage::Format_RGB888, "a pixel is written as red, green, blue bytes");
  if (m_image.devicePixelRatio() != 1.0 || x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) {
    return false;
  }
  // A copy of the image taken from Image() shares its pixels (one taken while
  // a painter draws does not: Qt copies those at once). The surface takes
  // pixels of its own before the write, so that no copy changes under its
  // holder.
  if (!m_image.isDetached()) m_image.detach();
  // constScanLine does not detach: the write lands in the very buffer the
  // active painter draws into, as the painter's own writes do.
  uchar* pixel = const_cast<uchar*>(m_image.constScanLine(y)) + 3 * x;
  pixel[0] = static_cast<uchar>(qRed(colour));
  pixel[1] = static_cast<uchar>(qGreen(colour));
  pixel[2] = static_cast<uchar>(qBlue(colour));
  return true;
}
