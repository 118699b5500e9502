// How many different combinations a set of tickets covers, counted exactly
// without walking the combinations.
#pragma once

#include <span>

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

}  // namespace tallyhorn
