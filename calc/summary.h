// The text of a set of tickets, as tallyhorn-cli prints it and the plan
// copies it: each ticket's two ticket-box lines, then one summary line with
// every figure exact.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "calc/figures.h"
#include "calc/ticket_read.h"

namespace tallyhorn {

/*
 * The two lines the ticket box shows for the ticket, each ended by "\n".
 * The ticket box leaves out the rows when the ticket covers nothing; here
 * the first line is written as it would be for any other count, so the
 * player sees which ticket came to nothing.
 */
std::string PrintedLines(const Ticket& ticket);

// What the summary line adds up.
struct TicketTotals {
  std::size_t tickets = 0;
  WideNumber bets;
  WideNumber cents;

  // Counts the ticket in: its bets and their cost at its unit price.
  void Add(const Ticket& ticket);
};

/*
 * "Tickets: N  Bets: B  Distinct: D  Total: $T", ended by "\n", with
 * "  Rejected: R" before the line end when rejected is not 0. D is the
 * number of combinations the tickets cover at least once (CountDistinct).
 */
std::string SummaryLine(const TicketTotals& totals, CombinationCount distinct, std::size_t rejected = 0);

/*
 * The whole text for a set of tickets, in their order: each ticket's
 * PrintedLines and, for two or more tickets, the SummaryLine. Counts the
 * distinct combinations itself, which can take seconds for large sets of
 * long tickets.
 */
std::string TicketSetText(std::span<const Ticket> tickets);

}  // namespace tallyhorn
