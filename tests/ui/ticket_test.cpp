// The ticket box and the hidden count and cost fields after a person has
// chosen a bet type and a unit and ticked horses: the worked event and one
// ticket for every bet type.
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

// A row given as {kAllButton} is filled with its All button.
constexpr int kAllButton = 0;
const std::vector<int> kAll{kAllButton};

struct TicketCase {
  const char* name;
  int betButton;
  int unitButton;
  const char* fieldSize;  // typed into every visible size edit; nullptr keeps 12
  std::vector<std::vector<int>> rows;
  std::string ticket;
  const char* countText;
  const char* costText;
};

std::ostream& operator<<(std::ostream& out, const TicketCase& c) { return out << c.name; }

// "1,2,...,n" for a row of all horses.
std::string Horses(int last) {
  std::string text;
  for (int horse = 1; horse <= last; ++horse) {
    if (horse > 1) text += ',';
    text += std::to_string(horse);
  }
  return text;
}

std::string Rows(int count, int last) {
  std::string text;
  for (int row = 0; row < count; ++row) {
    if (row > 0) text += " / ";
    text += Horses(last);
  }
  return text;
}

class TicketTest : public CalculatorTest, public testing::WithParamInterface<TicketCase> {};

TEST_P(TicketTest, ShowsTheTicketCountAndCost) {
  const TicketCase& c = GetParam();
  Click(c.betButton);
  Click(c.unitButton);
  if (c.fieldSize != nullptr) {
    for (Row row = 0; row < kRowCount; ++row) {
      if (Visible(SizeEditId(row))) TypeSize(row, c.fieldSize);
    }
  }
  for (std::size_t r = 0; r < c.rows.size(); ++r) {
    const Row row = static_cast<Row>(r);
    if (c.rows[r] == kAll) {
      Click(AllButtonId(row));
    } else {
      ClickHorses(row, c.rows[r]);
    }
  }
  EXPECT_EQ(Text(IDC_TICKET), c.ticket);
  EXPECT_EQ(Text(IDC_COUNT_FIELD), c.countText);
  EXPECT_EQ(Text(IDC_COST_FIELD), c.costText);
}

INSTANTIATE_TEST_SUITE_P(
    EveryBetType, TicketTest,
    testing::Values(
        TicketCase{"TrifectaWorkedEvent", IDC_BET_TRIFECTA, IDC_UNIT_1, nullptr, {{1, 2}, {5}, {3, 4}},
                   "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ", " 4", " $4"},
        TicketCase{"ExactaBoxOfThree", IDC_BET_EXACTA, IDC_UNIT_0_05, nullptr, {{1, 2, 3}, {1, 2, 3}},
                   "$0.05 Exacta: 1,2,3 / 1,2,3\r\nBets:  6  Total:  $0.30 ", " 6", " $0.30"},
        TicketCase{"SuperfectaBoxOfFive", IDC_BET_SUPERFECTA, IDC_UNIT_2, nullptr,
                   {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}},
                   "$2 Superfecta: " + Rows(4, 5) + "\r\nBets:  120  Total:  $240 ", " 120", " $240"},
        TicketCase{"Superfecta5Overlapping", IDC_BET_SUPERFECTA_5, IDC_UNIT_0_20, nullptr,
                   {{1, 2, 3}, {1, 2, 3, 4}, {2, 3, 4, 5}, {5, 6}, {7}},
                   "$0.20 Superfecta-5: 1,2,3 / 1,2,3,4 / 2,3,4,5 / 5,6 / 7\r\nBets:  37  Total:  $7.40 ", " 37",
                   " $7.40"},
        TicketCase{"Superfecta6FullField", IDC_BET_SUPERFECTA_6, IDC_UNIT_2, "20", {kAll, kAll, kAll, kAll, kAll, kAll},
                   "$2 Superfecta-6: " + Rows(6, 20) + "\r\nBets:  27,907,200  Total:  $55,814,400 ", " 27,907,200",
                   " $55,814,400"},
        TicketCase{"Pick3AtTenCents", IDC_BET_PICK_3, IDC_UNIT_0_10, nullptr, {{1, 2}, {3, 4, 5}, {6, 7, 8, 9}},
                   "$0.10 Pick-3: 1,2 / 3,4,5 / 6,7,8,9\r\nBets:  24  Total:  $2.40 ", " 24", " $2.40"},
        TicketCase{"Pick4Singles", IDC_BET_PICK_4, IDC_UNIT_3, nullptr, {{1}, {2, 3}, {4}, {5, 6}},
                   "$3 Pick-4: 1 / 2,3 / 4 / 5,6\r\nBets:  4  Total:  $12 ", " 4", " $12"},
        TicketCase{"Pick5SameHorseInEveryRace", IDC_BET_PICK_5, IDC_UNIT_5, nullptr, {{1, 2}, {1}, {1}, {1}, {1, 2, 3}},
                   "$5 Pick-5: 1,2 / 1 / 1 / 1 / 1,2,3\r\nBets:  6  Total:  $30 ", " 6", " $30"},
        TicketCase{"Pick6ThreeEach", IDC_BET_PICK_6, IDC_UNIT_0_20, nullptr,
                   {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}},
                   "$0.20 Pick-6: " + Rows(6, 3) + "\r\nBets:  729  Total:  $145.80 ", " 729", " $145.80"},
        TicketCase{"Pick7AllOfTwelve", IDC_BET_PICK_7, IDC_UNIT_10, nullptr, {kAll, kAll, kAll, kAll, kAll, kAll, kAll},
                   "$10 Pick-7: " + Rows(7, 12) + "\r\nBets:  35,831,808  Total:  $358,318,080 ", " 35,831,808",
                   " $358,318,080"},
        TicketCase{"Pick8FullFieldPastOneBillion", IDC_BET_PICK_8, IDC_UNIT_10, "20",
                   {kAll, kAll, kAll, kAll, kAll, kAll, kAll, kAll},
                   "$10 Pick-8: " + Rows(8, 20) + "\r\nBets:  One Billion+  Total:  $One Billion+ ", " One Billion+",
                   " $One Billion+"},
        TicketCase{"ExactaSameSingleHorseIsNoBet", IDC_BET_EXACTA, IDC_UNIT_1, nullptr, {{1}, {1}}, "", "",
                   "Bets: 0  Total: $0"},
        TicketCase{"TrifectaWithAnEmptyRowIsNoBet", IDC_BET_TRIFECTA, IDC_UNIT_1, nullptr, {{1, 2}, {}, {3}}, "", "",
                   "Bets: 0  Total: $0"}),
    CaseName());

using TicketBoxTest = CalculatorTest;

// What a person types into the ticket box stays until the next
// recalculation, which writes the whole ticket again; typing there does
// not recalculate.
TEST_F(TicketBoxTest, TypedTextLastsUntilTheNextRecalculation) {
  ClickHorses(0, {1, 2});
  ClickHorses(1, {5});
  ClickHorses(2, {3, 4});
  {
    CycleCounter counter;
    SendMessageA(Control(IDC_TICKET), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("my notes"));
    EXPECT_EQ(counter.cycles(), 0);
  }
  EXPECT_EQ(Text(IDC_TICKET), "my notes");
  Click(IDC_UNIT_1);  // already checked: the result does not change
  EXPECT_EQ(Text(IDC_TICKET), "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ");
}

}  // namespace
}  // namespace tallyhorn::uitest
