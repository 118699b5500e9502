// Builds wager states for tests from horse numbers, row by row.
#pragma once

#include <vector>

#include "calc/counting.h"
#include "calc/wager.h"

namespace tallyhorn::reference {

// A state of the given bet type and unit with every field size set to
// `field` and the listed horses (numbered from 1) ticked in rows A, B, ...
// The combination count is stored as the window stores it.
inline WagerState StateWith(BetType betType, const std::vector<std::vector<int>>& rows, FieldSize field = kMaxFieldSize,
                            UnitCents unitCents = 100) {
  WagerState state;
  state.betType = betType;
  state.unitCents = unitCents;
  state.fieldSize.fill(field);
  for (std::size_t r = 0; r < rows.size() && r < state.selections.size(); ++r) {
    for (int horse : rows[r]) state.selections[r][static_cast<std::size_t>(horse - 1)] = 1;
  }
  state.combinationCount = CountCombinations(state);
  return state;
}

// Horses first to last, for writing "a box of 1 to 5" as Horses(1, 5).
inline std::vector<int> Horses(int first, int last) {
  std::vector<int> horses;
  for (int h = first; h <= last; ++h) horses.push_back(h);
  return horses;
}

}  // namespace tallyhorn::reference
