// The picture of the view's client area that the game draws on. Qt's own paint
// events only copy it to the window, so what the game drew stays on screen
// until the game draws again.
#pragma once

#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "game/win_types.h"

class CSurface {
 public:
  // Three bytes a pixel hold every colour the game draws, in three quarters of
  // the memory of four.
  static constexpr QImage::Format kFormat = QImage::Format_RGB888;
  static constexpr std::size_t kBytesPerPixel = 3;

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
  const QImage& Image() const {
    FillIfBlank();
    return m_image;
  }

  // True while nothing has been drawn since the surface was made: every
  // pixel is the background colour, though none has been written yet. The
  // window's first frame shows it without the surface's memory being touched.
  bool Blank() const { return m_blank; }
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

  // Keeps the pixels of area aside, to tell afterwards whether a drawing
  // changed any of them. False when that cannot be told (a scaled image).
  bool SaveRegion(const QRect& area);
  bool RegionUnchanged(const QRect& area) const;

  // What has been drawn since it was last presented.
  void MarkDrawn(const RECT& rc) { m_dirty = UnionRect(m_dirty, rc); }
  // True when all of area will be presented anyway.
  bool IsDirty(const QRect& area) const {
    return !m_dirty.IsEmpty() && area.left() >= m_dirty.left && area.top() >= m_dirty.top &&
           area.left() + area.width() <= m_dirty.right && area.top() + area.height() <= m_dirty.bottom;
  }
  RECT TakeDirtyRect();

 private:
  // Writes the background into a blank surface's pixels, before anything
  // reads them or draws on them.
  void FillIfBlank() const;

  RECT m_dirty;
  std::vector<uchar> m_saved;
  QColor m_background = Qt::white;
  mutable QImage m_image;
  mutable bool m_blank = false;
  std::unique_ptr<QPainter> m_painter;
  int m_painterUsers = 0;
  int m_width = 0;
  int m_height = 0;
};
