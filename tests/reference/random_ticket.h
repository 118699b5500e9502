// Random tickets as the window would hold them, for tests that read the
// ticket box's text back.
#pragma once

#include <random>

#include "calc/counting.h"
#include "calc/wager.h"

namespace tallyhorn {

// A random bet type and unit, one random field size for every row, and each
// box ticked with a chance of one in `tickOneIn`; the count is stored.
inline WagerState RandomWindowTicket(std::mt19937& random, unsigned tickOneIn) {
  WagerState state;
  state.betType = static_cast<BetType>(random() % kBetTypeCount);
  state.unitCents = UnitAmountTable[random() % kUnitCount].cents;
  state.fieldSize.fill(static_cast<FieldSize>(1 + random() % kMaxFieldSize));
  for (auto& row : state.selections) {
    for (auto& box : row) box = random() % tickOneIn == 0 ? 1 : 0;
  }
  state.combinationCount = CountCombinations(state);
  return state;
}

}  // namespace tallyhorn
