// The two radio groups: always exactly one unit and one bet type checked,
// "$10" (a group of its own) and Superfecta-5 and -6 (IDs above the Pick
// bets) included, by mouse and by keyboard.
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

struct UnitCase {
  const char* name;
  int button;
  const char* cost;  // of the worked Trifecta's four bets
};

std::ostream& operator<<(std::ostream& out, const UnitCase& c) { return out << c.name; }

class UnitTest : public CalculatorTest, public testing::WithParamInterface<UnitCase> {};

TEST_P(UnitTest, IsTheOnlyCheckedUnitAndPricesEveryBet) {
  const UnitCase& c = GetParam();
  ClickHorses(0, {1, 2});
  ClickHorses(1, {5});
  ClickHorses(2, {3, 4});
  // Start from the other group: "$10" when choosing "$0.05" to "$5", and
  // the other way round.
  const int other = c.button == IDC_UNIT_10 ? IDC_UNIT_0_05 : IDC_UNIT_10;
  Click(other);
  ASSERT_EQ(CheckedUnitButtons(), std::vector<int>{other});
  Click(c.button);
  EXPECT_EQ(CheckedUnitButtons(), std::vector<int>{c.button});
  EXPECT_EQ(Text(IDC_COST_FIELD), c.cost);
}

INSTANTIATE_TEST_SUITE_P(EveryUnit, UnitTest,
                         testing::Values(UnitCase{"FiveCents", IDC_UNIT_0_05, " $0.20"},
                                         UnitCase{"TenCents", IDC_UNIT_0_10, " $0.40"},
                                         UnitCase{"TwentyCents", IDC_UNIT_0_20, " $0.80"},
                                         UnitCase{"OneDollar", IDC_UNIT_1, " $4"},
                                         UnitCase{"TwoDollars", IDC_UNIT_2, " $8"},
                                         UnitCase{"ThreeDollars", IDC_UNIT_3, " $12"},
                                         UnitCase{"FiveDollars", IDC_UNIT_5, " $20"},
                                         UnitCase{"TenDollars", IDC_UNIT_10, " $40"}),
                         CaseName());

using BetTypeGroupTest = CalculatorTest;

TEST_F(BetTypeGroupTest, ClicksLeaveOnlyTheChosenBetTypeChecked) {
  for (int id : {IDC_BET_EXACTA, IDC_BET_SUPERFECTA_5, IDC_BET_SUPERFECTA_6, IDC_BET_PICK_3, IDC_BET_SUPERFECTA_5,
                 IDC_BET_PICK_8, IDC_BET_SUPERFECTA_6, IDC_BET_TRIFECTA, IDC_BET_SUPERFECTA, IDC_BET_PICK_6}) {
    Click(id);
    EXPECT_EQ(CheckedBetButtons(), std::vector<int>{id}) << "after clicking " << id;
  }
}

// The arrow keys move the focus round the bet-type group, and a radio
// button that gets the focus reports a click: each arrow chooses the next
// bet type, and the one left checked is always the one chosen, also when
// the focus leaves Superfecta-5 or -6, whose IDs lie above the Pick bets'.
TEST_F(BetTypeGroupTest, ArrowKeysChooseEachBetTypeInTurn) {
  Click(IDC_BET_TRIFECTA);
  ASSERT_EQ(FocusId(), IDC_BET_TRIFECTA) << "a click gives the button the focus";
  for (int id : {IDC_BET_SUPERFECTA, IDC_BET_SUPERFECTA_5, IDC_BET_SUPERFECTA_6, IDC_BET_PICK_3, IDC_BET_PICK_4,
                 IDC_BET_PICK_5, IDC_BET_PICK_6, IDC_BET_PICK_7, IDC_BET_PICK_8, IDC_BET_EXACTA}) {
    ASSERT_EQ(PressKey(VK_RIGHT), kLoopStoppedByTest);
    EXPECT_EQ(FocusId(), id);
    EXPECT_EQ(CheckedBetButtons(), std::vector<int>{id}) << "after moving to " << id;
  }
  EXPECT_EQ(Text(RowLabelIds[1]), "2nd");
  EXPECT_FALSE(Visible(RowLabelIds[2]));
}

// The bet-type buttons that are tab stops.
std::vector<int> BetTypeTabStops() {
  std::vector<int> ids;
  for (int id : BetTypeButtonIds) {
    if ((GetWindowLongA(Control(id), GWL_STYLE) & WS_TABSTOP) != 0) ids.push_back(id);
  }
  return ids;
}

// Exactly the checked bet type is a tab stop, from start-up on, so Tab
// reaches the group once, at the chosen bet type.
TEST_F(BetTypeGroupTest, OnlyTheCheckedBetTypeIsATabStop) {
  EXPECT_EQ(BetTypeTabStops(), std::vector<int>{IDC_BET_TRIFECTA}) << "at start-up";
  Focus(IDC_UNIT_1);
  ASSERT_EQ(PressKey(VK_TAB), kLoopStoppedByTest);
  EXPECT_EQ(FocusId(), IDC_BET_TRIFECTA) << "Tab from the units goes to the checked bet type";
  for (int id : {IDC_BET_PICK_8, IDC_BET_SUPERFECTA_6, IDC_BET_EXACTA}) {
    Click(id);
    EXPECT_EQ(BetTypeTabStops(), std::vector<int>{id}) << "after clicking " << id;
  }
}

}  // namespace
}  // namespace tallyhorn::uitest
