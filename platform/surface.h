// The picture of the view's client area that the game draws on. Qt's own paint
// events only copy it to the window, so what the game drew stays on screen
// until the game draws again.
#pragma once

#include <QImage>
#include <QPainter>
#include <memory>

#include "game/win_types.h"

class CSurface {
 public:
  // Three bytes a pixel hold every colour the game draws, in three quarters of
  // the memory of four.
  static constexpr QImage::Format kFormat = QImage::Format_RGB888;

  CSurface() = default;
  CSurface(const CSurface&) = delete;
  CSurface& operator=(const CSurface&) = delete;
  ~CSurface();

  // The colour new areas of the surface start with.
  void SetBackground(QColor colour) { m_background = colour; }

  // Makes the surface width by height game pixels at the given device pixel
  // ratio, keeping what was drawn at its place.
  void Resize(int width, int height, qreal devicePixelRatio = 1.0);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // The pixels, by reference. A QImage copied from it shares them until one
  // side writes (Qt's implicit sharing); the painter and WritePixel both give
  // the surface pixels of its own before they write, so a copy keeps what it
  // showed when it was taken.
  const QImage& Image() const { return m_image; }

  QColor Background() const { return m_background; }
  qreal DevicePixelRatio() const { return m_image.devicePixelRatio(); }

  // Every device context on the surface draws through one shared painter: Qt
  // allows one painter per paint device, while the game keeps a paint DC and
  // client DCs open together. The painter ends when its last user releases it.
  QPainter& AcquirePainter();
  void ReleasePainter();

  // Sets one game pixel straight in the image, past the painter: a lost block
  // dissolves in 204800 of these, too many for the painter's per-call cost.
  // False when the pixel is off the surface or the image is scaled (then the
  // caller draws it with the painter).
  bool WritePixel(int x, int y, QRgb colour);

  // What has been drawn since it was last presented.
  void MarkDrawn(const RECT& rc) { m_dirty = UnionRect(m_dirty, rc); }
  RECT TakeDirtyRect();

 private:
  RECT m_dirty;
  QColor m_background = Qt::white;
  QImage m_image;
  std::unique_ptr<QPainter> m_painter;
  int m_painterUsers = 0;
  int m_width = 0;
  int m_height = 0;
};
