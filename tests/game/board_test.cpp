// The arrangement table, the deal and the dissolve order.
#include "game/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace quadrilex {
namespace {

// A board with every array filled with rubbish, so that a deal must overwrite it.
struct Board {
  int deal[24];
  int drawPool[24];
  int arrangement[12];
  int blockState[12];
  int clickCount[12];

  Board() {
    std::fill(std::begin(deal), std::end(deal), -5);
    std::fill(std::begin(drawPool), std::end(drawPool), -5);
    std::fill(std::begin(arrangement), std::end(arrangement), -5);
    std::fill(std::begin(blockState), std::end(blockState), kStateLost);
    std::fill(std::begin(clickCount), std::end(clickCount), 7);
  }
  DealArrays Arrays() { return DealArrays{deal, drawPool, arrangement, blockState, clickCount}; }
};

// Hands out a fixed list of values, then keeps returning a large one; counts calls.
class ScriptedRandom {
 public:
  explicit ScriptedRandom(std::vector<int> values) : values_(std::move(values)) {}
  int operator()() {
    const int v = calls_ < values_.size() ? values_[calls_] : 1000003;
    ++calls_;
    return v;
  }
  std::size_t calls() const { return calls_; }

 private:
  std::vector<int> values_;
  std::size_t calls_ = 0;
};

int LetterRank(char c) { return static_cast<int>(std::string("cxst").find(c)); }

TEST(ArrangementTable, HoldsEveryOrderingSortedCircleCrossSquareTriangle) {
  std::string letters = "cxst";  // already in rank order, so this walks the orderings in table order
  int i = 0;
  do {
    ASSERT_LT(i, kArrangementCount);
    EXPECT_EQ(letters, kArrangementCode[i]) << "index " << i;
    ++i;
  } while (std::next_permutation(letters.begin(), letters.end(),
                                 [](char a, char b) { return LetterRank(a) < LetterRank(b); }));
  EXPECT_EQ(i, kArrangementCount);
}

TEST(ArrangementTable, NamedEntries) {
  EXPECT_STREQ(kArrangementCode[0], "cxst");
  EXPECT_STREQ(kArrangementCode[13], "sctx");
  EXPECT_STREQ(kArrangementCode[23], "tsxc");
}

TEST(ArrangementTable, FindArrangementLooksCodesUp) {
  for (int i = 0; i < kArrangementCount; ++i) EXPECT_EQ(FindArrangement(kArrangementCode[i]), i);
  EXPECT_EQ(FindArrangement("sctx"), 13);
  EXPECT_EQ(FindArrangement("cxss"), -1);
  EXPECT_EQ(FindArrangement("cxs"), -1);
  EXPECT_EQ(FindArrangement("cxsta"), -1);
  EXPECT_EQ(FindArrangement("CXST"), -1);
  EXPECT_EQ(FindArrangement(""), -1);
}

TEST(DealBoard, ZeroGeneratorGivesBlockItsOwnIndex) {
  Board board;
  DealBoard(board.Arrays(), [] { return 0; });
  for (int b = 0; b < kBlockCount; ++b) EXPECT_EQ(board.arrangement[b], b) << "block " << b;
  EXPECT_STREQ(kArrangementCode[board.arrangement[1]], "cxts");
  EXPECT_STREQ(kArrangementCode[board.arrangement[2]], "csxt");
}

TEST(DealBoard, DrawKTakesRandModTwentyFourMinusK) {
  // Worked out by hand: draw k takes entry (value % (24 - k)) of the pool, and
  // the pool closes up behind every entry taken.
  //   k  value  n   r  taken
  //   0    5   24   5    5
  //   1   30   23   7    8   (pool 0 1 2 3 4 6 7 8 ...)
  //   2   22   22   0    0
  //   3    7   21   7   10   (pool 1 2 3 4 6 7 9 10 ...)
  //   4    0   20   0    1
  //   5   19   19   0    2
  //   6    1   18   1    4   (pool 3 4 6 7 9 ...)
  //   7    2   17   2    7   (pool 3 6 7 9 ...)
  //   8    3   16   3   11   (pool 3 6 9 11 ...)
  //   9    4   15   4   13   (pool 3 6 9 12 13 ...)
  //  10    5   14   5   15   (pool 3 6 9 12 14 15 ...)
  //  11    6   13   6   17   (pool 3 6 9 12 14 16 17 ...)
  ScriptedRandom random({5, 30, 22, 7, 0, 19, 1, 2, 3, 4, 5, 6});
  Board board;
  DealBoard(board.Arrays(), [&random] { return random(); });
  const int expected[12] = {5, 8, 0, 10, 1, 2, 4, 7, 11, 13, 15, 17};
  for (int b = 0; b < kBlockCount; ++b) EXPECT_EQ(board.arrangement[b], expected[b]) << "block " << b;
  // All 24 draws take a value, the last one included, though only 12 are used.
  EXPECT_EQ(random.calls(), 24u);
  std::vector<int> drawn(board.deal, board.deal + 24);
  std::sort(drawn.begin(), drawn.end());
  for (int i = 0; i < 24; ++i) EXPECT_EQ(drawn[i], i);
}

TEST(DealBoard, ResetsStatesAndCounters) {
  Board board;
  board.blockState[kMasterBlock] = kStateNormal;
  DealBoard(board.Arrays(), [] { return 3; });
  EXPECT_EQ(board.blockState[kMasterBlock], kStateMatched);
  EXPECT_EQ(board.clickCount[kMasterBlock], 0);
  for (int b = 1; b < kBlockCount; ++b) {
    EXPECT_EQ(board.blockState[b], kStateNormal) << "block " << b;
    EXPECT_EQ(board.clickCount[b], 0) << "block " << b;
  }
}

TEST(DealBoard, EveryDealHoldsTwelveDifferentArrangements) {
  for (std::uint32_t seed = 1; seed <= 500; ++seed) {
    std::mt19937 engine(seed);
    // Values in the range of the C library's rand(): 0 to 32767.
    auto random = [&engine] { return static_cast<int>(engine() >> 17); };
    Board board;
    DealBoard(board.Arrays(), random);
    std::set<int> seen;
    for (int b = 0; b < kBlockCount; ++b) {
      ASSERT_GE(board.arrangement[b], 0);
      ASSERT_LT(board.arrangement[b], kArrangementCount);
      seen.insert(board.arrangement[b]);
    }
    ASSERT_EQ(seen.size(), 12u) << "seed " << seed;
    const int master = board.arrangement[kMasterBlock];
    ASSERT_EQ(std::count(board.arrangement, board.arrangement + 12, master), 1) << "seed " << seed;
    ASSERT_EQ(board.blockState[kMasterBlock], kStateMatched);
  }
}

TEST(DissolveOrder, CoversEveryPixelOnceInStrideOrder) {
  constexpr int kCount = 160 * 160;
  std::vector<int> order(kCount + 1, -1);  // one guard slot past the end
  BuildDissolveOrder(order.data(), 160);
  EXPECT_EQ(order[kCount], -1) << "wrote past the table";

  const int start[8] = {0, 21773, 17946, 14119, 10292, 6465, 2638, 24411};
  for (int j = 0; j < 8; ++j) EXPECT_EQ(order[j], start[j]) << "entry " << j;
  EXPECT_EQ(order[kCount - 1], 3827);
  // Entry 7 stands for the pixel (152, 91).
  EXPECT_EQ(order[7] / 160, 152);
  EXPECT_EQ(order[7] % 160, 91);

  std::vector<bool> seen(kCount, false);
  for (int j = 0; j < kCount; ++j) {
    ASSERT_EQ(order[j], static_cast<int>((21773LL * j) % kCount)) << "entry " << j;
    ASSERT_FALSE(seen[order[j]]) << "entry " << j << " repeats";
    seen[order[j]] = true;
  }
}

TEST(BlockIndex, NumbersDownEachColumn) {
  EXPECT_EQ(BlockIndex(0, 0), 0);
  EXPECT_EQ(BlockIndex(0, 2), 2);
  EXPECT_EQ(BlockIndex(1, 0), 3);
  EXPECT_EQ(BlockIndex(3, 2), 11);
  EXPECT_EQ(BlockColumn(7), 2);
  EXPECT_EQ(BlockRow(7), 1);
}

}  // namespace
}  // namespace quadrilex
