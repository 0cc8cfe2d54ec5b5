// Device contexts: on the view's surface, on memory (a blit source) and on
// the printer's painter.
#include "platform/gdi.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdlib>
#include <utility>

#include "platform/game_font.h"
#include "platform/shaped_line.h"
#include "platform/surface.h"

namespace {

QColor ToQColor(COLORREF colour) { return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

// What a fresh device context has selected: a black pen, a white brush.
CPen& DefaultPen() {
  static CPen pen = [] {
    CPen p;
    p.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    return p;
  }();
  return pen;
}

CBrush& DefaultBrush() {
  static CBrush brush = [] {
    CBrush b;
    b.CreateSolidBrush(RGB(255, 255, 255));
    return b;
  }();
  return brush;
}

QRect ToQRect(const RECT& rc) { return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }

Qt::Alignment ToAlignment(UINT format) {
  Qt::Alignment align = Qt::AlignLeft;
  if (format & DT_CENTER) align = Qt::AlignHCenter;
  if (format & DT_RIGHT) align = Qt::AlignRight;
  // Vertical centring applies to a single line only; otherwise text starts at the top.
  if ((format & DT_SINGLELINE) && (format & DT_VCENTER)) return align | Qt::AlignVCenter;
  return align | Qt::AlignTop;
}

}  // namespace

CDC::CDC() = default;

CDC::~CDC() { Detach(); }

void CDC::AttachSurface(CSurface* surface) {
  Detach();
  m_kind = Kind::Surface;
  m_surface = surface;
  m_painter = &surface->AcquirePainter();
}

void CDC::AttachPainter(QPainter* painter) {
  Detach();
  m_kind = Kind::Painter;
  m_painter = painter;
}

void CDC::Detach() {
  if (m_kind == Kind::Surface && m_surface) m_surface->ReleasePainter();
  m_kind = Kind::None;
  m_surface = nullptr;
  m_painter = nullptr;
  m_bitmap = nullptr;
}

BOOL CDC::CreateCompatibleDC(CDC*) {
  if (HoldsDC()) return FALSE;
  m_kind = Kind::Memory;
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!HoldsDC()) return FALSE;
  Detach();
  return TRUE;
}

CPen* CDC::SelectObject(CPen* pen) { return std::exchange(m_pen, pen); }
CBrush* CDC::SelectObject(CBrush* brush) { return std::exchange(m_brush, brush); }
CFont* CDC::SelectObject(CFont* font) { return std::exchange(m_font, font); }
CBitmap* CDC::SelectObject(CBitmap* bitmap) { return std::exchange(m_bitmap, bitmap); }

int CDC::SetBkMode(int mode) { return std::exchange(m_bkMode, mode); }

QPainter* CDC::Painter() {
  if (m_kind != Kind::Surface && m_kind != Kind::Painter) return nullptr;
  m_painter->setClipping(false);
  return m_painter;
}

void CDC::MarkDrawn(const RECT& rc) {
  if (m_kind == Kind::Surface) m_surface->MarkDrawn(rc);
}

// A device context with no font selected draws and measures in the game's
// face at 16 pixels, the game font's size in the smallest client area. The
// game selects a font before every text; this keeps a call without one well
// defined and alike on the screen and on paper.
void CDC::ApplyFont(QPainter& painter) {
  painter.setFont(m_font && m_font->HoldsObject() ? m_font->Font() : GameFont(16));
  painter.setPen(Qt::black);  // the text colour is never changed from the default
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  QPainter* painter = Painter();
  if (!painter || rect->IsEmpty()) return;
  painter->fillRect(ToQRect(*rect), ToQColor((brush ? brush : &DefaultBrush())->Colour()));
  MarkDrawn(*rect);
}

BOOL CDC::Rectangle(const RECT* rect) {
  QPainter* painter = Painter();
  if (!painter || rect->IsEmpty()) return FALSE;
  const CPen& pen = m_pen ? *m_pen : DefaultPen();
  const CBrush& brush = m_brush ? *m_brush : DefaultBrush();
  const QRect all = ToQRect(*rect);
  const int w = pen.Width();
  // The outline is what the pen's fill leaves around the brush's fill.
  painter->fillRect(all, ToQColor(pen.Colour()));
  painter->fillRect(all.adjusted(w, w, -w, -w), ToQColor(brush.Colour()));
  MarkDrawn(*rect);
  return TRUE;
}

CPoint CDC::MoveTo(int x, int y) { return std::exchange(m_position, CPoint(x, y)); }

BOOL CDC::LineTo(int x, int y) {
  QPainter* painter = Painter();
  const CPoint from = m_position;
  m_position = CPoint(x, y);
  if (!painter) return FALSE;
  const QColor colour = ToQColor((m_pen ? *m_pen : DefaultPen()).Colour());
  const int dx = std::abs(x - from.x), dy = -std::abs(y - from.y);
  const int sx = from.x < x ? 1 : -1, sy = from.y < y ? 1 : -1;
  if (dy == 0 || dx == 0) {
    // Straight lines in one fill: every pixel from the start up to the end point.
    const int left = dx == 0 ? from.x : (sx > 0 ? from.x : x + 1);
    const int top = dy == 0 ? from.y : (sy > 0 ? from.y : y + 1);
    const int width = dx == 0 ? 1 : dx, height = dy == 0 ? 1 : -dy;
    if (dx == 0 && dy == 0) return TRUE;
    painter->fillRect(QRect(left, top, width, height), colour);
    MarkDrawn(MakeRect(left, top, left + width, top + height));
    return TRUE;
  }
  int err = dx + dy;
  int px = from.x, py = from.y;
  while (!(px == x && py == y)) {
    painter->fillRect(QRect(px, py, 1, 1), colour);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      px += sx;
    }
    if (e2 <= dx) {
      err += dx;
      py += sy;
    }
  }
  MarkDrawn(MakeRect(std::min(from.x, x), std::min(from.y, y), std::max(from.x, x) + 1, std::max(from.y, y) + 1));
  return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
  if (m_kind == Kind::Surface &&
      m_surface->WritePixel(x, y, qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour)))) {
    MarkDrawn(MakeRect(x, y, x + 1, y + 1));
    return colour;
  }
  QPainter* painter = Painter();
  if (!painter) return static_cast<COLORREF>(-1);
  painter->fillRect(QRect(x, y, 1, 1), ToQColor(colour));
  MarkDrawn(MakeRect(x, y, x + 1, y + 1));
  return colour;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD) {
  QPainter* painter = Painter();
  if (!painter || !source || !source->m_bitmap || !source->m_bitmap->HoldsObject()) return FALSE;
  // On a dense screen the picture made for its pixel ratio goes on pixel for
  // pixel; the rectangles stay in the game's pixels.
  const CBitmap& bitmap = *source->m_bitmap;
  const QImage& picture = bitmap.ImageFor(painter->device()->devicePixelRatio());
  const qreal scale = static_cast<qreal>(picture.width()) / bitmap.Image().width();
  painter->setCompositionMode(QPainter::CompositionMode_Source);
  painter->drawImage(QRectF(x, y, width, height), picture,
                     QRectF(xSource * scale, ySource * scale, width * scale, height * scale));
  painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  MarkDrawn(MakeRect(x, y, x + width, y + height));
  return TRUE;
}

// Text reaches these calls in the locale's encoding: the date in the title and
// the printed heading comes from strftime. The game's own texts are ASCII,
// the same in every encoding.
int CDC::DrawText(const std::string& text, RECT* rect, UINT format) {
  QPainter* painter = Painter();
  if (!painter) return 0;
  const QRect box = ToQRect(*rect);
  const QString qtext = QString::fromLocal8Bit(text.data(), static_cast<int>(text.size()));
  if (format & DT_SINGLELINE) return DrawSingleLine(*painter, qtext, box, format);
  ApplyFont(*painter);

  const int flags = static_cast<int>(ToAlignment(format)) | ((format & DT_WORDBREAK) ? Qt::TextWordWrap : 0);
  painter->setClipRect(box);
  QRect used = painter->boundingRect(box, flags, qtext);
  if (m_bkMode == OPAQUE) painter->fillRect(used, Qt::white);
  painter->drawText(box, flags, qtext);
  painter->setClipping(false);
  used = used.intersected(box);
  MarkDrawn(MakeRect(used.left(), used.top(), used.left() + used.width(), used.top() + used.height()));
  return used.height();
}

int CDC::DrawSingleLine(QPainter& painter, const QString& text, const QRect& box, UINT format) {
  // One line placed by its measured width: far cheaper than Qt's general text
  // layout, and the panel draws a dozen of these at every click. On the screen
  // the shaping and the metrics are kept with the font, its glyphs drawn once
  // at one device pixel to the pixel; a printer, and a dense screen, which
  // would show those glyphs enlarged, have their own.
  const bool screen = m_kind == Kind::Surface && m_font && m_font->HoldsObject() &&
                      painter.device()->devicePixelRatio() == 1.0;
  const CFont::ShapedLine* shaped = screen ? &m_font->Shaped(text) : nullptr;
  int width, height, ascent;
  if (screen) {
    width = shaped->width;
    height = m_font->ScreenHeight();
    ascent = m_font->ScreenAscent();
    painter.setPen(Qt::black);
  } else {
    ApplyFont(painter);
    const QFontMetrics metrics = painter.fontMetrics();
    width = metrics.horizontalAdvance(text);
    height = metrics.height();
    ascent = metrics.ascent();
  }
  int x = box.left();
  if (format & DT_CENTER) x = box.left() + (box.width() - width) / 2;
  if (format & DT_RIGHT) x = box.left() + box.width() - width;
  const int y = (format & DT_VCENTER) ? box.top() + (box.height() - height) / 2 : box.top();
  QRect used(x, y, width, height);
  const bool clip = !box.contains(used);
  if (clip) {
    painter.setClipRect(box);
    used = used.intersected(box);
  }
  if (m_bkMode == OPAQUE) painter.fillRect(used, Qt::white);
  if (shaped) {
    if (!shaped->picture.isNull()) painter.drawImage(QPoint(x, y) + shaped->offset, shaped->picture);
  } else {
    painter.drawText(QPoint(x, y + ascent), text);
  }
  if (clip) painter.setClipping(false);
  MarkDrawn(MakeRect(used.left(), used.top(), used.left() + used.width(), used.top() + used.height()));
  return height;
}

BOOL CDC::TextOut(int x, int y, const std::string& text) {
  QPainter* painter = Painter();
  if (!painter) return FALSE;
  ApplyFont(*painter);
  const QString qtext = QString::fromLocal8Bit(text.data(), static_cast<int>(text.size()));
  const QFontMetrics metrics(painter->font(), painter->device());
  const QRect used(x, y, metrics.horizontalAdvance(qtext), metrics.height());
  if (m_bkMode == OPAQUE) painter->fillRect(used, Qt::white);
  painter->drawText(QPoint(x, y + metrics.ascent()), qtext);
  MarkDrawn(MakeRect(used.left(), used.top(), used.left() + used.width(), used.top() + used.height()));
  return TRUE;
}

SIZE CDC::GetTextExtent(const std::string& text) {
  const QFont font = m_font && m_font->HoldsObject() ? m_font->Font() : GameFont(16);
  QPaintDevice* device = m_painter ? m_painter->device() : nullptr;
  const QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
  SIZE size;
  size.cx = metrics.horizontalAdvance(QString::fromLocal8Bit(text.data(), static_cast<int>(text.size())));
  size.cy = metrics.height();
  return size;
}
