// Drawing objects and device contexts as the game uses them: pens, brushes,
// fonts and bitmaps held by the view, and device contexts for the screen (the
// view's surface), for memory (a blit source) and for the printer.
#pragma once

#include <memory>
#include <string>

#include "platform/afx.h"

// Qt's types stay behind these classes: the game's code that holds and uses
// them sees none of Qt.
class QFont;
class QImage;
class QPainter;
class QRect;
class QString;
class CSurface;

class CPen {
 public:
  CPen() = default;
  BOOL CreatePen(int style, int width, COLORREF colour);
  bool HoldsObject() const { return m_created; }
  COLORREF Colour() const { return m_colour; }
  int Width() const { return m_width; }

 private:
  bool m_created = false;
  COLORREF m_colour = 0;
  int m_width = 1;
};

class CBrush {
 public:
  CBrush() = default;
  BOOL CreateSolidBrush(COLORREF colour);
  bool HoldsObject() const { return m_created; }
  COLORREF Colour() const { return m_colour; }

 private:
  bool m_created = false;
  COLORREF m_colour = 0;
};

class CFont {
 public:
  // A line of text shaped and drawn once in this font: its width, and its
  // black pixels on a clear picture, placed at an offset from the line's top
  // left (glyphs may reach past the line's box).
  struct ShapedLine;

  CFont();
  ~CFont();
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;
  // height is the character cell height (ascent plus descent) in the units of
  // the device the font is used on; the face "Arial Bold" is answered by the
  // game's own bold sans face.
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, int italic,
                  int underline, int strikeOut, int charSet, int outPrecision, int clipPrecision,
                  int quality, int pitchAndFamily, const char* faceName);
  BOOL DeleteObject();
  bool HoldsObject() const { return m_face != nullptr; }
  const QFont& Font() const;
  int Height() const { return m_height; }

  // How many fonts hold an object right now, across the process.
  static int LiveCount();

  // The text shaped in this font for the screen. The panel draws the same few
  // labels and numbers again and again, so shaping is done once per text.
  const ShapedLine& Shaped(const QString& text) const;
  int ScreenAscent() const { return m_screenAscent; }
  int ScreenHeight() const { return m_screenHeight; }

 private:
  struct Face;  // the font itself and the lines shaped in it; null until created
  std::unique_ptr<Face> m_face;
  int m_screenAscent = 0;
  int m_screenHeight = 0;
  int m_height = 0;
};

class CBitmap {
 public:
  CBitmap();
  ~CBitmap();
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;
  // Loads bitmap resource id from the program's resources.
  BOOL LoadBitmap(UINT id);
  BOOL DeleteObject();
  bool HoldsObject() const;
  // The picture at one pixel to each of the game's.
  const QImage& Image() const;
  // The picture for a device of the given pixel ratio, one pixel to each of
  // the device's: the one made at that ratio, or else the next denser one made,
  // scaled down smoothly. Made once for each ratio asked for.
  const QImage& ImageFor(double devicePixelRatio) const;

 private:
  struct Pictures;  // null until a bitmap is loaded
  std::unique_ptr<Pictures> m_pictures;
};

class CDC {
 public:
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  bool HoldsDC() const { return m_kind != Kind::None; }

  // A memory device context: a bitmap selected into it is a blit source.
  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();

  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);

  int SetBkMode(int mode);

  void FillRect(const RECT* rect, CBrush* brush);
  // Outline in the selected pen on the rectangle's outermost pixels, inside
  // filled with the selected brush.
  BOOL Rectangle(const RECT* rect);
  CPoint MoveTo(int x, int y);
  // A line from the current position up to, not including, (x, y).
  BOOL LineTo(int x, int y);
  COLORREF SetPixel(int x, int y, COLORREF colour);
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop);
  int DrawText(const std::string& text, RECT* rect, UINT format);
  BOOL TextOut(int x, int y, const std::string& text);
  SIZE GetTextExtent(const std::string& text);

 protected:
  // A device context that draws on the surface; the surface collects what
  // changed for the host to present.
  void AttachSurface(CSurface* surface);
  // A device context that draws through a painter someone else owns (the printer).
  void AttachPainter(QPainter* painter);
  void Detach();

 private:
  enum class Kind { None, Surface, Painter, Memory };

  QPainter* Painter();
  void MarkDrawn(const RECT& rc);
  void ApplyFont(QPainter& painter);
  int DrawSingleLine(QPainter& painter, const QString& text, const QRect& box, UINT format);

  Kind m_kind = Kind::None;
  CSurface* m_surface = nullptr;
  QPainter* m_painter = nullptr;
  CPen* m_pen = nullptr;
  CBrush* m_brush = nullptr;
  CFont* m_font = nullptr;
  CBitmap* m_bitmap = nullptr;
  int m_bkMode = OPAQUE;
  CPoint m_position;
};

