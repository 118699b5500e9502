// The ticket summary, count text and cost text, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/counting.h"
#include "calc/ticket.h"
#include "tests/reference/ticket_state.h"

namespace tallyhorn {
namespace {

using reference::Horses;
using reference::StateWith;

struct TicketCase {
  std::string name;
  BetType betType;
  UnitCents unitCents;
  std::vector<std::vector<int>> rows;
  FieldSize field;
  const char* ticket;
  const char* countText;
  const char* costText;
};

std::ostream& operator<<(std::ostream& out, const TicketCase& c) { return out << c.name; }

class BuildTicketTest : public testing::TestWithParam<TicketCase> {};

TEST_P(BuildTicketTest, WritesAllThreeTexts) {
  const TicketCase& c = GetParam();
  const TicketTexts texts = BuildTicket(StateWith(c.betType, c.rows, c.field, c.unitCents));
  EXPECT_STREQ(texts.ticket.data(), c.ticket);
  EXPECT_STREQ(texts.countText.data(), c.countText);
  EXPECT_STREQ(texts.costText.data(), c.costText);
}

const std::vector<int> kAll20 = Horses(1, 20);

INSTANTIATE_TEST_SUITE_P(
    Tickets, BuildTicketTest,
    testing::Values(
        TicketCase{"TrifectaWorkedExample", kTrifecta, 100, {{1, 2}, {5}, {3, 4}}, 12,
                   "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ", " 4", " $4"},
        TicketCase{"Pick3AtTenCents", kPick3, 10, {{1, 2}, {3, 4, 5}, {6, 7, 8, 9}}, 12,
                   "$0.10 Pick-3: 1,2 / 3,4,5 / 6,7,8,9\r\nBets:  24  Total:  $2.40 ", " 24", " $2.40"},
        TicketCase{"ExactaAtFiveCents", kExacta, 5, {{1, 2, 3}, {1, 2, 3}}, 12,
                   "$0.05 Exacta: 1,2,3 / 1,2,3\r\nBets:  6  Total:  $0.30 ", " 6", " $0.30"},
        TicketCase{"Superfecta6Full", kSuperfecta6, 200, {kAll20, kAll20, kAll20, kAll20, kAll20, kAll20}, 20,
                   "$2 Superfecta-6: 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / "
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / "
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / "
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20\r\nBets:  27,907,200  Total:  $55,814,400 ",
                   " 27,907,200", " $55,814,400"},
        TicketCase{"Pick8FullAtTenDollars", kPick8, 1000, std::vector<std::vector<int>>(8, Horses(1, 20)), 20,
                   "$10 Pick-8: 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / "
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / "
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / "
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20 / "
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20\r\nBets:  One Billion+  Total:  $One Billion+ ",
                   " One Billion+", " $One Billion+"},
        TicketCase{"Pick4AtTwentyCentsWithGroupedTotal", kPick4, 20, {Horses(1, 10), Horses(1, 10), Horses(1, 10), {5}}, 12,
                   "$0.20 Pick-4: 1,2,3,4,5,6,7,8,9,10 / 1,2,3,4,5,6,7,8,9,10 / 1,2,3,4,5,6,7,8,9,10 / 5\r\n"
                   "Bets:  1,000  Total:  $200 ",
                   " 1,000", " $200"},
        TicketCase{"NothingTicked", kTrifecta, 100, {}, 12, "", "", "Bets: 0  Total: $0"},
        TicketCase{"EmptyRow", kPick3, 100, {{1}, {}, {2}}, 12, "", "", "Bets: 0  Total: $0"},
        TicketCase{"ExactaSameSingleHorse", kExacta, 300, {{1}, {1}}, 12, "", "", "Bets: 0  Total: $0"},
        // Horse 13 is ticked but beyond the field of 12: it is left out of
        // the ticket exactly as it is left out of the count.
        TicketCase{"HiddenTickLeftOut", kTrifecta, 100, {{1, 2, 13}, {5}, {3, 4}}, 12,
                   "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 ", " 4", " $4"},
        TicketCase{"HiddenTickShownOnceTheFieldGrows", kTrifecta, 100, {{1, 2, 13}, {5}, {3, 4}}, 13,
                   "$1 Trifecta: 1,2,13 / 5 / 3,4\r\nBets:  6  Total:  $6 ", " 6", " $6"}),
    [](const testing::TestParamInfo<TicketCase>& test) { return test.param.name; });

TEST(BuildTicket, ListsRowsBeyondTheBetTypeNowhere) {
  // Rows D to H keep their ticks but a Trifecta only reads rows A to C.
  const TicketTexts texts = BuildTicket(StateWith(kTrifecta, {{1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}}, 12));
  EXPECT_STREQ(texts.ticket.data(), "$1 Trifecta: 1 / 2 / 3\r\nBets:  1  Total:  $1 ");
}

TEST(BuildTicket, StateOutsideItsRangeStillGivesBoundedTexts) {
  WagerState state = StateWith(kPick8, std::vector<std::vector<int>>(8, Horses(1, 20)), 20, 4'000'000'000u);
  EXPECT_STREQ(BuildTicket(state).costText.data(), " $One Billion+");

  state.combinationCount = std::numeric_limits<CombinationCount>::max();  // unit * count overflows
  EXPECT_STREQ(BuildTicket(state).costText.data(), " $One Billion+");

  state.betType = 42;
  EXPECT_STREQ(BuildTicket(state).ticket.data(), "");
  EXPECT_STREQ(BuildTicket(state).costText.data(), "Bets: 0  Total: $0");
}

}  // namespace
}  // namespace tallyhorn
