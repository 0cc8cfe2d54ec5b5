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

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

BOOL CBitmap::LoadBitmap(UINT id) {
  QImage image = LoadBitmapResource(id);
  if (image.isNull()) return FALSE;
  m_image = std::make_unique<QImage>(std::move(image));
  return TRUE;
}

BOOL CBitmap::DeleteObject() {
  if (!m_image) return FALSE;
  m_image.reset();
  return TRUE;
}

bool CBitmap::HoldsObject() const { return m_image != nullptr; }

const QImage& CBitmap::Image() const {
  static const QImage none;
  return m_image ? *m_image : none;
}
