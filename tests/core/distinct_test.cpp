// The number of distinct combinations a set of tickets covers, against
// walking every combination of every ticket on small random sets, and
// against the plain depth-first walk over the races on the bench families.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "calc/counting.h"
#include "calc/distinct.h"
#include "tests/reference/ticket_sets.h"

namespace tallyhorn {
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

// The distinct combinations by marking each one of every ticket in a table
// of every tuple of the horses used (fast enough for thousands of tickets
// on small fields).
CombinationCount DistinctByMarking(const std::vector<Ticket>& tickets) {
  CombinationCount total = 0;
  for (BetType betType = 0; betType < kBetTypeCount; ++betType) {
    const auto rows = static_cast<std::size_t>(RowCountOf(betType));
    int field = 0;
    for (const Ticket& ticket : tickets) {
      for (std::size_t r = 0; r < rows && ticket.betType == betType; ++r) field = std::max(field, static_cast<int>(std::bit_width(ticket.rows[r])));
    }
    if (field == 0) continue;
    std::size_t space = 1;
    for (std::size_t r = 0; r < rows; ++r) space *= static_cast<std::size_t>(field);
    std::vector<bool> marked(space);
    for (const Ticket& ticket : tickets) {
      if (ticket.betType != betType) continue;
      std::vector<int> horses;
      auto walk = [&](auto& self, std::size_t row, std::size_t index) -> void {
        if (row == rows) {
          if (!marked[index]) marked[index] = true, ++total;
          return;
        }
        for (int horse = 0; horse < field; ++horse) {
          if ((ticket.rows[row] >> horse & 1u) == 0) continue;
          if (IsPositionBet(betType) && std::find(horses.begin(), horses.end(), horse) != horses.end()) continue;
          horses.push_back(horse);
          self(self, row + 1, index * static_cast<std::size_t>(field) + static_cast<std::size_t>(horse));
          horses.pop_back();
        }
      };
      walk(walk, 0, 0);
    }
  }
  return total;
}

// A kind of random ticket set small enough to mark: fields so small that
// tickets meet often, a share of horses in each row, and a range of sizes.
// Dense sets reach the shortcuts for covered parts; long ones (over 128
// tickets of a type) the count over lists of tickets; sets of one or two bet
// types with many rows and a few dozen tickets the memo and the split.
struct RandomShape {
  std::string name;
  int fewest;        // tickets in a set
  int most;
  int field;         // horses 1 to field; one fewer from seven rows
  int percentHeld;   // the chance of each horse being in a row
  int trials;
  bool oneRace = false;  // position bets only, on a field of at least eight
  enum Rows { kRandom, kOneShort, kSameFirst, kMissHorseOne } rows = kRandom;
  // kOneShort: every row holds the whole field but one, a random row that
  // lacks at least one horse;
  // kSameFirst: the first row of every ticket is horses 1 and 2, so parts
  // met under different used horses hold the same tickets; kMissHorseOne:
  // every ticket holds the whole field but horse 1 in a random row and one
  // or two random horses in another, so the tickets are dense, none covers
  // the rest, and horse 1 throughout is still uncovered.
  BetType lastType = kPick8;  // bet types drawn from Exacta up to this one
};

std::ostream& operator<<(std::ostream& out, const RandomShape& shape) { return out << shape.name; }

class CliOverlapRandom : public testing::TestWithParam<RandomShape> {};

TEST_P(CliOverlapRandom, MatchesMarkingEveryCombination) {
  const RandomShape& shape = GetParam();
  std::mt19937 random(5);
  for (int trial = 0; trial < shape.trials; ++trial) {
    const auto typeCount = static_cast<unsigned>(shape.oneRace ? kSuperfecta6 + 1 : shape.lastType + 1);
    const BetType types[2] = {static_cast<BetType>(random() % typeCount), static_cast<BetType>(random() % typeCount)};
    const int count = shape.fewest + static_cast<int>(random() % static_cast<unsigned>(shape.most - shape.fewest + 1));
    std::vector<Ticket> tickets;
    for (int t = 0; t < count; ++t) {
      const BetType betType = types[random() % 4 == 0 ? 1 : 0];
      const int rows = RowCountOf(betType);
      const int field = shape.oneRace ? std::max(shape.field, 8) : (rows >= 7 ? shape.field - 1 : shape.field);
      Ticket ticket = Make(betType, {});
      const Row shortRow = static_cast<Row>(random() % static_cast<unsigned>(rows));
      const Row otherRow = rows == 1 ? shortRow : (shortRow + 1 + static_cast<Row>(random() % static_cast<unsigned>(rows - 1))) % rows;
      for (Row r = 0; r < rows; ++r) {
        HorseMask& row = ticket.rows[static_cast<std::size_t>(r)];
        if (shape.rows == RandomShape::kOneShort && r != shortRow) {
          row = (HorseMask{1} << field) - 1;
        } else if (shape.rows == RandomShape::kSameFirst && r == 0) {
          row = 0b11;
        } else if (shape.rows == RandomShape::kMissHorseOne) {
          row = (HorseMask{1} << field) - 1;
          if (r == shortRow) row &= ~HorseMask{1};
          for (int lack = 0; r == otherRow && r != shortRow && lack < 1 + static_cast<int>(random() % 2); ++lack) {
            row &= ~(HorseMask{1} << (random() % static_cast<unsigned>(field)));
          }
        } else {
          for (int slot = 0; slot < field; ++slot) {
            if (static_cast<int>(random() % 100) < shape.percentHeld) row |= HorseMask{1} << slot;
          }
          if (shape.rows == RandomShape::kOneShort) row &= ~(HorseMask{1} << (random() % static_cast<unsigned>(field)));
        }
      }
      tickets.push_back(ticket);
    }
    ASSERT_EQ(CountDistinct(tickets), DistinctByMarking(tickets))
        << shape.name << " trial " << trial << ": " << count << " tickets of " << BetTypeTable[static_cast<std::size_t>(types[0])].name
        << " and " << BetTypeTable[static_cast<std::size_t>(types[1])].name;
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, CliOverlapRandom,
                         testing::Values(RandomShape{"Few", 1, 9, 5, 67, 300},
                                         RandomShape{"Dozens", 10, 70, 4, 67, 200},
                                         RandomShape{"DozensSparse", 10, 70, 6, 40, 100},
                                         RandomShape{"DozensDense", 20, 70, 5, 85, 60},
                                         RandomShape{"Long", 129, 600, 4, 60, 25},
                                         RandomShape{"LongDense", 129, 600, 5, 85, 15},
                                         RandomShape{"LongSparse", 129, 600, 6, 35, 30},
                                         RandomShape{"OneRaceDozens", 10, 70, 8, 70, 40, true},
                                         RandomShape{"OneRaceDense", 20, 70, 8, 88, 40, true},
                                         RandomShape{"OneRaceLong", 129, 300, 8, 70, 10, true},
                                         RandomShape{"OneShort", 5, 70, 5, 50, 60, false, RandomShape::kOneShort},
                                         RandomShape{"OneShortLong", 129, 400, 7, 50, 20, false, RandomShape::kOneShort, kPick4},
                                         RandomShape{"OneRaceSameFirst", 10, 40, 8, 80, 60, true, RandomShape::kSameFirst},
                                         RandomShape{"MissHorseOne", 20, 70, 5, 100, 60, false, RandomShape::kMissHorseOne},
                                         RandomShape{"MissHorseOneLong", 129, 400, 5, 100, 20, false, RandomShape::kMissHorseOne}),
                         [](const testing::TestParamInfo<RandomShape>& test) { return test.param.name; });

// The bench families against the plain depth-first walk, for the bet types
// and sizes the walk finishes quickly (the timed runs compare the rest).
struct FamilyCase {
  reference::TicketFamily family;
  BetType betType;
  int count;
};

std::ostream& operator<<(std::ostream& out, const FamilyCase& c) {
  return out << reference::FamilyName(c.family) << " " << BetTypeTable[static_cast<std::size_t>(c.betType)].name << " x" << c.count;
}

class CliOverlapFamily : public testing::TestWithParam<FamilyCase> {};

TEST_P(CliOverlapFamily, MatchesThePlainWalk) {
  const FamilyCase& c = GetParam();
  const std::vector<Ticket> tickets = reference::MakeTicketSet(c.family, c.betType, c.count);
  const std::optional<CombinationCount> walked = reference::PlainWalkDistinct(tickets);
  ASSERT_TRUE(walked.has_value());
  EXPECT_EQ(CountDistinct(tickets), *walked) << c;
}

std::vector<FamilyCase> FamilyCases() {
  using reference::TicketFamily;
  std::vector<FamilyCase> cases;
  for (TicketFamily family : {TicketFamily::kDense17, TicketFamily::kDense18, TicketFamily::kDense19, TicketFamily::kMiddling,
                              TicketFamily::kBackups, TicketFamily::kLeaveOneOut, TicketFamily::kNested}) {
    for (BetType betType : {kExacta, kTrifecta, kSuperfecta, kSuperfecta5, kPick3, kPick4, kPick5}) cases.push_back({family, betType, 100});
  }
  for (int count : {30, 60}) cases.push_back({TicketFamily::kMiddling, kPick5, count});
  cases.push_back({TicketFamily::kMiddling12, kPick5, 100});
  cases.push_back({TicketFamily::kMiddling12, kSuperfecta5, 100});
  // Sets the walk finishes quickly at six rows and more; 300 backups take
  // the count over lists.
  for (BetType betType : {kSuperfecta6, kPick6, kPick7, kPick8}) {
    cases.push_back({TicketFamily::kBackups, betType, 100});
    cases.push_back({TicketFamily::kNested, betType, 100});
  }
  // Over 128 tickets: the count over lists of tickets and its shortcuts.
  for (TicketFamily family : {TicketFamily::kDense17, TicketFamily::kMiddling, TicketFamily::kLeaveOneOut, TicketFamily::kBackups}) {
    for (BetType betType : {kSuperfecta5, kPick5}) cases.push_back({family, betType, 300});
  }
  cases.push_back({TicketFamily::kBackups, kPick6, 300});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Families, CliOverlapFamily, testing::ValuesIn(FamilyCases()),
                         [](const testing::TestParamInfo<FamilyCase>& test) {
                           std::string name = reference::FamilyName(test.param.family) + "_" +
                                              BetTypeTable[static_cast<std::size_t>(test.param.betType)].name + "_" +
                                              std::to_string(test.param.count);
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

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

// A plan as a player builds one: several bet types, each from a different
// family, at prices from $0.01 to $1,000, with some tickets repeated at
// another price and a type whose one ticket covers nothing.
std::vector<Ticket> MixedPlan() {
  using reference::TicketFamily;
  struct Part {
    TicketFamily family;
    BetType betType;
    int count;
  };
  std::vector<Ticket> plan;
  std::mt19937 random(3);
  for (const Part& part : {Part{TicketFamily::kMiddling, kPick5, 40}, Part{TicketFamily::kBackups, kSuperfecta, 60},
                           Part{TicketFamily::kDense17, kTrifecta, 30}, Part{TicketFamily::kNested, kPick8, 30},
                           Part{TicketFamily::kLeaveOneOut, kPick4, 20}, Part{TicketFamily::kBackups, kSuperfecta6, 50}}) {
    for (Ticket ticket : reference::MakeTicketSet(part.family, part.betType, part.count)) {
      ticket.unitCents = kLowestUnitCents + static_cast<UnitCents>(random() % kHighestUnitCents);
      plan.push_back(ticket);
      if (random() % 5 == 0) {
        ticket.unitCents = UnitAmountTable[random() % kUnitCount].cents;
        plan.push_back(ticket);
      }
    }
  }
  plan.push_back(Make(kExacta, {0b1, 0}));
  std::shuffle(plan.begin(), plan.end(), random);
  return plan;
}

TEST(PlanDistinct, CountsEachBetTypeOfAMixedPlanAsThePlainWalk) {
  const std::vector<Ticket> plan = MixedPlan();
  const std::atomic<bool> never{false};
  const std::optional<DistinctByBetType> counts = CountDistinctByBetType(plan, never);
  ASSERT_TRUE(counts.has_value());
  const DistinctByBetType expectedTypes{{kExacta, 0}, {kTrifecta, 0}, {kSuperfecta, 0}, {kSuperfecta6, 0},
                                        {kPick4, 0},  {kPick5, 0},    {kPick8, 0}};
  ASSERT_EQ(counts->size(), expectedTypes.size());
  CombinationCount total = 0;
  for (std::size_t i = 0; i < counts->size(); ++i) {
    const BetType betType = (*counts)[i].first;
    const CombinationCount count = (*counts)[i].second;
    EXPECT_EQ(betType, expectedTypes[i].first) << "entry " << i;
    std::vector<Ticket> ofType;
    std::copy_if(plan.begin(), plan.end(), std::back_inserter(ofType), [&](const Ticket& t) { return t.betType == betType; });
    const std::optional<CombinationCount> walked = reference::PlainWalkDistinct(ofType);
    ASSERT_TRUE(walked.has_value());
    EXPECT_EQ(count, *walked) << BetTypeTable[static_cast<std::size_t>(betType)].name;
    total += count;
  }
  EXPECT_EQ(CountDistinct(plan), total);
  EXPECT_EQ(CountDistinct(plan, never), total);
  EXPECT_EQ(reference::PlainWalkDistinct(plan), total);
}

TEST(PlanDistinct, AnswersNothingWhenCancelledBeforeItStarts) {
  const std::vector<Ticket> plan = MixedPlan();
  const std::atomic<bool> cancelled{true};
  EXPECT_EQ(CountDistinct(plan, cancelled), std::nullopt);
  EXPECT_EQ(CountDistinctByBetType(plan, cancelled), std::nullopt);
  // With nothing to count there is nothing to give up.
  EXPECT_EQ(CountDistinctByBetType({}, cancelled), DistinctByBetType{});
}

/*
 * A count of many parts given up part-way: 100 middling Pick-7 tickets take
 * a good fraction of a second (far longer under the sanitizers), and the
 * flag is set a few milliseconds in. A count that ignored the flag would
 * answer its figure; this one must answer nothing, and do so long before
 * the count would have ended. The bound is loose: a quarter of the time the
 * whole count takes here, on the same machine in the same run.
 */
TEST(PlanDistinct, GivesUpSoonAfterTheFlagIsSet) {
  const std::vector<Ticket> tickets = reference::MakeTicketSet(reference::TicketFamily::kMiddling, kPick7, 100);
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const CombinationCount whole = CountDistinct(tickets);
  const Clock::duration wholeTime = Clock::now() - start;
  ASSERT_GT(whole, 0);

  std::atomic<bool> cancelled{false};
  Clock::time_point setAt;
  std::thread canceller([&] {
    std::this_thread::sleep_for(wholeTime / 20);
    setAt = Clock::now();
    cancelled = true;
  });
  const std::optional<CombinationCount> given = CountDistinct(tickets, cancelled);
  const Clock::time_point ended = Clock::now();
  canceller.join();
  EXPECT_EQ(given, std::nullopt);
  EXPECT_LT(ended - setAt, wholeTime / 4) << "whole count " << std::chrono::duration<double, std::milli>(wholeTime).count()
                                           << " ms, stopped "
                                           << std::chrono::duration<double, std::milli>(ended - setAt).count()
                                           << " ms after the flag";
}

}  // namespace
}  // namespace tallyhorn
