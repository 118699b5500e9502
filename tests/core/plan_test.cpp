// The plan: every change is one step that undo takes back and redo makes
// again, the history is bounded, and the summary's figures are exact by bet
// type.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/plan.h"
#include "calc/summary.h"

namespace tallyhorn {
namespace {

Ticket Read(const std::string& text) {
  FieldSizes fields;
  fields.fill(kMaxFieldSize);
  const TicketReading reading = ReadTicket(text, fields, FieldRule::kFixed);
  EXPECT_TRUE(reading.ticket.has_value()) << text << ": " << reading.error;
  return reading.ticket.value_or(Ticket{});
}

// The plan's tickets as the ticket box writes them, in order.
std::vector<std::string> Lines(const Plan& plan) {
  std::vector<std::string> lines;
  for (const Ticket& ticket : plan.Tickets()) lines.push_back(RowTextsOf(ticket).line);
  return lines;
}

const std::string kA = "$1 Trifecta: 1,2 / 5 / 3,4";
const std::string kB = "$0.10 Pick-4: 1,2,3 / 4 / 5,6 / 7";
const std::string kC = "$2 Exacta: 1 / 2,3";
const std::string kD = "$0.50 Trifecta: 1 / 2 / 3";

struct ChangeCase {
  std::string name;
  std::function<std::optional<std::size_t>(Plan&)> change;
  std::vector<std::string> after;
  std::size_t select;
};

std::ostream& operator<<(std::ostream& out, const ChangeCase& c) { return out << c.name; }

class PlanChange : public testing::TestWithParam<ChangeCase> {
 protected:
  PlanChange() : plan(500) {
    for (const std::string& text : {kA, kB, kC}) plan.Add(Read(text));
  }
  Plan plan;
};

TEST_P(PlanChange, IsOneStepUndoneAndRedone) {
  const ChangeCase& c = GetParam();
  const std::vector<std::string> before = Lines(plan);
  const std::uint64_t stateBefore = plan.State();

  const std::optional<std::size_t> select = c.change(plan);
  ASSERT_TRUE(select.has_value());
  EXPECT_EQ(*select, c.select);
  EXPECT_EQ(Lines(plan), c.after);
  const std::uint64_t stateAfter = plan.State();
  EXPECT_NE(stateAfter, stateBefore);

  ASSERT_TRUE(plan.Undo().has_value());
  EXPECT_EQ(Lines(plan), before);
  EXPECT_EQ(plan.State(), stateBefore);
  ASSERT_TRUE(plan.Redo().has_value());
  EXPECT_EQ(Lines(plan), c.after);
  EXPECT_EQ(plan.State(), stateAfter);
  EXPECT_FALSE(plan.Redo().has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Changes, PlanChange,
    testing::Values(
        ChangeCase{"Add", [](Plan& p) { return std::optional(p.Add(Read(kD))); }, {kA, kB, kC, kD}, 3},
        ChangeCase{"Replace", [](Plan& p) { return p.Replace(1, Read(kD)); }, {kA, kD, kC}, 1},
        ChangeCase{"RemoveFirst", [](Plan& p) { return p.Remove(0); }, {kB, kC}, 0},
        ChangeCase{"RemoveLast", [](Plan& p) { return p.Remove(2); }, {kA, kB}, 1},
        ChangeCase{"MoveUp", [](Plan& p) { return p.MoveUp(2); }, {kA, kC, kB}, 1},
        ChangeCase{"MoveDown", [](Plan& p) { return p.MoveDown(0); }, {kB, kA, kC}, 1},
        ChangeCase{"New", [](Plan& p) { return p.Clear(); }, {}, 0},
        ChangeCase{"Open", [](Plan& p) { return p.Open({Read(kD), Read(kA)}); }, {kD, kA}, 0}),
    [](const testing::TestParamInfo<ChangeCase>& test) { return test.param.name; });

// Changes that would leave the plan as it is take no step, so the step that
// could be redone stays.
TEST(Plan, ChangesThatChangeNothingTakeNoStep) {
  Plan plan(500);
  EXPECT_FALSE(plan.Clear().has_value()) << "New on an empty plan";
  plan.Add(Read(kA));
  plan.Add(Read(kB));
  plan.Add(Read(kC));
  ASSERT_TRUE(plan.Undo().has_value());
  const std::uint64_t state = plan.State();
  EXPECT_FALSE(plan.Replace(0, Read(kA)).has_value()) << "the same bet";
  EXPECT_FALSE(plan.Replace(2, Read(kD)).has_value()) << "a row past the end";
  EXPECT_FALSE(plan.Remove(2).has_value());
  EXPECT_FALSE(plan.MoveUp(0).has_value());
  EXPECT_FALSE(plan.MoveDown(1).has_value());
  EXPECT_FALSE(plan.Open({Read(kA), Read(kB)}).has_value()) << "the same tickets";
  EXPECT_EQ(plan.State(), state);
  ASSERT_TRUE(plan.Redo().has_value());
  EXPECT_EQ(Lines(plan), (std::vector<std::string>{kA, kB, kC}));
}

// The history keeps as many steps as it is given, the latest ones; a new
// change drops what could be redone; a reset starts the history afresh.
TEST(Plan, HistoryIsBoundedAndStartsAfresh) {
  Plan plan(3);
  for (int i = 1; i <= 5; ++i) plan.Add(Read("$1 Exacta: " + std::to_string(i) + " / ALL"));
  int undone = 0;
  while (plan.Undo()) ++undone;
  EXPECT_EQ(undone, 3);
  EXPECT_EQ(plan.Size(), 2u);

  ASSERT_TRUE(plan.Redo().has_value());
  plan.Add(Read(kA));
  EXPECT_FALSE(plan.Redo().has_value());

  plan.Reset({Read(kB)});
  EXPECT_FALSE(plan.CanUndo());
  EXPECT_FALSE(plan.CanRedo());
  EXPECT_EQ(Lines(plan), std::vector<std::string>{kB});
}

// Undo back to the tickets of an earlier state gives its number again, and
// no later change ever gives an earlier number: a saved state is known when
// it comes back, and only then.
TEST(Plan, StatesComeBackWithTheirTickets) {
  Plan plan(500);
  plan.Add(Read(kA));
  const std::uint64_t saved = plan.State();
  plan.Add(Read(kB));
  ASSERT_TRUE(plan.Undo().has_value());
  EXPECT_EQ(plan.State(), saved);
  plan.Add(Read(kB));  // the same tickets as before the undo, by a new step
  EXPECT_NE(plan.State(), saved);
  ASSERT_TRUE(plan.Undo().has_value());
  EXPECT_EQ(plan.State(), saved);
}

TEST(PlanSummary, ByBetTypeWithRepeatsAndTheWholeCost) {
  // Two Trifectas sharing 1-5-3 and 1-5-4, a Pick-4 and an Exacta bet
  // twice.
  const std::vector<Ticket> tickets{Read(kA), Read(kB), Read("$1 Trifecta: 1 / 5 / 3,4,6"), Read(kC), Read(kC)};
  const PlanFigures figures = FiguresOf(tickets);
  ASSERT_EQ(figures.byType.size(), 3u);

  const std::optional<DistinctByBetType> distinct = CountDistinctByBetType(tickets, std::atomic<bool>(false));
  ASSERT_TRUE(distinct.has_value());
  EXPECT_EQ(PlanSummaryText(figures, distinct),
            "Exacta: 2 tickets, 4 bets, 2 distinct, 2 repeats\r\n"
            "Trifecta: 2 tickets, 7 bets, 5 distinct, 2 repeats\r\n"
            "Pick-4: 1 ticket, 6 bets, 6 distinct, 0 repeats\r\n"
            "Plan: 5 tickets, 17 bets, total $15.60");
  // While the count runs, everything else is already there.
  EXPECT_EQ(PlanSummaryText(figures, std::nullopt),
            "Exacta: 2 tickets, 4 bets, counting\xE2\x80\xA6\r\n"
            "Trifecta: 2 tickets, 7 bets, counting\xE2\x80\xA6\r\n"
            "Pick-4: 1 ticket, 6 bets, counting\xE2\x80\xA6\r\n"
            "Plan: 5 tickets, 17 bets, total $15.60");
  EXPECT_EQ(PlanSummaryText(FiguresOf({}), std::nullopt).find("No tickets"), 0u);
}

// Figures past a billion and past 64 bits are written in full, in the list
// and in the summary.
TEST(PlanSummary, FiguresAreExactAtAnySize) {
  const Ticket pick8 = Read("$1000 Pick-8: ALL / ALL / ALL / ALL / ALL / ALL / ALL / ALL");
  const TicketRowTexts row = RowTextsOf(pick8);
  EXPECT_EQ(row.bets, "25,600,000,000");
  EXPECT_EQ(row.cost, "$25,600,000,000,000");

  // The cost passes 2^64 cents after 7,206 such tickets.
  const std::vector<Ticket> tickets(8'000, pick8);
  const PlanFigures figures = FiguresOf(tickets);
  EXPECT_EQ(GroupedDigits(figures.bets), "204,800,000,000,000");
  EXPECT_EQ(GroupedDollars(figures.cents), "204,800,000,000,000,000");
  const DistinctByBetType distinct{{kPick8, 25'600'000'000}};
  EXPECT_EQ(PlanSummaryText(figures, distinct),
            "Pick-8: 8,000 tickets, 204,800,000,000,000 bets, 25,600,000,000 distinct, "
            "204,774,400,000,000 repeats\r\n"
            "Plan: 8,000 tickets, 204,800,000,000,000 bets, total $204,800,000,000,000,000");
  EXPECT_EQ(RowTextsOf(Read("$0.20 Exacta: 1,2 / 1,2,3")).cost, "$0.80");
}

}  // namespace
}  // namespace tallyhorn
