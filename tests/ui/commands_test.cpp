// RESET, Clr and All, and ticks that a smaller field hides but keeps.
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

using CommandTest = CalculatorTest;

const std::vector<int> kNone{};

TEST_F(CommandTest, ResetRestoresSizesAndUnticksEveryBoxButKeepsBetAndUnit) {
  Click(IDC_BET_PICK_4);
  Click(IDC_UNIT_5);
  const char* sizes[] = {"20", "9", "3", "15"};
  for (Row row = 0; row < 4; ++row) TypeSize(row, sizes[row]);
  Click(AllButtonId(0));         // horses 1 to 20
  ClickHorses(1, {9});
  ClickHorses(2, {1, 3});
  ClickHorses(3, {15});
  TypeSize(0, "5");              // horses 6 to 20 of race A now hidden, still ticked
  ASSERT_NE(Text(IDC_TICKET), "");

  {
    CycleCounter counter;
    Click(IDC_RESET);
    // Eight edits written, each with its own cycle, then RESET's own.
    EXPECT_EQ(counter.cycles(), 9);
  }
  for (Row row = 0; row < kRowCount; ++row) {
    EXPECT_EQ(Text(SizeEditId(row)), "12") << "row " << row;
    EXPECT_EQ(TickedHorses(row), kNone) << "row " << row;
  }
  for (Row row = 0; row < 4; ++row) {
    EXPECT_EQ(VisibleHorses(row), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})) << "row " << row;
  }
  EXPECT_EQ(CheckedBetButtons(), std::vector<int>{IDC_BET_PICK_4});
  EXPECT_EQ(CheckedUnitButtons(), std::vector<int>{IDC_UNIT_5});
  EXPECT_EQ(Text(IDC_TICKET), "");
  EXPECT_EQ(Text(IDC_COUNT_FIELD), "");
  EXPECT_EQ(Text(IDC_COST_FIELD), "Bets: 0  Total: $0");
}

// A smaller field hides boxes without unticking them: the hidden horses
// leave the ticket and come back with the field.
TEST_F(CommandTest, ShrunkFieldHidesTicksWithoutUntickingThem) {
  TypeSize(0, "20");
  ClickHorses(0, {1, 13});
  ClickHorses(1, {5});
  ClickHorses(2, {3, 18});
  EXPECT_EQ(Text(IDC_TICKET), "$1 Trifecta: 1,13 / 5 / 3,18\r\nBets:  4  Total:  $4 ");

  TypeSize(0, "12");
  EXPECT_FALSE(Visible(BoxId(0, 12)));
  EXPECT_EQ(TickedHorses(0), (std::vector<int>{1, 13}));
  EXPECT_EQ(TickedHorses(2), (std::vector<int>{3, 18}));
  EXPECT_EQ(Text(IDC_TICKET), "$1 Trifecta: 1 / 5 / 3\r\nBets:  1  Total:  $1 ");

  TypeSize(0, "20");
  EXPECT_TRUE(Visible(BoxId(0, 12)));
  EXPECT_EQ(Text(IDC_TICKET), "$1 Trifecta: 1,13 / 5 / 3,18\r\nBets:  4  Total:  $4 ");
}

// Clr unticks the row's hidden boxes too, so a hidden horse does not come
// back when the field grows again.
TEST_F(CommandTest, ClrUnticksHiddenBoxesOfItsRowOnly) {
  Click(IDC_BET_EXACTA);
  TypeSize(0, "20");
  ClickHorses(0, {2, 13});
  ClickHorses(1, {1, 13});
  TypeSize(0, "12");
  Click(IDC_CLR_A);
  EXPECT_EQ(TickedHorses(0), kNone);
  EXPECT_EQ(TickedHorses(1), (std::vector<int>{1, 13}));
  EXPECT_EQ(Text(IDC_TICKET), "");
  TypeSize(0, "20");
  EXPECT_EQ(TickedHorses(0), kNone);
  ClickHorses(0, {2});
  EXPECT_EQ(Text(IDC_TICKET), "$1 Exacta: 2 / 1,13\r\nBets:  2  Total:  $2 ");
}

// Each Clr button clears its own row, row F's included (its button comes
// last in the template).
TEST_F(CommandTest, EveryClrButtonClearsItsOwnRow) {
  Click(IDC_BET_PICK_8);
  for (Row row = 0; row < kRowCount; ++row) ClickHorses(row, {row + 1});
  for (Row row = 0; row < kRowCount; ++row) {
    Click(ClearButtonIds[static_cast<std::size_t>(row)]);
    for (Row other = 0; other < kRowCount; ++other) {
      EXPECT_EQ(TickedHorses(other), other <= row ? kNone : std::vector<int>{other + 1})
          << "after Clr of row " << row << ", row " << other;
    }
  }
}

TEST_F(CommandTest, AllTicksOnlyTheHorsesOfTheField) {
  Click(IDC_BET_PICK_3);
  ClickHorses(1, {10});
  TypeSize(1, "8");
  Click(AllButtonId(1));
  EXPECT_EQ(TickedHorses(1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 10}));
  EXPECT_EQ(TickedHorses(0), kNone);
  ClickHorses(0, {1});
  ClickHorses(2, {1});
  EXPECT_EQ(Text(IDC_COUNT_FIELD), " 8");  // horse 10 is beyond the field of 8
}

// Choosing the unit or bet type already chosen still recalculates, with
// the same result.
TEST_F(CommandTest, ChoosingTheCurrentChoiceAgainChangesNothing) {
  ClickHorses(0, {1, 2});
  ClickHorses(1, {5});
  ClickHorses(2, {3, 4});
  const std::vector<std::string> before = FormSnapshot();
  for (int id : {IDC_UNIT_1, IDC_BET_TRIFECTA}) {
    CycleCounter counter;
    Click(id);
    EXPECT_GE(counter.cycles(), 1) << id;
    EXPECT_EQ(FormSnapshot(), before) << id;
  }
}

}  // namespace
}  // namespace tallyhorn::uitest
