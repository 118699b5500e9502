// Combination counts for every bet type: worked cases, the largest tickets,
// ticks hidden beyond a field, and the fast count against plain enumeration.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "calc/counting.h"
#include "tests/reference/reference_count.h"
#include "tests/reference/ticket_state.h"

namespace tallyhorn {
namespace {

using reference::Horses;
using reference::StateWith;

struct CountCase {
  std::string name;
  BetType betType;
  std::vector<std::vector<int>> rows;
  FieldSize field;
  CombinationCount expected;
};

std::ostream& operator<<(std::ostream& out, const CountCase& c) { return out << c.name; }

class CountTest : public testing::TestWithParam<CountCase> {};

TEST_P(CountTest, CountsTheTicket) {
  const CountCase& c = GetParam();
  const WagerState state = StateWith(c.betType, c.rows, c.field);
  EXPECT_EQ(CountCombinations(state), c.expected);
  if (reference::TupleSpace(state) <= 1'000'000) {
    EXPECT_EQ(reference::CountByEnumeration(state), c.expected);
  }
}

const std::vector<int> kAll20 = Horses(1, 20);

INSTANTIATE_TEST_SUITE_P(
    Tickets, CountTest,
    testing::Values(
        CountCase{"ExactaBoxOfThree", kExacta, {{1, 2, 3}, {1, 2, 3}}, 12, 6},
        CountCase{"ExactaSameSingleHorse", kExacta, {{1}, {1}}, 12, 0},
        CountCase{"ExactaKeyOverTwo", kExacta, {{4}, {1, 4, 7}}, 12, 2},
        CountCase{"TrifectaBoxOfFour", kTrifecta, {Horses(1, 4), Horses(1, 4), Horses(1, 4)}, 12, 24},
        CountCase{"TrifectaWorkedExample", kTrifecta, {{1, 2}, {5}, {3, 4}}, 12, 4},
        CountCase{"TrifectaTwoHorsesThreeRows", kTrifecta, {{1, 2}, {1, 2}, {1, 2}}, 12, 0},
        CountCase{"TrifectaEmptyRow", kTrifecta, {{1, 2}, {}, {3, 4}}, 12, 0},
        CountCase{"SuperfectaBoxOfFive", kSuperfecta, {Horses(1, 5), Horses(1, 5), Horses(1, 5), Horses(1, 5)}, 12, 120},
        CountCase{"Superfecta5BoxOfSix", kSuperfecta5, {Horses(1, 6), Horses(1, 6), Horses(1, 6), Horses(1, 6), Horses(1, 6)}, 12, 720},
        CountCase{"Superfecta6Full", kSuperfecta6, {kAll20, kAll20, kAll20, kAll20, kAll20, kAll20}, 20, 27'907'200},
        CountCase{"Superfecta6FieldZero", kSuperfecta6, {kAll20, kAll20, kAll20, kAll20, kAll20, kAll20}, 0, 0},
        CountCase{"Superfecta6Staircase", kSuperfecta6, {{1}, {1, 2}, {1, 2, 3}, {1, 2, 3, 4}, Horses(1, 5), Horses(1, 6)}, 12, 1},
        CountCase{"Pick3TwoThreeFour", kPick3, {{1, 2}, {3, 4, 5}, {6, 7, 8, 9}}, 12, 24},
        CountCase{"Pick3EmptyRow", kPick3, {{1, 2}, {}, {6, 7, 8, 9}}, 12, 0},
        CountCase{"Pick4SameHorseEveryRace", kPick4, {{3}, {3}, {3}, {3}}, 12, 1},
        CountCase{"Pick6FullField", kPick6, {kAll20, kAll20, kAll20, kAll20, kAll20, kAll20}, 20, 64'000'000},
        CountCase{"Pick8Full", kPick8, {kAll20, kAll20, kAll20, kAll20, kAll20, kAll20, kAll20, kAll20}, 20, 25'600'000'000},
        CountCase{"Pick8SixteenEach", kPick8, std::vector<std::vector<int>>(8, Horses(1, 16)), 20, 4'294'967'296}),
    [](const testing::TestParamInfo<CountCase>& test) { return test.param.name; });

// Horse 13 ticked while the field was larger, then the field shrunk to 12:
// the tick stays in the state, but no rule counts it until the field grows.
TEST(HiddenTicks, AreLeftOutOfEveryCountUntilTheFieldGrowsBack) {
  for (BetType betType = 0; betType < kBetTypeCount; ++betType) {
    std::vector<std::vector<int>> rows(static_cast<std::size_t>(RowCountOf(betType)), std::vector<int>{1, 2, 3, 4, 5, 6, 7});
    WagerState state = StateWith(betType, rows, 12);
    const CombinationCount withoutHidden = CountCombinations(state);
    state.selections[0][12] = 1;  // horse 13 in the first row, beyond the field
    EXPECT_EQ(CountCombinations(state), withoutHidden) << BetTypeTable[static_cast<std::size_t>(betType)].name;
    EXPECT_EQ(RowHorses(state, 0) & (HorseMask{1} << 12), 0u);
    state.fieldSize.fill(13);
    EXPECT_GT(CountCombinations(state), withoutHidden) << BetTypeTable[static_cast<std::size_t>(betType)].name;
  }
}

TEST(CountCombinations, DispatchesEachBetTypeToItsRule) {
  const WagerState state = StateWith(kTrifecta, std::vector<std::vector<int>>(8, Horses(1, 9)), 12);
  const std::array<CombinationCount, kBetTypeCount> expected{
      9 * 8, 9 * 8 * 7, 9 * 8 * 7 * 6, 9 * 8 * 7 * 6 * 5, 9 * 8 * 7 * 6 * 5 * 4,
      729, 6561, 59049, 531441, 4782969, 43046721};
  for (BetType betType = 0; betType < kBetTypeCount; ++betType) {
    WagerState typed = state;
    typed.betType = betType;
    EXPECT_EQ(CountCombinations(typed), expected[static_cast<std::size_t>(betType)]) << betType;
  }
  EXPECT_EQ(CountExacta(state), expected[0]);
  EXPECT_EQ(CountOrderedDistinct(state, 6), expected[4]);
  EXPECT_EQ(CountPick(state, 8), expected[10]);
}

TEST(CountCombinations, OutOfRangeInputsCountNothingOrClamp) {
  WagerState state = StateWith(kTrifecta, {{1, 2}, {3}, {4}}, 12);
  for (BetType bad : {-1, 11, 0x7fffffff}) {
    state.betType = bad;
    EXPECT_EQ(CountCombinations(state), 0) << bad;
  }
  state.betType = kTrifecta;
  state.fieldSize.fill(-5);
  EXPECT_EQ(CountCombinations(state), 0);
  state.fieldSize.fill(1000);  // more than twenty reads as twenty
  EXPECT_EQ(CountCombinations(state), 2);
  EXPECT_EQ(CountOrderedDistinct(state, 0), 0);
  EXPECT_EQ(CountOrderedDistinct(state, 9), 0);
  EXPECT_EQ(CountPick(state, -1), 0);
}

// Random tickets: overlapping rows, empty rows, field sizes 0 to 20, ticks
// beyond the field, non-1 tick values. Fields are drawn small enough for the
// enumeration to walk every tuple.
TEST(CountCombinations, EqualsPlainEnumerationOnRandomTickets) {
  std::mt19937 random(20261210);
  const auto draw = [&random](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
  constexpr std::array<int, kBetTypeCount> kLargestField{20, 20, 12, 8, 6, 20, 20, 20, 20, 20, 20};
  for (int round = 0; round < 3000; ++round) {
    WagerState state;
    state.betType = draw(kBetTypeCount);
    const int largest = kLargestField[static_cast<std::size_t>(state.betType)];
    const FieldSize field = draw(largest + 1);
    const bool samePerRow = IsPositionBet(state.betType) || draw(2) == 0;
    const int density = draw(100);
    for (std::size_t r = 0; r < kRowCount; ++r) {
      state.fieldSize[r] = samePerRow ? field : draw(largest + 1);
      for (auto& tick : state.selections[r]) tick = draw(100) < density ? draw(3) + 1 : 0;
    }
    ASSERT_EQ(CountCombinations(state), reference::CountByEnumeration(state))
        << "round " << round << ", bet type " << state.betType << ", first field " << state.fieldSize[0];
  }
}

}  // namespace
}  // namespace tallyhorn
