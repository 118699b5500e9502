// The number of distinct combinations a set of tickets covers, against a
// plain walk over every combination of every ticket.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <unordered_set>
#include <vector>

#include "calc/counting.h"
#include "cli/overlap.h"

namespace tallyhorn::cli {
namespace {

// Every combination of the ticket, each as one number naming the bet type
// and the horse of every row, added to seen.
void WalkCombinations(const Ticket& ticket, std::unordered_set<std::uint64_t>& seen) {
  const int rows = RowCountOf(ticket.betType);
  std::vector<int> horses;
  auto walk = [&](auto& self, int row) -> void {
    if (row == rows) {
      std::uint64_t key = static_cast<std::uint64_t>(ticket.betType);
      for (int horse : horses) key = key * 32 + static_cast<std::uint64_t>(horse);
      seen.insert(key);
      return;
    }
    for (int horse = 1; horse <= kSlotCount; ++horse) {
      if ((ticket.rows[static_cast<std::size_t>(row)] >> (horse - 1) & 1u) == 0) continue;
      bool repeated = false;
      for (int used : horses) repeated = repeated || used == horse;
      if (repeated && IsPositionBet(ticket.betType)) continue;
      horses.push_back(horse);
      self(self, row + 1);
      horses.pop_back();
    }
  };
  walk(walk, 0);
}

// The distinct combinations of all tickets, by walking every one.
CombinationCount DistinctByWalking(const std::vector<Ticket>& tickets) {
  std::unordered_set<std::uint64_t> seen;
  for (const Ticket& ticket : tickets) WalkCombinations(ticket, seen);
  return static_cast<CombinationCount>(seen.size());
}

// A ticket of the bet type with the given rows (the unit plays no part).
Ticket Make(BetType betType, std::vector<HorseMask> rows) {
  Ticket ticket;
  ticket.betType = betType;
  for (std::size_t r = 0; r < rows.size(); ++r) ticket.rows[r] = rows[r];
  return ticket;
}

// Random ticket sets small enough to walk: one or two bet types per set, so
// tickets of a type meet often, and dense rows over a small field, so their
// intersections are rarely empty. Every fourth set is long, so that lists are
// also split on their first row rather than only summed over subsets.
TEST(CliOverlap, MatchesWalkingEveryCombination) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 400; ++trial) {
    const BetType types[2] = {static_cast<BetType>(random() % kBetTypeCount), static_cast<BetType>(random() % kBetTypeCount)};
    const std::size_t count = trial % 4 == 3 ? 10 + random() % 60 : 1 + random() % 9;
    std::vector<Ticket> tickets;
    for (std::size_t t = 0; t < count; ++t) {
      const BetType betType = types[random() % 4 == 0 ? 1 : 0];
      const int rows = RowCountOf(betType);
      const int field = rows >= 6 ? 3 + static_cast<int>(count < 10) : (rows >= 4 ? 5 : 7);
      Ticket ticket = Make(betType, {});
      for (Row r = 0; r < rows; ++r) {
        for (int slot = 0; slot < field; ++slot) {
          if (random() % 3 != 0) ticket.rows[static_cast<std::size_t>(r)] |= HorseMask{1} << slot;
        }
      }
      tickets.push_back(ticket);
    }
    ASSERT_EQ(CountDistinct(tickets), DistinctByWalking(tickets)) << "trial " << trial << ", " << count << " tickets";
  }
}

struct OverlapCase {
  std::string name;
  std::vector<Ticket> tickets;
  CombinationCount distinct;
};

std::ostream& operator<<(std::ostream& out, const OverlapCase& c) { return out << c.name; }

class CliOverlapCase : public testing::TestWithParam<OverlapCase> {};

TEST_P(CliOverlapCase, CountsEachCombinationOnce) {
  const OverlapCase& c = GetParam();
  EXPECT_EQ(CountDistinct(c.tickets), c.distinct);
  EXPECT_EQ(DistinctByWalking(c.tickets), c.distinct);
}

constexpr HorseMask kFirstFour = 0b1111;

INSTANTIATE_TEST_SUITE_P(
    Sets, CliOverlapCase,
    testing::Values(
        OverlapCase{"None", {}, 0},
        OverlapCase{"SameTicketThreeTimes",
                    std::vector<Ticket>(3, Make(kTrifecta, {kFirstFour, kFirstFour, kFirstFour})), 24},
        // The same rows under two bet types are different bets.
        OverlapCase{"SameRowsDifferentTypes",
                    {Make(kTrifecta, {kFirstFour, kFirstFour, kFirstFour}), Make(kPick3, {kFirstFour, kFirstFour, kFirstFour})},
                    24 + 64},
        OverlapCase{"KeyHorsesNeverMeet", {Make(kExacta, {0b1, kFirstFour}), Make(kExacta, {0b10, kFirstFour})}, 3 + 3},
        OverlapCase{"ExactaBoxAndKey", {Make(kExacta, {kFirstFour, kFirstFour}), Make(kExacta, {0b1000, 0xFFF})}, 12 + 11 - 3},
        // Rows that meet only in combinations that repeat a horse share
        // nothing in one race, but do share in separate races.
        OverlapCase{"SharedRowsOnlyThroughOneHorse",
                    {Make(kExacta, {0b1, 0b11}), Make(kExacta, {0b11, 0b1}), Make(kPick3, {0b1, 0b1, 0b1}),
                     Make(kPick3, {0b11, 0b1, 0b1})},
                    1 + 1 + 2},
        OverlapCase{"TicketsWithNoCombination", {Make(kExacta, {0b1, 0b1}), Make(kPick3, {0b1, 0, 0b1})}, 0}),
    [](const testing::TestParamInfo<OverlapCase>& test) { return test.param.name; });

// Twenty-four Pick-8 tickets that all meet and none inside another: ticket
// k of race r leaves horses 1 to 6 but k out of race r (k = 1, 2, 3). The
// union misses exactly the tuples whose horse in every race is one that all
// three of its tickets leave out: 4, 5 or 6.
TEST(CliOverlap, CountsManyMeetingTicketsExactly) {
  constexpr HorseMask kTwenty = (HorseMask{1} << 20) - 1;
  constexpr HorseMask kOneToSix = 0b111111;
  std::vector<Ticket> tickets;
  for (int t = 0; t < 24; ++t) {
    std::vector<HorseMask> rows(8, kTwenty);
    rows[static_cast<std::size_t>(t % 8)] &= ~(kOneToSix & ~(HorseMask{1} << (t / 8)));
    tickets.push_back(Make(kPick8, rows));
  }
  CombinationCount all = 1;
  CombinationCount missed = 1;
  for (int r = 0; r < 8; ++r) {
    all *= 20;
    missed *= 3;
  }
  EXPECT_EQ(CountDistinct(tickets), all - missed);
}

}  // namespace
}  // namespace tallyhorn::cli
