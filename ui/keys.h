// The keys the calculator answers itself, ahead of the dialog manager's own
// keyboard handling: Ctrl+A, Ctrl+V, Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z, Enter.
#pragma once

#include "ui/window_state.h"

namespace tallyhorn {

/*
 * Answers a key meant for the calculator and returns true, or returns false
 * and leaves the message to the dialog manager:
 *   Ctrl+A        in an edit: selects its whole text;
 *   Ctrl+V        anywhere but a size edit: the clipboard's ticket, if it
 *                 holds one (otherwise the ticket box pastes the text);
 *   Ctrl+Z        undoes the last change of the form, in the edits too;
 *   Ctrl+Y, Ctrl+Shift+Z  redo;
 *   Enter         in a size edit selects its number; in the ticket box reads
 *                 the ticket typed there; on a push button presses it; and
 *                 elsewhere does nothing, so it never stands for the
 *                 default button (Help) or closes the calculator.
 */
bool TakeCalculatorKey(const MSG& message);

}  // namespace tallyhorn
