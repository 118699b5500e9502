// How many different combinations a set of tickets covers, counted exactly
// without walking the combinations.
#pragma once

#include <span>

#include "calc/wager.h"
#include "calc/ticket_read.h"

namespace tallyhorn::cli {

/*
 * The number of combinations covered by at least one of the tickets. Two
 * combinations are the same when the bet type and the horse in every row
 * are; the unit price plays no part. Tickets of different bet types share
 * nothing; those of one type are combined by inclusion-exclusion, where the
 * combinations two tickets share are those of the row-by-row intersection of
 * their horses.
 */
CombinationCount CountDistinct(std::span<const Ticket> tickets);

}  // namespace tallyhorn::cli
