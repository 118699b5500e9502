// The plain way of counting, kept as the yardstick for the fast count: every
// tuple of a position bet walked and tested, every ticked box of a Pick bet
// counted one by one. Used by the tests, the fuzzers and the benchmarks.
#pragma once

#include <cstdint>

#include "calc/wager.h"

namespace tallyhorn::reference {

// The count for the state's bet type. Position bets are counted by nested
// loops over each row's field, testing every tick and every pair of
// positions for every tuple, with no pruning; the walk takes as many steps as
// TupleSpace(state). Pick bets multiply the rows' ticked boxes below their
// fields. 0 for a bet type outside the table.
CombinationCount CountByEnumeration(const WagerState& state);

// How many tuples CountByEnumeration walks for a position bet: the product of
// the used rows' field sizes (1 for a Pick bet, which walks none).
std::int64_t TupleSpace(const WagerState& state);

}  // namespace tallyhorn::reference
