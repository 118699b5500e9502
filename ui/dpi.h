// Sharp text at every display scale: the process asks to be laid out at the
// monitor's own DPI instead of being stretched as a bitmap, and the
// calculator's dialog follows a move to a monitor of another DPI.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tallyhorn {

// What the process told the system about its DPI, best first.
enum class DpiAwareness {
  kPerMonitorV2,  // SetProcessDpiAwarenessContext(per monitor, v2) succeeded
  kSystem,        // only SetProcessDPIAware succeeded: the DPI at log-on
  kNone,          // neither call exists or succeeded: stretched by the system
};

// The two user32 functions the request is made with; either may be missing
// (nullptr) on older Windows.
using SetProcessDpiAwarenessContextFunction = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
using SetProcessDpiAwareFunction = BOOL(WINAPI*)();

/*
 * Declares the process DPI aware, before any window exists: per-monitor
 * (version 2) through SetProcessDpiAwarenessContext where user32 has it,
 * otherwise (the function missing, or refusing) system aware through
 * SetProcessDPIAware. Both are looked up at run time, so the program still
 * starts on a Windows that has neither. The result is kept for
 * DeclaredDpiAwareness and written to the debugger output. Call it once,
 * first thing in WinMain.
 */
DpiAwareness DeclareDpiAwareness();

/*
 * The same request made with the functions given (nullptr: not there), so
 * the order of the fallbacks can be tried without the real user32.
 */
DpiAwareness DeclareDpiAwareness(SetProcessDpiAwarenessContextFunction setContext,
                                 SetProcessDpiAwareFunction setAware);

// What the last DeclareDpiAwareness call obtained (kNone before any).
DpiAwareness DeclaredDpiAwareness();

// "per-monitor v2", "system" or "none", for reports and logs.
const char* DpiAwarenessName(DpiAwareness awareness);

/*
 * Makes `dialog` answer WM_DPICHANGED, sent when it moves to a monitor of
 * another DPI (or that monitor's scale changes), by taking the position and
 * size the system suggests for the new DPI. It does so by subclassing the
 * window, so the dialog procedure is left as it is. It also keeps the
 * column header's numbers over their boxes at any DPI (AlignColumnHeader).
 * Called once for each new dialog; a second call for the same window does
 * nothing.
 */
void FollowMonitorDpi(HWND dialog);

// The DPI a window is laid out at: its monitor's under per-monitor
// awareness (GetDpiForWindow, where user32 has it), else the screen's.
UINT WindowDpi(HWND window);

// The DPI of the screen at log-on, which the system's own metrics (the
// message font among them) are given at.
UINT SystemDpi();

// A length given at 96 DPI, at `dpi`.
inline int AtDpi(int length, UINT dpi) { return MulDiv(length, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }

}  // namespace tallyhorn
