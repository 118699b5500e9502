// The state record's start values and the constant tables.
#include <gtest/gtest.h>

#include <string>

#include "calc/wager.h"

namespace tallyhorn {
namespace {

TEST(WagerState, StartsAsTrifectaAtOneDollarWithNothingTicked) {
  const WagerState state;
  EXPECT_EQ(state.betType, kTrifecta);
  EXPECT_EQ(state.unitCents, 100u);
  for (FieldSize size : state.fieldSize) EXPECT_EQ(size, 0);
  for (const auto& row : state.selections) {
    for (auto tick : row) EXPECT_EQ(tick, 0);
  }
  EXPECT_EQ(state.combinationCount, 0);
}

struct BetTypeRow {
  BetType betType;
  const char* name;
  int rows;
  BetKind kind;
  const char* firstLabel;
  const char* lastLabel;
};

class BetTypeTableTest : public testing::TestWithParam<BetTypeRow> {};

TEST_P(BetTypeTableTest, NameRowsKindAndLabels) {
  const BetTypeRow& want = GetParam();
  const BetTypeInfo& info = BetTypeTable[static_cast<std::size_t>(want.betType)];
  EXPECT_STREQ(info.name, want.name);
  EXPECT_EQ(info.rows, want.rows);
  EXPECT_EQ(RowCountOf(want.betType), want.rows);
  EXPECT_EQ(KindOf(want.betType), want.kind);
  EXPECT_STREQ(RowLabel(want.betType, 0), want.firstLabel);
  EXPECT_STREQ(RowLabel(want.betType, want.rows - 1), want.lastLabel);
  EXPECT_STREQ(RowLabel(want.betType, want.rows), "") << "the first row past the bet type is inactive";
}

INSTANTIATE_TEST_SUITE_P(
    EveryBetType, BetTypeTableTest,
    testing::Values(BetTypeRow{kExacta, "Exacta", 2, BetKind::PositionBet, "1st", "2nd"},
                    BetTypeRow{kTrifecta, "Trifecta", 3, BetKind::PositionBet, "1st", "3rd"},
                    BetTypeRow{kSuperfecta, "Superfecta", 4, BetKind::PositionBet, "1st", "4th"},
                    BetTypeRow{kSuperfecta5, "Superfecta-5", 5, BetKind::PositionBet, "1st", "5th"},
                    BetTypeRow{kSuperfecta6, "Superfecta-6", 6, BetKind::PositionBet, "1st", "6th"},
                    BetTypeRow{kPick3, "Pick-3", 3, BetKind::MultiRaceBet, "Race A", "Race C"},
                    BetTypeRow{kPick4, "Pick-4", 4, BetKind::MultiRaceBet, "Race A", "Race D"},
                    BetTypeRow{kPick5, "Pick-5", 5, BetKind::MultiRaceBet, "Race A", "Race E"},
                    BetTypeRow{kPick6, "Pick-6", 6, BetKind::MultiRaceBet, "Race A", "Race F"},
                    BetTypeRow{kPick7, "Pick-7", 7, BetKind::MultiRaceBet, "Race A", "Race G"},
                    BetTypeRow{kPick8, "Pick-8", 8, BetKind::MultiRaceBet, "Race A", "Race H"}),
    [](const testing::TestParamInfo<BetTypeRow>& test) {
      std::string name = test.param.name;
      std::erase(name, '-');
      return name;
    });

TEST(BetTypeTable, IndexesOutsideTheTableHaveNoRows) {
  for (BetType betType : {-1, 11, 1000}) {
    EXPECT_FALSE(IsValidBetType(betType)) << betType;
    EXPECT_EQ(RowCountOf(betType), 0) << betType;
    EXPECT_STREQ(RowLabel(betType, 0), "") << betType;
  }
}

TEST(UnitAmountTable, LooksUpEachPriceAndRejectsOthers) {
  const UnitCents cents[] = {5, 10, 20, 100, 200, 300, 500, 1000};
  const char* captions[] = {"$0.05", "$0.10", "$0.20", "$1", "$2", "$3", "$5", "$10"};
  for (int i = 0; i < kUnitCount; ++i) {
    EXPECT_EQ(UnitAmountTable[static_cast<std::size_t>(i)].cents, cents[i]);
    EXPECT_STREQ(UnitAmountTable[static_cast<std::size_t>(i)].caption, captions[i]);
    EXPECT_EQ(UnitIndexOf(cents[i]), i);
  }
  for (UnitCents other : {0u, 1u, 50u, 150u, 4000000000u}) EXPECT_EQ(UnitIndexOf(other), -1) << other;
}

}  // namespace
}  // namespace tallyhorn
