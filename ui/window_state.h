// The window's process-wide state: the one wager state record and the two
// handles start-up keeps. Everything in ui/ reads and writes these.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "calc/wager.h"

namespace tallyhorn {

// The form holds the master copy of the ticks and of the size edits' texts;
// the state keeps the copies taken by the last read of the form.
extern WagerState wagerState;
// The program's module, and the calculator dialog (nullptr while there is
// none).
extern HINSTANCE calculatorInstance;
extern HWND calculatorDialog;

}  // namespace tallyhorn
