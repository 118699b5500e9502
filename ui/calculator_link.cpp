#include "ui/calculator_link.h"

#include "calc/counting.h"
#include "ui/calculator.h"
#include "ui/ticket_entry.h"

namespace tallyhorn {

CalculatorTicketReading CalculatorTicket() {
  CalculatorTicketReading reading;
  const HWND dialog = CalculatorDialog();
  if (dialog == nullptr) {
    reading.reason = "the calculator is not open";
    return reading;
  }
  const WagerState& state = CalculatorState();
  Ticket ticket;
  ticket.betType = state.betType;
  ticket.unitCents = state.unitCents;
  ticket.fieldSize = state.fieldSize;
  const Row rows = RowCountOf(state.betType);
  for (Row r = 0; r < rows; ++r) {
    const HorseMask horses = RowHorses(state, r);
    ticket.rows[static_cast<std::size_t>(r)] = horses;
    if (horses == 0 && reading.reason.empty()) reading.reason = std::string(RowLabel(state.betType, r)) + " has no horse ticked";
  }
  if (reading.reason.empty() && CountCombinations(StateOf(ticket)) == 0) {
    reading.reason = "its rows leave no way to pick a different horse for every position";
  }
  if (reading.reason.empty()) reading.ticket = ticket;
  return reading;
}

void ShowTicketInCalculator(const Ticket& ticket) {
  const HWND dialog = CalculatorDialog();
  if (dialog == nullptr) return;
  // Fields only as large as the horses need: the calculator keeps the
  // fields it shows unless the ticket goes beyond them. A one-race bet has
  // one field for all its rows.
  Ticket shown = ticket;
  FieldSize highest = 0;
  for (std::size_t r = 0; r < shown.rows.size(); ++r) {
    FieldSize row = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      if (((shown.rows[r] >> slot) & 1u) != 0) row = slot + 1;
    }
    shown.fieldSize[r] = row;
    if (row > highest) highest = row;
  }
  if (IsPositionBet(shown.betType)) shown.fieldSize.fill(highest);
  ShowTicket(dialog, shown);
}

HWND CalculatorWindow() { return CalculatorDialog(); }

}  // namespace tallyhorn
