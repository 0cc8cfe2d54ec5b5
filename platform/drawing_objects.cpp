// Pens, brushes, fonts and bitmaps: what the view creates once and selects
// into its device contexts.
#include "platform/gdi.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextLayout>
#include <cmath>
#include <map>
#include <utility>

#include "platform/game_font.h"
#include "platform/resources.h"
#include "platform/shaped_line.h"

BOOL CPen::CreatePen(int /*style*/, int width, COLORREF colour) {
  m_created = true;
  m_width = width < 1 ? 1 : width;
  m_colour = colour;
  return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
  m_created = true;
  m_colour = colour;
  return TRUE;
}

namespace {
int g_liveFonts = 0;
}  // namespace

struct CFont::Face {
  QFont font;
  QHash<QString, ShapedLine> shaped;
};

CFont::CFont() = default;

BOOL CFont::CreateFont(int height, int, int, int, int, int, int, int, int, int, int, int, int, const char*) {
  if (m_face) return FALSE;  // as with the original call, a font must be deleted first
  m_face = std::make_unique<Face>();
  m_face->font = GameFont(height);
  m_height = height;
  const QFontMetrics metrics(m_face->font);
  m_screenAscent = metrics.ascent();
  m_screenHeight = metrics.height();
  ++g_liveFonts;
  return TRUE;
}

BOOL CFont::DeleteObject() {
  if (!m_face) return FALSE;
  m_face.reset();
  --g_liveFonts;
  return TRUE;
}

CFont::~CFont() { DeleteObject(); }

int CFont::LiveCount() { return g_liveFonts; }

const QFont& CFont::Font() const {
  static const QFont none;
  return m_face ? m_face->font : none;
}

// Only a font that holds an object is asked for its shaped lines.
const CFont::ShapedLine& CFont::Shaped(const QString& text) const {
  QHash<QString, ShapedLine>& shapedLines = m_face->shaped;
  const auto found = shapedLines.constFind(text);
  if (found != shapedLines.constEnd()) return *found;
  // Labels, scores and the clock's texts: a few hundred in a whole set at the
  // most, and every paint makes the font anew. The bound only keeps a game
  // that is never repainted from holding more.
  constexpr qsizetype kMostShaped = 512;
  if (shapedLines.size() >= kMostShaped) shapedLines.clear();
  QTextLayout layout(text, m_face->font);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  ShapedLine shaped;
  shaped.width = line.isValid() ? qRound(line.horizontalAdvance()) : 0;
  // The glyphs are drawn once into a clear picture; every later draw of the
  // text is a copy of its black pixels. The game's text is not smoothed, so
  // the copy gives exactly the pixels the glyphs would.
  const QList<QGlyphRun> runs = layout.glyphRuns();
  QRectF bounds;
  for (const QGlyphRun& run : runs) bounds |= run.boundingRect();
  const QRect area = bounds.toAlignedRect();
  if (!area.isEmpty()) {
    shaped.offset = area.topLeft();
    shaped.picture = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    shaped.picture.fill(Qt::transparent);
    QPainter painter(&shaped.picture);
    painter.setPen(Qt::black);
    for (const QGlyphRun& run : runs) painter.drawGlyphRun(QPointF(-area.left(), -area.top()), run);
  }
  return *shapedLines.insert(text, shaped);
}

struct CBitmap::Pictures {
  UINT id = 0;
  QImage base;
  // By the picture's width on the device: the base's width times the ratio.
  std::map<int, QImage> forDevices;
};

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

BOOL CBitmap::LoadBitmap(UINT id) {
  QImage image = LoadBitmapResource(id);
  if (image.isNull()) return FALSE;
  m_pictures = std::make_unique<Pictures>();
  m_pictures->id = id;
  m_pictures->base = std::move(image);
  return TRUE;
}

BOOL CBitmap::DeleteObject() {
  if (!m_pictures) return FALSE;
  m_pictures.reset();
  return TRUE;
}

bool CBitmap::HoldsObject() const { return m_pictures != nullptr; }

const QImage& CBitmap::Image() const {
  static const QImage none;
  return m_pictures ? m_pictures->base : none;
}

const QImage& CBitmap::ImageFor(double devicePixelRatio) const {
  if (!m_pictures || devicePixelRatio <= 1.0) return Image();
  const QImage& base = m_pictures->base;
  const int width = qRound(base.width() * devicePixelRatio);
  const auto known = m_pictures->forDevices.find(width);
  if (known != m_pictures->forDevices.end()) return known->second;
  // The densest picture made at or below the next whole ratio up; the ratios
  // the pictures are made at are found by asking for them.
  QImage picture;
  for (int scale = static_cast<int>(std::ceil(devicePixelRatio - 1e-6)); scale > 1 && picture.isNull(); --scale) {
    picture = LoadBitmapResource(m_pictures->id, scale);
  }
  if (picture.isNull()) picture = base;
  if (picture.width() != width) {
    picture = picture.convertToFormat(QImage::Format_RGB32)
                  .scaled(width, qRound(base.height() * devicePixelRatio), Qt::IgnoreAspectRatio,
                          Qt::SmoothTransformation);
  }
  return m_pictures->forDevices.emplace(width, std::move(picture)).first->second;
}
