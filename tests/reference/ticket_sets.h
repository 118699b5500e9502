// Sets of tickets for timing and checking the distinct count of
// tallyhorn-cli, and the plain depth-first walk that count is checked and
// timed against. Used by the CLI tests and the benchmarks.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/ticket_read.h"

namespace tallyhorn::reference {

// How a family draws its tickets; every draw is fixed by the seed, so a
// family, bet type and count give the same tickets on every machine.
enum class TicketFamily {
  kDense17,     // 17 random horses of 20 in every row
  kDense18,     // 18 of 20
  kDense19,     // 19 of 20
  kMiddling,    // 14 to 17 random horses of 20 in every row
  kMiddling12,  // 12 to 15 of 20
  kBackups,     // 3 to 8 random horses of 1 to 12 in every row
  kLeaveOneOut, // all 20 horses in every row but one, which leaves out one random horse
  kNested,      // each ticket inside the next: every row grows by random horses of 20
};

// A short name for tables: "dense17", "backups", "leave1out" ...
std::string FamilyName(TicketFamily family);

std::vector<Ticket> MakeTicketSet(TicketFamily family, BetType betType, int count, std::uint32_t seed = 7);

/*
 * The distinct combinations of the tickets by the plain walk: for each bet
 * type, depth first over the rows with the live tickets as a bit set, every
 * horse of a row taken in turn (in one race, none taken twice), the last row
 * counted at once, a part ending when no ticket is live. Nothing else is
 * pruned or shared. Gives up (no value) after maxSteps parts, and then sets
 * *doneShare, when given, to the share of the walk it had done, judged by
 * the horses reached on the path it was on (about right for dense sets).
 */
std::optional<CombinationCount> PlainWalkDistinct(std::span<const Ticket> tickets,
                                                  std::uint64_t maxSteps = UINT64_MAX, double* doneShare = nullptr);

}  // namespace tallyhorn::reference
