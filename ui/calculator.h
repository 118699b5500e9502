// The calculator window as a whole: creating it in its start state, running
// its message loop, and its dialog procedure. The program's WinMain, the
// window's tests and its benchmarks all go through these.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string_view>

#include "calc/wager.h"

namespace tallyhorn {

/*
 * Brings up the calculator, hidden until it is in its start state: resets
 * the process-wide state, creates the modeless dialog from template 101,
 * gives it its two icons, lays it out, writes 12 into every field-size edit
 * (each write runs a full recalculation), sets the form to `startTicket`
 * when one is given (UTF-8; a text that is not one ticket is explained in
 * a warning box first), shows it and starts the history of changes. A
 * calculator left from an earlier call is destroyed first. Returns the
 * dialog, or nullptr when the dialog cannot be created.
 */
HWND CreateCalculator(HINSTANCE instance, std::string_view startTicket = {});

/*
 * Runs the message loop until WM_QUIT arrives, and returns the code it
 * carries. Keys the calculator answers itself (Ctrl+A, Ctrl+V,
 * Shift+Insert, Ctrl+Z, Ctrl+Y, Enter) are taken first; every other
 * message is offered to the dialog's keyboard handling before it is
 * dispatched.
 */
int RunMessageLoop();

/*
 * Destroys the calculator's dialog and forgets its handles. The program
 * itself never needs this (the process ends with the window); tests and
 * tools that bring up one calculator after another do.
 */
void DestroyCalculator();

// The calculator's dialog, or nullptr while there is none.
HWND CalculatorDialog();

// The process-wide wager state as the last recalculation left it.
const WagerState& CalculatorState();

/*
 * The dialog procedure: answers WM_INITDIALOG with the layout refresh and
 * turns every command into a change of the state or the form followed by a
 * recalculation. Returns TRUE only when it closes the dialog.
 */
INT_PTR CALLBACK CalculatorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tallyhorn
