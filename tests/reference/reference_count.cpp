#include "tests/reference/reference_count.h"

#include <array>

namespace tallyhorn::reference {
namespace {

int FieldOf(const WagerState& state, int row) {
  const FieldSize size = state.fieldSize[static_cast<std::size_t>(row)];
  return size < 0 ? 0 : (size > kMaxFieldSize ? kMaxFieldSize : size);
}

bool Ticked(const WagerState& state, int row, int slot) {
  return state.selections[static_cast<std::size_t>(row)][static_cast<std::size_t>(slot)] != 0;
}

CombinationCount EnumeratePositions(const WagerState& state, int rows) {
  std::array<int, kRowCount> field{};
  for (int r = 0; r < rows; ++r) {
    field[static_cast<std::size_t>(r)] = FieldOf(state, r);
    if (field[static_cast<std::size_t>(r)] == 0) return 0;
  }
  // An odometer over the tuple: slot[rows - 1] turns fastest.
  std::array<int, kRowCount> slot{};
  CombinationCount count = 0;
  for (;;) {
    bool good = true;
    for (int r = 0; r < rows; ++r) good = good && Ticked(state, r, slot[static_cast<std::size_t>(r)]);
    for (int a = 0; a < rows; ++a) {
      for (int b = a + 1; b < rows; ++b) good = good && slot[static_cast<std::size_t>(a)] != slot[static_cast<std::size_t>(b)];
    }
    if (good) ++count;

    int r = rows - 1;
    while (r >= 0 && ++slot[static_cast<std::size_t>(r)] == field[static_cast<std::size_t>(r)]) {
      slot[static_cast<std::size_t>(r)] = 0;
      --r;
    }
    if (r < 0) return count;
  }
}

CombinationCount MultiplyRaces(const WagerState& state, int rows) {
  CombinationCount product = 1;
  for (int r = 0; r < rows; ++r) {
    CombinationCount ticked = 0;
    for (int s = 0; s < FieldOf(state, r); ++s) ticked += Ticked(state, r, s) ? 1 : 0;
    product *= ticked;
  }
  return product;
}

}  // namespace

CombinationCount CountByEnumeration(const WagerState& state) {
  if (!IsValidBetType(state.betType)) return 0;
  const int rows = BetTypeTable[static_cast<std::size_t>(state.betType)].rows;
  return IsPositionBet(state.betType) ? EnumeratePositions(state, rows) : MultiplyRaces(state, rows);
}

std::int64_t TupleSpace(const WagerState& state) {
  if (!IsPositionBet(state.betType)) return 1;
  std::int64_t space = 1;
  for (int r = 0; r < BetTypeTable[static_cast<std::size_t>(state.betType)].rows; ++r) space *= FieldOf(state, r);
  return space;
}

}  // namespace tallyhorn::reference
