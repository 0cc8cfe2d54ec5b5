#include "platform/resources.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QString>
#include <QList>
#include <cstring>

namespace {

QString ResourcePath(UINT id, const char* type) {
  return QStringLiteral(":/%1/%2").arg(QString::fromLatin1(type).toLower()).arg(id);
}

std::uint32_t ReadU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t ReadS32(const unsigned char* p) { return static_cast<std::int32_t>(ReadU32(p)); }

std::uint16_t ReadU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

QByteArray ReadResource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray();
  return file.readAll();
}

}  // namespace

QByteArray FindResourceBytes(UINT id, const char* type) { return ReadResource(ResourcePath(id, type)); }

QImage DecodeDib(const QByteArray& dib) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(dib.constData());
  const qsizetype size = dib.size();
  if (size < 40 || ReadU32(bytes) != 40) return QImage();
  const std::int32_t width = ReadS32(bytes + 4);
  const std::int32_t height = ReadS32(bytes + 8);
  const std::uint16_t bitCount = ReadU16(bytes + 14);
  const std::uint32_t compression = ReadU32(bytes + 16);
  std::uint32_t colours = ReadU32(bytes + 32);
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || bitCount != 8 || compression != 0) {
    return QImage();
  }
  if (colours == 0) colours = 256;
  if (colours > 256) return QImage();
  const qsizetype stride = ((static_cast<qsizetype>(width) + 3) / 4) * 4;
  const qsizetype pixelsAt = 40 + 4 * static_cast<qsizetype>(colours);
  if (size < pixelsAt + stride * height) return QImage();
  // Kept as palette indices, a quarter of the memory of full colour: the
  // painter converts a block's 160 by 160 pixels as it blits them.
  QList<QRgb> table(static_cast<qsizetype>(colours));
  for (std::uint32_t i = 0; i < colours; ++i) {
    const unsigned char* entry = bytes + 40 + 4 * i;  // blue, green, red, reserved
    table[static_cast<qsizetype>(i)] = qRgb(entry[2], entry[1], entry[0]);
  }
  QImage image(width, height, QImage::Format_Indexed8);
  image.setColorTable(table);
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = bytes + pixelsAt + stride * (height - 1 - y);  // rows are stored bottom-up
    std::memcpy(image.scanLine(y), row, static_cast<std::size_t>(width));
  }
  return image;
}

QImage LoadBitmapResource(UINT id, int scale) {
  QString path = ResourcePath(id, "bitmap");
  if (scale != 1) path += QStringLiteral("@%1x").arg(scale);
  return DecodeDib(ReadResource(path));
}

QIcon LoadIconResource(UINT id) {
  QIcon icon;
  // The icon group's own images, then, for the game's icon, the same drawing
  // at the larger sizes a desktop or a dense screen asks for.
  for (const char* type : {"icon", "largeicon"}) {
    QByteArray bytes = FindResourceBytes(id, type);
    if (bytes.isNull()) continue;
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "ico");
    for (int i = 0; i < reader.imageCount(); ++i) {
      if (!reader.jumpToImage(i)) break;
      const QImage image = reader.read();
      if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
  }
  return icon;
}
