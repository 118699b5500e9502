// Rows, labels, boxes and size edits as the bet type and the field sizes
// make them; sizes typed above 20 (or too long to be a number) ending at 20.
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

const char* const kPositionLabels[] = {"1st", "2nd", "3rd", "4th", "5th", "6th"};
const char* const kRaceLabels[] = {"Race A", "Race B", "Race C", "Race D", "Race E", "Race F", "Race G", "Race H"};

std::vector<int> FirstHorses(int count) {
  std::vector<int> horses;
  for (int horse = 1; horse <= count; ++horse) horses.push_back(horse);
  return horses;
}

struct BetLayoutCase {
  const char* name;
  int button;
  int rows;
  bool positions;  // one race: rows are finishing positions
};

std::ostream& operator<<(std::ostream& out, const BetLayoutCase& c) { return out << c.name; }

class BetLayoutTest : public CalculatorTest, public testing::WithParamInterface<BetLayoutCase> {};

TEST_P(BetLayoutTest, ShowsTheBetTypesRowsLabelsAndEdits) {
  const BetLayoutCase& c = GetParam();
  Click(c.button);
  EXPECT_EQ(CheckedBetButtons(), std::vector<int>{c.button});
  for (Row row = 0; row < kRowCount; ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const auto r = static_cast<std::size_t>(row);
    const bool active = row < c.rows;
    EXPECT_EQ(Visible(RowLabelIds[r]), active);
    if (active) {
      EXPECT_EQ(Text(RowLabelIds[r]), c.positions ? kPositionLabels[r] : kRaceLabels[r]);
    }
    EXPECT_EQ(VisibleHorses(row), active ? FirstHorses(12) : std::vector<int>{});
    EXPECT_EQ(Visible(ClearButtonIds[r]), active);
    EXPECT_EQ(Visible(AllButtonId(row)), active);
    EXPECT_EQ(Visible(SizeEditId(row)), active && (!c.positions || row == 0));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryBetType, BetLayoutTest,
                         testing::Values(BetLayoutCase{"Exacta", IDC_BET_EXACTA, 2, true},
                                         BetLayoutCase{"Trifecta", IDC_BET_TRIFECTA, 3, true},
                                         BetLayoutCase{"Superfecta", IDC_BET_SUPERFECTA, 4, true},
                                         BetLayoutCase{"Superfecta5", IDC_BET_SUPERFECTA_5, 5, true},
                                         BetLayoutCase{"Superfecta6", IDC_BET_SUPERFECTA_6, 6, true},
                                         BetLayoutCase{"Pick3", IDC_BET_PICK_3, 3, false},
                                         BetLayoutCase{"Pick4", IDC_BET_PICK_4, 4, false},
                                         BetLayoutCase{"Pick5", IDC_BET_PICK_5, 5, false},
                                         BetLayoutCase{"Pick6", IDC_BET_PICK_6, 6, false},
                                         BetLayoutCase{"Pick7", IDC_BET_PICK_7, 7, false},
                                         BetLayoutCase{"Pick8", IDC_BET_PICK_8, 8, false}),
                         CaseName());

using FieldSizeTest = CalculatorTest;

// A position bet reads every row's field from the first edit; the other
// edits keep their text and come back with a multi-race bet.
TEST_F(FieldSizeTest, Pick4SizesSurviveATripThroughTrifecta) {
  Click(IDC_BET_PICK_4);
  const char* sizes[] = {"12", "9", "14", "10"};
  for (Row row = 0; row < 4; ++row) TypeSize(row, sizes[row]);
  const std::vector<std::vector<int>> pick4{FirstHorses(12), FirstHorses(9), FirstHorses(14), FirstHorses(10)};
  for (Row row = 0; row < 4; ++row) EXPECT_EQ(VisibleHorses(row), pick4[static_cast<std::size_t>(row)]) << row;

  Click(IDC_BET_TRIFECTA);
  for (Row row = 0; row < 3; ++row) EXPECT_EQ(VisibleHorses(row), FirstHorses(12)) << row;
  EXPECT_FALSE(Visible(SizeEditId(1)));

  Click(IDC_BET_PICK_4);
  for (Row row = 0; row < 4; ++row) {
    EXPECT_EQ(VisibleHorses(row), pick4[static_cast<std::size_t>(row)]) << row;
    EXPECT_EQ(Text(SizeEditId(row)), sizes[row]) << row;
  }
}

// A position bet's first edit sets every row: eight in the first edit gives
// every active row eight boxes.
TEST_F(FieldSizeTest, FirstEditSetsEveryPositionOfAPositionBet) {
  Click(IDC_BET_SUPERFECTA_6);
  TypeSize(0, "8");
  for (Row row = 0; row < 6; ++row) EXPECT_EQ(VisibleHorses(row), FirstHorses(8)) << row;
}

struct SizeCase {
  const char* name;
  int betButton;
  Row row;
  std::string typed;
  const char* shown;  // the edit's text afterwards
  int horses;         // boxes the typed row (every row of a position bet) shows
  int cycles;         // recalculations the typing ran
  int depth;          // how deep the size edits' change commands nested
};

std::ostream& operator<<(std::ostream& out, const SizeCase& c) {
  return out << c.name << ": \"" << c.typed << "\" into row " << c.row;
}

class TypedSizeTest : public CalculatorTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(TypedSizeTest, EndsWithTheEditAndTheRowsInStep) {
  const SizeCase& c = GetParam();
  Click(c.betButton);
  const bool positions = Text(RowLabelIds[0]) == "1st";
  {
    CycleCounter counter;
    TypeSize(c.row, c.typed.c_str());
    EXPECT_EQ(counter.cycles(), c.cycles);
    EXPECT_EQ(counter.sizeChanges(), c.cycles);
    EXPECT_EQ(counter.deepestSizeChange(), c.depth);
  }
  EXPECT_EQ(Text(SizeEditId(c.row)), c.shown);
  for (Row row = 0; row < kRowCount; ++row) {
    if (!Visible(RowLabelIds[static_cast<std::size_t>(row)])) continue;
    const int expected = positions || row == c.row ? c.horses : 12;
    EXPECT_EQ(VisibleHorses(row), FirstHorses(expected)) << "row " << row;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Typing, TypedSizeTest,
    testing::Values(
        // Above 20: rewritten as 20 at once, by a nested cycle inside the
        // typing's own.
        SizeCase{"TwentyFiveBecomesTwenty", IDC_BET_TRIFECTA, 0, "25", "20", 20, 2, 2},
        SizeCase{"TwentyOneBecomesTwenty", IDC_BET_PICK_3, 2, "21", "20", 20, 2, 2},
        SizeCase{"LargestUnsignedBecomesTwenty", IDC_BET_TRIFECTA, 0, "4294967295", "20", 20, 2, 2},
        SizeCase{"OneMoreThanFitsBecomesTwenty", IDC_BET_TRIFECTA, 0, "4294967296", "20", 20, 2, 2},
        SizeCase{"ElevenDigitsBecomeTwenty", IDC_BET_TRIFECTA, 0, "99999999999", "20", 20, 2, 2},
        SizeCase{"OverflowInTheScrollingLastEdit", IDC_BET_PICK_8, 7, "123456789012345678901234567890", "20", 20, 2,
                 2},
        SizeCase{"LongRunOfZerosBeforeTwentyFive", IDC_BET_TRIFECTA, 0, std::string(70, '0') + "25", "20", 20, 2, 2},
        // Up to 20: left as typed.
        SizeCase{"TwentyStays", IDC_BET_TRIFECTA, 0, "20", "20", 20, 1, 1},
        SizeCase{"EightStays", IDC_BET_PICK_4, 3, "8", "8", 8, 1, 1},
        SizeCase{"LeadingZerosStay", IDC_BET_TRIFECTA, 0, "007", "007", 7, 1, 1},
        SizeCase{"LeadingBlankIsSkipped", IDC_BET_TRIFECTA, 0, " 9", " 9", 9, 1, 1},
        SizeCase{"TrailingLettersAreIgnored", IDC_BET_TRIFECTA, 0, "3x", "3x", 3, 1, 1},
        // Zero, empty or not a number: the row offers no horses.
        SizeCase{"ZeroHidesEveryPosition", IDC_BET_TRIFECTA, 0, "0", "0", 0, 1, 1},
        SizeCase{"EmptyHidesEveryPosition", IDC_BET_EXACTA, 0, "", "", 0, 1, 1},
        SizeCase{"ZeroHidesOneRace", IDC_BET_PICK_3, 1, "0", "0", 0, 1, 1},
        SizeCase{"LettersHideOneRace", IDC_BET_PICK_5, 4, "abc", "abc", 0, 1, 1}),
    CaseName());

}  // namespace
}  // namespace tallyhorn::uitest
