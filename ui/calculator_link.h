// What the plan window asks of the calculator, and all it asks: the ticket
// the calculator shows, and showing a ticket there.
#pragma once

#include <optional>
#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "calc/ticket_read.h"

namespace tallyhorn {

// The calculator's ticket, or why it is none (no calculator, or a ticket
// that covers no combination).
struct CalculatorTicketReading {
  std::optional<Ticket> ticket;
  std::string reason;
};

/*
 * The ticket the calculator's form shows: its bet type and unit, the horses
 * of each row it counts (the ticked ones within the row's field) and the
 * fields. A ticket that covers no combination is none, with the reason in
 * words ("Race B has no horse ticked").
 */
CalculatorTicketReading CalculatorTicket();

// Sets the calculator's form to the ticket as one step of its undo history;
// a row's field grows only when the ticket lists a horse beyond it.
void ShowTicketInCalculator(const Ticket& ticket);

// The calculator's window, or nullptr while there is none.
HWND CalculatorWindow();

}  // namespace tallyhorn
