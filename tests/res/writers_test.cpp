// The WAVE and PNG writers of the resource generator, checked against the file
// formats' own rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/png.h"
#include "res/sounds.h"
#include "res/wave.h"

namespace quadrilex::res {
namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t Be32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return (static_cast<std::uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}
std::string Id(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::string(reinterpret_cast<const char*>(b.data() + at), 4);
}

TEST(QuantizePcm, EightBitIsUnsignedAroundMidScale) {
  EXPECT_EQ(QuantizePcm({0.0, 1.0, -1.0, 0.5}, 8), (std::vector<std::uint8_t>{128, 255, 1, 192}));
}

TEST(QuantizePcm, SixteenBitIsSignedLittleEndian) {
  EXPECT_EQ(QuantizePcm({0.0, 1.0, -1.0}, 16), (std::vector<std::uint8_t>{0, 0, 0xFF, 0x7F, 0x01, 0x80}));
}

TEST(QuantizePcm, HoldsOverloadAtFullScaleInsteadOfWrapping) {
  EXPECT_EQ(QuantizePcm({3.0, -3.0}, 8), (std::vector<std::uint8_t>{255, 1}));
  EXPECT_EQ(QuantizePcm({3.0}, 16), (std::vector<std::uint8_t>{0xFF, 0x7F}));
}

TEST(BuildWave, PadsOddChunksAndCountsFramesInFact) {
  WaveFormat stereo16{2, 16, 22050, false};
  const std::vector<std::uint8_t> data(12, 0);  // three frames
  RiffChunk odd{"DISP", {1, 0, 0, 0, 'a'}};     // five bytes: a pad byte follows
  const auto wave = BuildWave(stereo16, data, {odd, RiffChunk{"LIST", {'I', 'N', 'F', 'O'}}});
  ASSERT_EQ(wave.size(), 8u + 4 + (8 + 16) + (8 + 4) + (8 + 12) + (8 + 5 + 1) + (8 + 4));
  EXPECT_EQ(Id(wave, 0), "RIFF");
  EXPECT_EQ(Le32(wave, 4), wave.size() - 8);
  EXPECT_EQ(Id(wave, 8), "WAVE");
  EXPECT_EQ(Id(wave, 12), "fmt ");
  EXPECT_EQ(Le32(wave, 16), 16u);
  EXPECT_EQ(Le16(wave, 20), 1);          // PCM
  EXPECT_EQ(Le16(wave, 22), 2);          // channels
  EXPECT_EQ(Le32(wave, 24), 22050u);     // frames per second
  EXPECT_EQ(Le32(wave, 28), 22050u * 4); // bytes per second
  EXPECT_EQ(Le16(wave, 32), 4);          // bytes per frame
  EXPECT_EQ(Le16(wave, 34), 16);
  EXPECT_EQ(Id(wave, 36), "fact");
  EXPECT_EQ(Le32(wave, 44), 3u);
  EXPECT_EQ(Id(wave, 48), "data");
  EXPECT_EQ(Le32(wave, 52), 12u);
  EXPECT_EQ(Id(wave, 68), "DISP");
  EXPECT_EQ(Le32(wave, 72), 5u);        // the size field leaves the pad byte out
  EXPECT_EQ(wave[81], 0);
  EXPECT_EQ(Id(wave, 82), "LIST");
}

TEST(BuildWave, ExtendedFormatChunkEndsWithAnEmptyExtension) {
  const auto wave = BuildWave({1, 8, 22050, true}, std::vector<std::uint8_t>(3, 128), {});
  EXPECT_EQ(Le32(wave, 16), 18u);
  EXPECT_EQ(Le16(wave, 36), 0);
  EXPECT_EQ(Id(wave, 38), "fact");
  // Three data bytes: one pad byte ends the file.
  EXPECT_EQ(wave.size(), 12u + 26 + 12 + 8 + 4);
}

TEST(BuildWave, RefusesDataThatIsNotWholeFrames) {
  EXPECT_THROW(BuildWave({2, 16, 22050, false}, std::vector<std::uint8_t>(6, 0), {}), std::invalid_argument);
}

TEST(InfoList, EachTextIsNulTerminatedAndWordAligned) {
  const RiffChunk list = InfoList({{"INAM", "Bell"}, {"ICMT", "ab"}});
  // "INFO", then INAM with 5 bytes and a pad byte, then ICMT with 3 bytes and a pad byte.
  const std::vector<std::uint8_t> expected = {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 5, 0, 0, 0, 'B', 'e', 'l', 'l', 0, 0,
                                              'I', 'C', 'M', 'T', 3, 0, 0, 0, 'a', 'b', 0, 0};
  EXPECT_EQ(list.id, "LIST");
  EXPECT_EQ(list.bytes, expected);
}

TEST(DispText, StartsWithTheTextClipboardFormat) {
  const RiffChunk disp = DispText("Ding");
  EXPECT_EQ(disp.bytes, (std::vector<std::uint8_t>{1, 0, 0, 0, 'D', 'i', 'n', 'g', 0}));
}

TEST(Sounds, SynthesisIsRepeatable) {
  for (int id = kFirstSound; id <= kLastSound; ++id) EXPECT_EQ(SynthesizeSound(id), SynthesizeSound(id)) << id;
}

TEST(Sounds, UnknownIdIsRefused) { EXPECT_THROW(SoundLayoutOf(160), std::out_of_range); }

// The check values published with the two algorithms.
TEST(Checksums, MatchTheStandardCheckValues) {
  const char* digits = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(digits), 9), 0xCBF43926u);
  const char* word = "Wikipedia";
  EXPECT_EQ(Adler32(reinterpret_cast<const std::uint8_t*>(word), 9), 0x11E60398u);
  EXPECT_EQ(Adler32(nullptr, 0), 1u);
}

TEST(EncodePng, ChunksCarryValidChecksumsAndTheRowsStoredUnfiltered) {
  RgbaPicture picture{2, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};
  const auto png = EncodePng(picture);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
  std::vector<std::string> types;
  std::vector<std::uint8_t> zlib;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = Be32(png, at);
    ASSERT_LE(at + 12 + length, png.size());
    types.push_back(Id(png, at + 4));
    EXPECT_EQ(Crc32(png.data() + at + 4, 4 + length), Be32(png, at + 8 + length)) << types.back();
    if (types.back() == "IHDR") {
      EXPECT_EQ(Be32(png, at + 8), 2u);
      EXPECT_EQ(Be32(png, at + 12), 2u);
      EXPECT_EQ(png[at + 16], 8);  // bits per channel
      EXPECT_EQ(png[at + 17], 6);  // truecolour with alpha
    }
    if (types.back() == "IDAT") zlib.assign(png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                            png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
    at += 12 + length;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  // One final stored block holding each row behind a filter byte of 0.
  const std::vector<std::uint8_t> raw = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 9, 10, 11, 12, 13, 14, 15, 16};
  ASSERT_EQ(zlib.size(), 2 + 5 + raw.size() + 4);
  EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0);  // the header's own check
  EXPECT_EQ(zlib[2], 1);
  EXPECT_EQ(zlib[3] | (zlib[4] << 8), static_cast<int>(raw.size()));
  EXPECT_EQ((zlib[5] | (zlib[6] << 8)) ^ 0xFFFF, static_cast<int>(raw.size()));
  EXPECT_TRUE(std::equal(raw.begin(), raw.end(), zlib.begin() + 7));
  EXPECT_EQ(Be32(zlib, zlib.size() - 4), Adler32(raw.data(), raw.size()));
}

TEST(EncodePng, RefusesAPictureOfTheWrongSize) {
  EXPECT_THROW(EncodePng(RgbaPicture{2, 2, std::vector<std::uint8_t>(15, 0)}), std::invalid_argument);
  EXPECT_THROW(EncodePng(RgbaPicture{0, 0, {}}), std::invalid_argument);
}

}  // namespace
}  // namespace quadrilex::res
