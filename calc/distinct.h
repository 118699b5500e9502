// How many different combinations a set of tickets covers, counted exactly
// without walking the combinations.
#pragma once

#include <atomic>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "calc/wager.h"
#include "calc/ticket_read.h"

namespace tallyhorn {

/*
 * The number of combinations covered by at least one of the tickets. Two
 * combinations are the same when the bet type and the horse in every row
 * are; the unit price plays no part. Tickets of different bet types share
 * nothing. Those of one type are counted depth first over their rows, the
 * tickets still live in a part kept as a set, with shortcuts for parts
 * covered whole, parts met before and the last rows (see distinct.cpp). The
 * time depends on the tickets and the rows, never on the number of
 * combinations; the figures for hard sets are in README.md.
 */
CombinationCount CountDistinct(std::span<const Ticket> tickets);

/*
 * The same, given up when cancelled becomes true: the count looks at the
 * flag at every part it splits off (microseconds apart) and answers
 * nothing once it has seen it set.
 * A count that ends before it looks again is whole and is answered. For a
 * count on a worker thread that a newer request makes useless.
 */
std::optional<CombinationCount> CountDistinct(std::span<const Ticket> tickets, const std::atomic<bool>& cancelled);

// The distinct count of each bet type the tickets hold, in bet-type order;
// a bet type whose tickets all cover nothing has its entry, with 0.
using DistinctByBetType = std::vector<std::pair<BetType, CombinationCount>>;

// The counts by bet type, given up as CountDistinct gives up.
std::optional<DistinctByBetType> CountDistinctByBetType(std::span<const Ticket> tickets, const std::atomic<bool>& cancelled);

}  // namespace tallyhorn
