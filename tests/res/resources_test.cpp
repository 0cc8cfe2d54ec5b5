// The resources as the game finds them inside the executable: the 24
// arrangement pictures, the six sounds and the icons, and the desktop icons the
// generator writes beside them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/moves.h"
#include "platform/resources.h"
#include "res/icons.h"
#include "res/png.h"
#include "res/sounds.h"

namespace {

std::uint32_t Le32(const QByteArray& b, qsizetype at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const QByteArray& b, qsizetype at) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + at;
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// ---------------------------------------------------------------- sounds

struct SoundCase {
  UINT id;
  int channels;
  int bits;
  std::uint32_t dataBytes;
  std::vector<std::string> chunksAfterFormat;
  std::uint32_t formatChunkSize;
  qsizetype fileSize;
  double seconds;
};

const SoundCase kSounds[] = {
    {154, 1, 8, 93541, {"fact", "data"}, 18, 93600, 4.24},
    {155, 1, 16, 57316, {"fact", "data", "DISP", "DISP", "LIST"}, 16, 59412, 1.30},
    {156, 1, 8, 27565, {"fact", "data", "LIST", "DISP"}, 16, 29546, 1.25},
    {157, 1, 8, 27565, {"fact", "data", "LIST", "DISP"}, 16, 29532, 1.25},
    {158, 2, 16, 110048, {"fact", "data", "LIST", "DISP"}, 16, 112006, 1.25},
    {159, 1, 8, 8820, {"fact", "data"}, 18, 8878, 0.40},
};

struct Chunk {
  std::string id;
  qsizetype at;  // of the payload
  std::uint32_t size;
};

// Walks the chunks of a RIFF form from offset 12, checking that each starts on
// an even offset and that the last one ends exactly at the end of the file.
std::vector<Chunk> WalkChunks(const QByteArray& riff, qsizetype from, qsizetype end) {
  std::vector<Chunk> chunks;
  qsizetype at = from;
  while (at + 8 <= end) {
    EXPECT_EQ(at % 2, 0) << "chunk at an odd offset " << at;
    Chunk c{riff.mid(at, 4).toStdString(), at + 8, Le32(riff, at + 4)};
    chunks.push_back(c);
    at += 8 + c.size;
    if (c.size % 2 == 1) {
      EXPECT_LT(at, end) << c.id << " has an odd size and no pad byte";
      if (at < end) {
        EXPECT_EQ(riff[at], '\0') << "pad byte after " << c.id;
      }
      ++at;
    }
  }
  EXPECT_EQ(at, end) << "chunks do not end with the form";
  return chunks;
}

// Sample values of the data chunk as fractions of full scale; clipped counts
// the samples that sit at either end of the range.
std::vector<double> Samples(const QByteArray& data, int bits, int& clipped) {
  std::vector<double> out;
  clipped = 0;
  if (bits == 8) {
    for (char ch : data) {
      const int v = static_cast<unsigned char>(ch);
      clipped += v == 0 || v == 255;
      out.push_back((v - 128) / 128.0);
    }
  } else {
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
      const int v = static_cast<std::int16_t>(Le16(data, i));
      clipped += v == -32768 || v == 32767;
      out.push_back(v / 32768.0);
    }
  }
  return out;
}

double Peak(const std::vector<double>& s, std::size_t from, std::size_t to) {
  double most = 0;
  for (std::size_t i = from; i < to && i < s.size(); ++i) most = std::max(most, std::fabs(s[i]));
  return most;
}

class SoundResource : public ::testing::TestWithParam<SoundCase> {};

TEST_P(SoundResource, IsACompleteWaveFileWithTheListedChunks) {
  const SoundCase& sc = GetParam();
  const QByteArray wave = FindResourceBytes(sc.id, "sound");
  ASSERT_EQ(wave.size(), sc.fileSize);
  EXPECT_EQ(FindResourceBytes(sc.id, "SOUND"), wave) << "the type is found whatever its case";
  EXPECT_EQ(wave.left(4), "RIFF");
  EXPECT_EQ(Le32(wave, 4), static_cast<std::uint32_t>(sc.fileSize - 8));
  EXPECT_EQ(wave.mid(8, 4), "WAVE");

  const std::vector<Chunk> chunks = WalkChunks(wave, 12, wave.size());
  std::vector<std::string> ids;
  for (const Chunk& c : chunks) ids.push_back(c.id);
  std::vector<std::string> expectedIds = {"fmt "};
  expectedIds.insert(expectedIds.end(), sc.chunksAfterFormat.begin(), sc.chunksAfterFormat.end());
  ASSERT_EQ(ids, expectedIds);

  const Chunk& fmt = chunks[0];
  const int blockAlign = sc.channels * sc.bits / 8;
  EXPECT_EQ(fmt.size, sc.formatChunkSize);
  EXPECT_EQ(Le16(wave, fmt.at), 1);  // PCM
  EXPECT_EQ(Le16(wave, fmt.at + 2), sc.channels);
  EXPECT_EQ(Le32(wave, fmt.at + 4), 22050u);
  EXPECT_EQ(Le32(wave, fmt.at + 8), 22050u * blockAlign);
  EXPECT_EQ(Le16(wave, fmt.at + 12), blockAlign);
  EXPECT_EQ(Le16(wave, fmt.at + 14), sc.bits);
  if (sc.formatChunkSize == 18) {
    EXPECT_EQ(Le16(wave, fmt.at + 16), 0) << "cbSize";
  }

  ASSERT_EQ(chunks[1].size, 4u);
  EXPECT_EQ(Le32(wave, chunks[1].at), sc.dataBytes / blockAlign) << "fact holds the frame count";
  EXPECT_EQ(chunks[2].size, sc.dataBytes);

  for (std::size_t i = 3; i < chunks.size(); ++i) {
    const Chunk& c = chunks[i];
    if (c.id == "DISP") {
      EXPECT_EQ(Le32(wave, c.at), 1u) << "CF_TEXT";
      const QByteArray text = wave.mid(c.at + 4, c.size - 4);
      EXPECT_TRUE(text.endsWith('\0'));
      EXPECT_GT(qstrlen(text.constData()), 2u) << "a description, not an empty text";
    } else {
      EXPECT_EQ(wave.mid(c.at, 4), "INFO");
      const std::vector<Chunk> items = WalkChunks(wave, c.at + 4, c.at + c.size);
      bool named = false;
      for (const Chunk& item : items) {
        if (item.id == "INAM") named = qstrlen(wave.constData() + item.at) > 2;
        EXPECT_EQ(wave[item.at + item.size - 1], '\0') << item.id << " is NUL-terminated";
      }
      EXPECT_TRUE(named) << "the list names the sound";
    }
  }
}

TEST_P(SoundResource, SoundsCleanNoClippingAndSilentAtBothEnds) {
  const SoundCase& sc = GetParam();
  const QByteArray wave = FindResourceBytes(sc.id, "sound");
  ASSERT_EQ(wave.size(), sc.fileSize);
  const std::vector<Chunk> chunks = WalkChunks(wave, 12, wave.size());
  ASSERT_GE(chunks.size(), 3u);
  int clipped = 0;
  const std::vector<double> s = Samples(wave.mid(chunks[2].at, chunks[2].size), sc.bits, clipped);
  EXPECT_EQ(clipped, 0);
  EXPECT_LT(Peak(s, 0, s.size()), 0.95);
  EXPECT_GT(Peak(s, 0, s.size()), 0.5) << "loud enough to be heard";
  double energy = 0;
  for (double v : s) energy += v * v;
  EXPECT_GT(std::sqrt(energy / s.size()), 0.03) << "more than a click";

  const std::size_t perMs = 22050 / 1000 * sc.channels;
  EXPECT_LT(Peak(s, 0, perMs / 2), 0.05) << "the first half millisecond";
  EXPECT_LT(Peak(s, s.size() - 10 * perMs, s.size()), 0.02) << "the last ten milliseconds";
  EXPECT_LT(Peak(s, s.size() - sc.channels, s.size()), 0.01) << "the last sample";
}

TEST_P(SoundResource, SdlDecodesItInItsOwnFormat) {
  const SoundCase& sc = GetParam();
  const QByteArray wave = FindResourceBytes(sc.id, "sound");
  SDL_AudioSpec waveFormat{};
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  ASSERT_NE(SDL_LoadWAV_RW(SDL_RWFromConstMem(wave.constData(), static_cast<int>(wave.size())), 1, &waveFormat, &buffer,
                           &length),
            nullptr)
      << SDL_GetError();
  EXPECT_EQ(waveFormat.freq, 22050);
  EXPECT_EQ(waveFormat.channels, sc.channels);
  EXPECT_EQ(waveFormat.format, sc.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB);
  EXPECT_EQ(length, sc.dataBytes);
  EXPECT_NEAR(length / (sc.channels * sc.bits / 8) / 22050.0, sc.seconds, 0.005);
  SDL_FreeWAV(buffer);
}

TEST_P(SoundResource, IsWhatTheGeneratorMakesNow) {
  const std::vector<std::uint8_t> made = quadrilex::res::SoundFile(static_cast<int>(GetParam().id));
  EXPECT_EQ(FindResourceBytes(GetParam().id, "sound"),
            QByteArray(reinterpret_cast<const char*>(made.data()), static_cast<qsizetype>(made.size())))
      << "the compiled sound is stale";
}

std::string SoundName(const ::testing::TestParamInfo<SoundCase>& param) { return std::to_string(param.param.id); }
INSTANTIATE_TEST_SUITE_P(AllSix, SoundResource, ::testing::ValuesIn(kSounds), SoundName);

TEST(SoundResources, TheBoxingBellIsTrueStereo) {
  const QByteArray wave = FindResourceBytes(158, "sound");
  const std::vector<Chunk> chunks = WalkChunks(wave, 12, wave.size());
  ASSERT_GE(chunks.size(), 3u);
  int clipped = 0;
  const std::vector<double> s = Samples(wave.mid(chunks[2].at, chunks[2].size), 16, clipped);
  double difference = 0;
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) difference = std::max(difference, std::fabs(s[i] - s[i + 1]));
  EXPECT_GT(difference, 0.05) << "the two channels differ";
}

TEST(SoundResources, MissingIdsAreNotFound) {
  EXPECT_TRUE(FindResourceBytes(153, "sound").isNull());
  EXPECT_TRUE(FindResourceBytes(160, "sound").isNull());
}

// ---------------------------------------------------------------- icons

const QSet<QRgb> kSixteenColours = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0), qRgb(0, 0, 128),   qRgb(128, 0, 128),
    qRgb(0, 128, 128),   qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

const QRgb kYellow = qRgb(255, 255, 0), kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0),
           kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255);

// The images of an icon file by their side, read with Qt's icon reader.
std::map<int, QImage> ReadIcon(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  std::map<int, QImage> images;
  const int count = reader.imageCount();
  for (int i = 0; i < count; ++i) {
    if (!reader.jumpToImage(i)) break;
    const QImage image = reader.read();
    if (!image.isNull()) images[image.width()] = image.convertToFormat(QImage::Format_ARGB32);
  }
  return images;
}

// The pixel under a point given as fractions of the side.
QRgb At(const QImage& image, double fx, double fy) {
  return image.pixel(static_cast<int>(fx * image.width()), static_cast<int>(fy * image.height()));
}

bool Transparent(QRgb c) { return qAlpha(c) == 0; }

// Opaque and within a small step of the colour on each channel.
bool Near(QRgb c, QRgb colour) {
  return qAlpha(c) == 255 && std::abs(qRed(c) - qRed(colour)) <= 48 && std::abs(qGreen(c) - qGreen(colour)) <= 48 &&
         std::abs(qBlue(c) - qBlue(colour)) <= 48;
}
QRgb Opaque(QRgb c) { return qAlpha(c) == 255 ? qRgb(qRed(c), qGreen(c), qBlue(c)) : 0x12345678; }

class IconResource : public ::testing::TestWithParam<UINT> {};

TEST_P(IconResource, HoldsA32AndA16ImageInSixteenColours) {
  const QByteArray bytes = FindResourceBytes(GetParam(), "icon");
  ASSERT_GE(bytes.size(), 6 + 2 * 16);
  EXPECT_EQ(Le16(bytes, 0), 0);
  EXPECT_EQ(Le16(bytes, 2), 1) << "an icon, not a cursor";
  ASSERT_EQ(Le16(bytes, 4), 2);
  for (int i = 0; i < 2; ++i) {
    const qsizetype entry = 6 + 16 * i;
    EXPECT_EQ(static_cast<unsigned char>(bytes[entry + 2]), 16) << "colours";
    EXPECT_EQ(Le16(bytes, entry + 6), 4) << "bits per pixel";
    const std::uint32_t size = Le32(bytes, entry + 8), offset = Le32(bytes, entry + 12);
    EXPECT_LE(offset + size, static_cast<std::uint32_t>(bytes.size()));
    EXPECT_EQ(Le32(bytes, offset), 40u) << "a bitmap header";
    EXPECT_EQ(Le16(bytes, offset + 14), 4);
  }

  const std::map<int, QImage> images = ReadIcon(bytes);
  ASSERT_EQ(images.size(), 2u);
  for (const auto& [side, image] : images) {
    ASSERT_TRUE(side == 32 || side == 16) << side;
    EXPECT_EQ(image.height(), side);
    QSet<QRgb> colours;
    int transparent = 0;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const QRgb c = image.pixel(x, y);
        if (Transparent(c)) {
          ++transparent;
        } else {
          EXPECT_EQ(qAlpha(c), 255) << "pixel " << x << "," << y;
          colours.insert(qRgb(qRed(c), qGreen(c), qBlue(c)));
        }
      }
    }
    for (QRgb c : colours) EXPECT_TRUE(kSixteenColours.contains(c)) << std::hex << c;
    EXPECT_GE(colours.size(), 3);
    EXPECT_GT(transparent, 0);
    for (const auto& [fx, fy] : {std::pair{0.0, 0.0}, {0.99, 0.0}, {0.0, 0.99}, {0.99, 0.99}})
      EXPECT_TRUE(Transparent(At(image, fx, fy))) << side << " corner " << fx << "," << fy;
  }
}

std::string IconName(const ::testing::TestParamInfo<UINT>& param) { return std::to_string(param.param); }
INSTANTIATE_TEST_SUITE_P(AllIcons, IconResource, ::testing::Values(128u, 129u, 154u, 155u, 156u, 157u), IconName);

TEST(IconResources, TheGameIconIsACrossInATriangleInAYellowDisc) {
  for (const auto& [side, image] : ReadIcon(FindResourceBytes(128, "icon"))) {
    SCOPED_TRACE(side);
    EXPECT_EQ(Opaque(At(image, 0.5, 0.5)), kGreen) << "the cross in the middle";
    EXPECT_EQ(Opaque(At(image, 0.30, 0.64)), kRed) << "the triangle beside the cross";
    EXPECT_EQ(Opaque(At(image, 0.5, 0.85)), kYellow) << "the disc below the triangle";
    EXPECT_EQ(Opaque(At(image, 0.25, 0.3)), kYellow) << "the disc beside the triangle's apex";
  }
}

// A desktop asks for the window's icon at up to 128 pixels, and the About box
// for it at twice its 32 on a dense screen: each size is drawn, in the icon's
// sixteen colours, not the 32 by 32 image enlarged.
TEST(IconResources, TheGameIconIsDrawnAtEveryLargerSizeTheDesktopAsksFor) {
  const std::map<int, QImage> small = ReadIcon(FindResourceBytes(128, "icon"));
  const std::map<int, QImage> large = ReadIcon(FindResourceBytes(128, "largeicon"));
  std::vector<int> sides;
  for (const auto& [side, image] : large) sides.push_back(side);
  EXPECT_EQ(sides, (std::vector<int>{48, 64, 96, 128}));
  for (const auto& [side, image] : large) {
    SCOPED_TRACE(side);
    EXPECT_EQ(Opaque(At(image, 0.5, 0.5)), kGreen) << "the cross in the middle";
    EXPECT_EQ(Opaque(At(image, 0.30, 0.64)), kRed) << "the triangle beside the cross";
    EXPECT_EQ(Opaque(At(image, 0.5, 0.85)), kYellow) << "the disc below the triangle";
    EXPECT_TRUE(Transparent(At(image, 0.02, 0.02)));
    const QImage enlarged = small.at(32).scaled(side, side);
    int differing = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) differing += image.pixel(x, y) != enlarged.pixel(x, y) ? 1 : 0;
    EXPECT_GT(differing, side) << "drawn at its size, not enlarged";
  }
  const QIcon icon = LoadIconResource(kAppIconId);
  const QImage aboutAtTwice = icon.pixmap(QSize(32, 32), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(aboutAtTwice, large.at(64));
  EXPECT_EQ(icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32), small.at(32));
}

TEST(IconResources, TheDocumentIconIsAWhitePageWithARedLabel) {
  for (const auto& [side, image] : ReadIcon(FindResourceBytes(129, "icon"))) {
    SCOPED_TRACE(side);
    EXPECT_EQ(Opaque(At(image, 0.5, 0.53)), kRed) << "the label";
    EXPECT_EQ(Opaque(At(image, 0.3, 0.72)), kWhite) << "the page below the label";
    EXPECT_EQ(Opaque(At(image, 0.3, 0.4)), kWhite) << "the page above the label";
    EXPECT_TRUE(Transparent(At(image, 0.05, 0.5))) << "beside the page";
  }
}

TEST(IconResources, TheFourOtherIconsAreOneBlueDiscWithTheThreeShapes) {
  const QByteArray first = FindResourceBytes(154, "icon");
  for (UINT id : {155u, 156u, 157u}) EXPECT_EQ(FindResourceBytes(id, "icon"), first) << id;
  for (const auto& [side, image] : ReadIcon(first)) {
    SCOPED_TRACE(side);
    EXPECT_EQ(Opaque(At(image, 0.5, 0.88)), kBlue) << "the disc";
    EXPECT_EQ(Opaque(At(image, 0.345, 0.36)), kYellow) << "the square";
    EXPECT_EQ(Opaque(At(image, 0.66, 0.42)), kRed) << "the triangle";
    EXPECT_EQ(Opaque(At(image, 0.5, 0.69)), kGreen) << "the cross";
  }
}

TEST(IconResources, IconsAndSoundsWithTheSameNumbersStayApart) {
  for (UINT id = 154; id <= 157; ++id) {
    const QByteArray icon = FindResourceBytes(id, "icon"), sound = FindResourceBytes(id, "sound");
    EXPECT_EQ(icon.left(4), QByteArray("\0\0\1\0", 4)) << id;
    EXPECT_EQ(sound.left(4), "RIFF") << id;
    EXPECT_EQ(ReadIcon(icon).size(), 2u) << id;
  }
  EXPECT_TRUE(FindResourceBytes(158, "icon").isNull());
  EXPECT_TRUE(FindResourceBytes(128, "sound").isNull());
}

// ---------------------------------------------------------------- desktop icons

class HicolorIcon : public ::testing::TestWithParam<int> {};

TEST_P(HicolorIcon, IsTheGameIconDrawnAtItsOwnSizeWithSmoothEdges) {
  const int side = GetParam();
  const QString path = QStringLiteral(QUADRILEX_TEST_HICOLOR_DIR "/%1.png").arg(side);
  QImage image(path, "PNG");
  ASSERT_FALSE(image.isNull()) << path.toStdString();
  ASSERT_EQ(image.size(), QSize(side, side));
  EXPECT_TRUE(image.hasAlphaChannel());
  image = image.convertToFormat(QImage::Format_ARGB32);

  // Small sizes blend the cross's thin outline into its middle.
  EXPECT_TRUE(Near(At(image, 0.5, 0.5), kGreen)) << std::hex << At(image, 0.5, 0.5);
  EXPECT_TRUE(Near(At(image, 0.5, 0.85), kYellow)) << std::hex << At(image, 0.5, 0.85);
  EXPECT_TRUE(Transparent(image.pixel(0, 0)));
  EXPECT_TRUE(Transparent(image.pixel(side - 1, side - 1)));

  // Along the middle row the rim of the disc goes from clear to solid within
  // two pixels: drawn sharp at this size, not an enlarged small image.
  const int row = side / 2;
  int firstSeen = -1, firstSolid = -1;
  for (int x = 0; x < side && firstSolid < 0; ++x) {
    const int alpha = qAlpha(image.pixel(x, row));
    if (alpha > 0 && firstSeen < 0) firstSeen = x;
    if (alpha == 255) firstSolid = x;
  }
  ASSERT_GE(firstSeen, 0);
  EXPECT_LE(firstSolid - firstSeen, 2);
  // Smoothed edges: partly transparent pixels round the disc, and blended
  // colours between the shapes.
  int partial = 0;
  QSet<QRgb> colours;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const QRgb c = image.pixel(x, y);
      partial += qAlpha(c) > 0 && qAlpha(c) < 255;
      colours.insert(c);
    }
  EXPECT_GT(partial, side / 2);
  EXPECT_GT(colours.size(), 16);

  const std::vector<std::uint8_t> made = quadrilex::res::EncodePng(quadrilex::res::DrawAppIcon(side));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray(reinterpret_cast<const char*>(made.data()), static_cast<qsizetype>(made.size())))
      << "the installed icon is stale";
}

INSTANTIATE_TEST_SUITE_P(AllSizes, HicolorIcon, ::testing::ValuesIn(quadrilex::res::kHicolorSizes));

TEST(HicolorIcons, AreNotCompiledIntoTheExecutable) {
  EXPECT_FALSE(QFile::exists(QStringLiteral(":/hicolor/16.png")));
  EXPECT_FALSE(QFile::exists(QStringLiteral(":/hicolor/256.png")));
}

// ---------------------------------------------------------------- arrangement pictures

QRgb ShapeColour(char letter) {
  switch (letter) {
    case 'c': return kBlue;
    case 'x': return kGreen;
    case 's': return kYellow;
    default: return kRed;
  }
}

// Every pixel of the rectangle is black or the given colour, with plenty of both.
void ExpectArrowOnBlack(const QImage& image, QRect box, QRgb colour, const char* name) {
  int black = 0, drawn = 0, other = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) {
      const QRgb c = image.pixel(x, y) | 0xFF000000;
      black += c == qRgb(0, 0, 0);
      drawn += c == colour;
      other += c != qRgb(0, 0, 0) && c != colour;
    }
  const int area = box.width() * box.height();
  EXPECT_EQ(other, 0) << name;
  EXPECT_GT(drawn, area / 8) << name;
  EXPECT_GT(black, area / 8) << name;
}

TEST(ArrangementPictures, EachShowsItsCodeWithTheArrowsOnBlack) {
  const QRgb magenta = qRgb(255, 0, 255), grey = qRgb(128, 128, 128);
  const QPoint centres[4] = {{40, 40}, {120, 40}, {120, 120}, {40, 120}};  // positions 1 to 4
  for (int i = 0; i < quadrilex::kArrangementCount; ++i) {
    const UINT id = static_cast<UINT>(quadrilex::kFirstArrangementBitmap + i);
    const char* code = quadrilex::kArrangementCode[i];
    SCOPED_TRACE(std::to_string(id) + " " + code);
    const QByteArray dib = FindResourceBytes(id, "bitmap");
    ASSERT_EQ(dib.size(), 26664);
    EXPECT_EQ(Le32(dib, 0), 40u);
    EXPECT_EQ(static_cast<std::int32_t>(Le32(dib, 4)), 160);
    EXPECT_EQ(static_cast<std::int32_t>(Le32(dib, 8)), 160) << "positive: rows bottom-up";
    EXPECT_EQ(Le16(dib, 12), 1);
    EXPECT_EQ(Le16(dib, 14), 8);
    EXPECT_EQ(Le32(dib, 16), 0u) << "no compression";
    const std::uint32_t colours = Le32(dib, 32);
    EXPECT_TRUE(colours == 0 || colours == 256) << colours;

    const QImage image = DecodeDib(dib);
    ASSERT_EQ(image.size(), QSize(160, 160));
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(image.pixel(centres[k]) | 0xFF000000, ShapeColour(code[k])) << "position " << k + 1;
    EXPECT_EQ(image.pixel(80, 25) | 0xFF000000, grey);
    EXPECT_EQ(image.pixel(2, 2) | 0xFF000000, grey);
    ExpectArrowOnBlack(image, QRect(QPoint(65, 1), QPoint(94, 14)), magenta, "top purple arrow");
    ExpectArrowOnBlack(image, QRect(QPoint(1, 65), QPoint(14, 94)), magenta, "left purple arrow");
    ExpectArrowOnBlack(image, QRect(QPoint(67, 34), QPoint(92, 45)), kWhite, "top white arrow");
    ExpectArrowOnBlack(image, QRect(QPoint(67, 114), QPoint(92, 125)), kWhite, "bottom white arrow");
    ExpectArrowOnBlack(image, QRect(QPoint(34, 67), QPoint(45, 92)), kWhite, "left white arrow");
    ExpectArrowOnBlack(image, QRect(QPoint(114, 67), QPoint(125, 92)), kWhite, "right white arrow");
    ExpectArrowOnBlack(image, QRect(QPoint(65, 65), QPoint(94, 94)), kWhite, "centre arrows");
  }
}

// The click zones are the game's table and the arrows the pictures' drawing:
// every zone's centre and corners must fall on its arrow (the arrow's colour
// or the black it stands on) in every picture.
TEST(ArrangementPictures, EveryClickZoneLiesOnItsArrowInEveryPicture) {
  const QRgb magenta = qRgb(255, 0, 255), black = qRgb(0, 0, 0);
  for (int i = 0; i < quadrilex::kArrangementCount; ++i) {
    const QImage image = LoadBitmapResource(static_cast<UINT>(quadrilex::kFirstArrangementBitmap + i));
    ASSERT_FALSE(image.isNull());
    for (int zone = 0; zone < quadrilex::kArrowZoneCount; ++zone) {
      const RECT& z = quadrilex::kArrowZoneRect[zone];
      const QRgb arrow = zone < 2 ? magenta : kWhite;
      const QPoint points[5] = {{(z.left + z.right) / 2, (z.top + z.bottom) / 2}, {z.left, z.top},
                                {z.right - 1, z.top}, {z.left, z.bottom - 1}, {z.right - 1, z.bottom - 1}};
      for (const QPoint& at : points) {
        const QRgb colour = image.pixel(at) | 0xFF000000;
        EXPECT_TRUE(colour == arrow || colour == black)
            << "picture " << i << ", zone " << zone + 1 << ": (" << at.x() << ", " << at.y() << ") is "
            << QColor(colour).name().toStdString();
      }
    }
  }
}

// Recorded from the pictures as they were before the denser ones were made;
// the 160 by 160 pictures must not change by a byte.
TEST(ArrangementPictures, TheBlockSizedPicturesAreTheOnesTheGameAlwaysHad) {
  QCryptographicHash all(QCryptographicHash::Sha256);
  for (int i = 0; i < quadrilex::kArrangementCount; ++i)
    all.addData(FindResourceBytes(static_cast<UINT>(quadrilex::kFirstArrangementBitmap + i), "bitmap"));
  EXPECT_EQ(all.result().toHex().toStdString(), "fc70e9d2c8133721944cabae354aed0dfd791d2b6bc1508436feda88ebaa7283");
}

// Twice and three times as dense, each picture is the same drawing: where a
// block-sized pixel and its eight neighbours are one colour, every dense pixel
// within it is that colour too; only the edges between colours are finer.
TEST(ArrangementPictures, TheDensePicturesAreTheSameDrawingAtTwiceAndThreeTimesTheSize) {
  for (int scale : {2, 3}) {
    for (int i = 0; i < quadrilex::kArrangementCount; ++i) {
      const UINT id = static_cast<UINT>(quadrilex::kFirstArrangementBitmap + i);
      SCOPED_TRACE("picture " + std::to_string(id) + " at " + std::to_string(scale) + "x");
      const QImage base = LoadBitmapResource(id);
      const QImage dense = LoadBitmapResource(id, scale);
      ASSERT_EQ(dense.size(), QSize(160 * scale, 160 * scale));
      EXPECT_EQ(dense.colorTable(), base.colorTable()) << "the same 256 colours";
      int finerEdges = 0;
      for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 160; ++x) {
          bool uniform = true;
          for (int dy = -1; dy <= 1 && uniform; ++dy)
            for (int dx = -1; dx <= 1 && uniform; ++dx)
              uniform = !base.valid(x + dx, y + dy) || base.pixelIndex(x + dx, y + dy) == base.pixelIndex(x, y);
          for (int sy = 0; sy < scale; ++sy) {
            for (int sx = 0; sx < scale; ++sx) {
              const int index = dense.pixelIndex(scale * x + sx, scale * y + sy);
              if (uniform) {
                ASSERT_EQ(index, base.pixelIndex(x, y)) << "at " << x << "," << y;
              } else {
                finerEdges += index != base.pixelIndex(x, y) ? 1 : 0;
              }
            }
          }
        }
      }
      EXPECT_GT(finerEdges, 0) << "an enlargement, not a drawing";
    }
  }
}

TEST(ArrangementPictures, BitmapTypeIsFoundWhateverItsCase) {
  EXPECT_EQ(FindResourceBytes(143, "BITMAP"), FindResourceBytes(143, "bitmap"));
  EXPECT_TRUE(FindResourceBytes(129, "bitmap").isNull());
  EXPECT_TRUE(FindResourceBytes(154, "bitmap").isNull());
}

}  // namespace
