#include "calc/summary.h"

#include <string_view>

#include "calc/distinct.h"
#include "calc/ticket.h"

namespace tallyhorn {

std::string PrintedLines(const Ticket& ticket) {
  WagerState state = StateOf(ticket);
  const bool coversNothing = state.combinationCount == 0;
  if (coversNothing) state.combinationCount = 1;  // only the first line is kept
  const TicketTexts texts = BuildTicket(state);
  const std::string_view box = texts.ticket.data();
  const std::size_t lineBreak = box.find("\r\n");
  std::string lines(box.substr(0, lineBreak));
  lines += '\n';
  lines += coversNothing ? kNoBetsCostText : box.substr(lineBreak + 2);
  lines += '\n';
  return lines;
}

void TicketTotals::Add(const Ticket& ticket) {
  // StateOf counts the ticket. Counts are never negative; the sums are
  // exact however many tickets.
  const auto count = static_cast<std::uint64_t>(StateOf(ticket).combinationCount);
  ++tickets;
  bets.Add(count);
  cents.AddProduct(count, ticket.unitCents);
}

std::string SummaryLine(const TicketTotals& totals, CombinationCount distinct, std::size_t rejected) {
  std::string line = "Tickets: " + GroupedDigits(WideNumber(totals.tickets)) + "  Bets: " + GroupedDigits(totals.bets) +
                     "  Distinct: " + GroupedDigits(WideNumber(static_cast<std::uint64_t>(distinct))) + "  Total: $" +
                     GroupedDollars(totals.cents);
  if (rejected != 0) line += "  Rejected: " + GroupedDigits(WideNumber(rejected));
  line += '\n';
  return line;
}

std::string TicketSetText(std::span<const Ticket> tickets) {
  std::string text;
  TicketTotals totals;
  for (const Ticket& ticket : tickets) {
    text += PrintedLines(ticket);
    totals.Add(ticket);
  }
  if (tickets.size() >= 2) text += SummaryLine(totals, CountDistinct(tickets));
  return text;
}

}  // namespace tallyhorn
