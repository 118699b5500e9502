// The horse numbers over the boxes. The template gives them as one text,
// numbers spaced out with blanks; at 96 DPI the blanks put each number over
// its column, but a font's blanks and digits do not grow in step with the
// dialog unit the boxes are placed in, so at other DPIs the numbers drift
// off their boxes (at 144 DPI, "8" ends up over horse 7).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tallyhorn {

/*
 * Makes the dialog's column header draw each number of its text centred
 * over the box of that horse (the first row's boxes, which every row lines
 * up with), with the header's own font, colours and background. Its text
 * and everything else about it stay as they are. Called once for each new
 * dialog; a second call for the same dialog does nothing.
 */
void AlignColumnHeader(HWND dialog);

}  // namespace tallyhorn
