// The plan's distinct count never holds up the windows: while a large plan
// is counted the summary says so with every figure already known, both
// windows answer, and a change starts the count of the new plan.
#include <random>
#include <string>
#include <vector>

#include "calc/plan_file.h"
#include "tests/ui/plan_fixture.h"

namespace tallyhorn::uitest {
namespace {

// 100 Pick-8 tickets of about ten horses a race out of twenty: seconds of
// counting.
std::string MiddlingPick8File() {
  std::mt19937 random(8);
  std::vector<Ticket> tickets;
  for (int i = 0; i < 100; ++i) {
    Ticket ticket;
    ticket.betType = kPick8;
    ticket.unitCents = 10;
    ticket.fieldSize.fill(kMaxFieldSize);
    for (HorseMask& row : ticket.rows) {
      for (int slot = 0; slot < kSlotCount; ++slot) {
        if (random() % 2 == 0) row |= HorseMask{1} << slot;
      }
      if (row == 0) row = 1;
    }
    tickets.push_back(ticket);
  }
  return PlanFileText(tickets);
}

using PlanCountTest = PlanTest;

TEST_F(PlanCountTest, TheWindowsAnswerWhileALargePlanIsCounted) {
  const std::wstring path = folder / L"pick8.txt";
  WritePlainly(path, MiddlingPick8File());
  AddToPlan({"$1 Exacta: 1 / 2,3"});
  ChooseInFileDialog([] { ClickPlan(kPlanOpenId); }, path);
  ASSERT_EQ(PlanRows().size(), 100u);

  // Counting, with the tickets, bets and cost there already.
  const std::string counting = PlanSummary();
  EXPECT_NE(counting.find("Pick-8: 100 tickets"), std::string::npos) << counting;
  EXPECT_NE(counting.find("counting"), std::string::npos) << counting;
  EXPECT_NE(counting.find("total $"), std::string::npos) << counting;

  // Both windows answer meanwhile: the calculator counts a click, the plan
  // takes a change, and the count starts again for the plan as it is now.
  Click(IDC_RESET);
  Click(IDC_BET_PICK_3);
  ClickHorses(0, {1});
  ClickHorses(1, {2});
  ClickHorses(2, {3});
  EXPECT_EQ(Text(IDC_TICKET).substr(0, 20), "$1 Pick-3: 1 / 2 / 3");
  ClickPlanRow(0);
  PressPlanKey(VK_DELETE);
  EXPECT_EQ(PlanRows().size(), 99u);
  EXPECT_NE(PlanSummary().find("Pick-8: 99 tickets"), std::string::npos) << PlanSummary();
  EXPECT_NE(PlanSummary().find("counting"), std::string::npos);
  PressPlanKey('Z', true);

  WaitForCount();
  const std::string counted = PlanSummary();
  EXPECT_NE(counted.find("Pick-8: 100 tickets"), std::string::npos) << counted;
  EXPECT_NE(counted.find(" distinct, "), std::string::npos) << counted;
  EXPECT_EQ(counted.find("counting"), std::string::npos) << counted;
}

}  // namespace
}  // namespace tallyhorn::uitest
