// The keys the calculator answers itself, ahead of the dialog manager's own
// keyboard handling: Ctrl+A, Ctrl+V, Shift+Insert, Ctrl+Z, Ctrl+Y,
// Ctrl+Shift+Z, Enter, Ctrl+Enter.
#pragma once

#include "ui/window_state.h"

namespace tallyhorn {

/*
 * Answers a key meant for the calculator and returns true, or returns false
 * and leaves the message to the dialog manager:
 *   Ctrl+A        in an edit: selects its whole text;
 *   Ctrl+V, Shift+Insert  anywhere but a size edit: the clipboard's
 *                 ticket, if it holds one; otherwise the ticket box pastes
 *                 the text, and elsewhere the calculator beeps;
 *   Ctrl+Z        undoes the last change of the form, in the edits and the
 *                 typing in the ticket box too;
 *   Ctrl+Y, Ctrl+Shift+Z  redo;
 *   Enter         in a size edit selects its number; in the ticket box reads
 *                 the ticket typed there; on a push button presses it; and
 *                 elsewhere does nothing, so it never stands for the
 *                 default button (Help) or closes the calculator. A held
 *                 Enter acts once, not once per repeat;
 *   Ctrl+Enter    anywhere: adds the calculator's ticket to the plan and
 *                 shows the plan window, once however long it is held.
 */
bool TakeCalculatorKey(const MSG& message);

// The beep of a paste that finds nothing to read; MessageBeep, unless a
// test listens in.
extern BOOL(WINAPI* keyBeep)(UINT type);

}  // namespace tallyhorn
