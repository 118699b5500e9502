// Tickets into the form: a ticket pasted from the clipboard, typed into the
// ticket box, or given on the command line sets the form to that ticket.
#pragma once

#include <string_view>

#include "calc/ticket_read.h"
#include "ui/window_state.h"

namespace tallyhorn {

/*
 * Reads a text that is to hold exactly one ticket (blank lines, "#" lines
 * and "Bets:" lines aside) against the form's field sizes, letting a row's
 * field grow to the highest horse it lists.
 */
TicketReading ReadFormTicket(std::string_view text);

/*
 * Sets the form to a ticket as one action: its bet type and unit, every box
 * unticked (hidden ones too) and then its horses ticked, the size edits
 * whose field the ticket grew rewritten, and one recalculation.
 */
void ShowTicket(HWND dialog, const Ticket& ticket);

/*
 * Ctrl+V: when the clipboard's text is one ticket, the form shows it and
 * this returns true; otherwise nothing changes and it returns false.
 */
bool PasteTicket(HWND dialog);

/*
 * Sets the price of one combination as one action, every tick and size
 * kept: any whole number of cents from $0.01 to $1,000, one of the eight
 * unit buttons' or not.
 */
void SetUnitPrice(HWND dialog, UnitCents price);

/*
 * Enter in the ticket box. The text the calculator wrote there, unchanged,
 * and a text with nothing to read (empty, blanks) change nothing. A price
 * alone ("$0.50") sets the price and keeps the ticks; one ticket sets the
 * form to it. Anything else leaves the form and the text as they are and
 * says why in a warning box, once however long Enter is held.
 */
void EnterTypedTicket(HWND dialog);

/*
 * The ticket given on the command line, read from the start state; a text
 * that is not one ticket is explained in a warning box and leaves the start
 * state as it is.
 */
void OpenStartTicket(HWND dialog, std::string_view text);

}  // namespace tallyhorn
