// Counting the combinations a ticket covers, exactly and in time that does not
// grow with the number of combinations.
#pragma once

#include <cstdint>
#include <span>

#include "calc/wager.h"

namespace tallyhorn {

// The horses of one row as bits: bit i set means horse i + 1 is in the row.
using HorseMask = std::uint32_t;

// The number of set bits (horses in a mask, tickets in a set). Written out
// rather than std::popcount, which without a POPCNT target becomes a library
// call in the innermost loops.
constexpr int CountBits(std::uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555u);
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fu;
  return static_cast<int>((x * 0x0101010101010101u) >> 56);
}

// A field size as the core uses it: negative sizes offer no horses, sizes
// above 20 offer the twenty there are.
constexpr FieldSize ClampFieldSize(FieldSize size) {
  return size < 0 ? 0 : (size > kMaxFieldSize ? kMaxFieldSize : size);
}

// The horses that row r of the ticket takes part with: its ticked slots below
// the row's field size. Ticks in boxes hidden beyond the field stay in the
// state but are not part of the ticket.
HorseMask RowHorses(const WagerState& state, Row row);

// Ordered tuples with one horse from each of the given rows and no horse used
// twice (one race, distinct finishing positions). Up to 8 rows; 0 for none.
CombinationCount CountOrderedDistinct(std::span<const HorseMask> rows);

// One horse from each row, rows being separate races: the product of the
// rows' sizes. Up to 8 rows; 0 for none.
CombinationCount CountPick(std::span<const HorseMask> rows);

// The count for a bet type over its rows' horses (rows beyond the type's row
// count are ignored); 0 for a bet type outside the table.
CombinationCount CountRows(BetType betType, std::span<const HorseMask, kRowCount> rows);

// The same rules read from a state.
CombinationCount CountExacta(const WagerState& state);
CombinationCount CountOrderedDistinct(const WagerState& state, int rows);
CombinationCount CountPick(const WagerState& state, int rows);

// The count for the state's bet type. The caller stores it in
// state.combinationCount.
CombinationCount CountCombinations(const WagerState& state);

}  // namespace tallyhorn
