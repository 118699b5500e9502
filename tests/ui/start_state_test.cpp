// The first window a person sees: Trifecta at "$1", three rows of twelve
// boxes labelled "1st" to "3rd", only row A's size edit, nothing ticked.
#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

using StartStateTest = CalculatorTest;

TEST_F(StartStateTest, ShowsTheDialogWithItsTitleAndIcons) {
  EXPECT_TRUE(IsWindowVisible(dialog));
  std::array<char, 64> title{};
  GetWindowTextA(dialog, title.data(), static_cast<int>(title.size()));
  EXPECT_STREQ(title.data(), "Tallyhorn");
  EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0) << "large icon 103";
  EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0) << "small icon 104";
}

TEST_F(StartStateTest, SelectsTrifectaAtOneDollar) {
  EXPECT_EQ(CheckedBetButtons(), std::vector<int>{IDC_BET_TRIFECTA});
  EXPECT_EQ(CheckedUnitButtons(), std::vector<int>{IDC_UNIT_1});
}

TEST_F(StartStateTest, ShowsThreeRowsOfTwelveBoxesWithNothingTicked) {
  const std::vector<int> twelve{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const char* labels[] = {"1st", "2nd", "3rd"};
  for (Row row = 0; row < kRowCount; ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const bool active = row < 3;
    EXPECT_EQ(Visible(RowLabelIds[static_cast<std::size_t>(row)]), active);
    if (active) {
      EXPECT_EQ(Text(RowLabelIds[static_cast<std::size_t>(row)]), labels[row]);
    }
    EXPECT_EQ(VisibleHorses(row), active ? twelve : std::vector<int>{});
    EXPECT_EQ(TickedHorses(row), std::vector<int>{});
    EXPECT_EQ(Visible(ClearButtonIds[static_cast<std::size_t>(row)]), active);
    EXPECT_EQ(Visible(AllButtonId(row)), active);
    // Every edit says 12; only the first shows, as it sets every position.
    EXPECT_EQ(Visible(SizeEditId(row)), row == 0);
    EXPECT_EQ(Text(SizeEditId(row)), "12");
  }
}

TEST_F(StartStateTest, HasAnEmptyTicketAndTheNoBetsText) {
  EXPECT_EQ(Text(IDC_TICKET), "");
  EXPECT_EQ(Text(IDC_COUNT_FIELD), "");
  EXPECT_EQ(Text(IDC_COST_FIELD), "Bets: 0  Total: $0");
  EXPECT_TRUE(Visible(IDC_TICKET));
  EXPECT_FALSE(Visible(IDC_COUNT_FIELD));
  EXPECT_FALSE(Visible(IDC_COST_FIELD));
}

TEST_F(StartStateTest, ComesBackTheSameForEveryNewCalculator) {
  // Leave a changed calculator behind; the next one starts afresh.
  Click(IDC_BET_PICK_4);
  Click(IDC_UNIT_5);
  ClickHorses(0, {1, 2});
  const std::vector<std::string> changed = FormSnapshot();
  dialog = CreateCalculator(GetModuleHandleA(nullptr));
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(FormSnapshot(), changed);
  EXPECT_EQ(CheckedBetButtons(), std::vector<int>{IDC_BET_TRIFECTA});
  EXPECT_EQ(CheckedUnitButtons(), std::vector<int>{IDC_UNIT_1});
  EXPECT_EQ(TickedHorses(0), std::vector<int>{});
  EXPECT_EQ(Text(IDC_TICKET), "");
}

}  // namespace
}  // namespace tallyhorn::uitest
