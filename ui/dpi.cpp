#include "ui/dpi.h"

#include <cstdio>

#include "ui/column_header.h"

namespace tallyhorn {

namespace {

DpiAwareness declared = DpiAwareness::kNone;

// The window property that holds a subclassed dialog's previous procedure.
constexpr const char* kPreviousProcedure = "Tallyhorn.DpiPreviousProcedure";

/*
 * The subclass procedure: WM_DPICHANGED goes first to the dialog's own
 * procedure (where the system's dialog handling lays the font and controls
 * out again at the new DPI), then the window is moved and sized to the
 * rectangle the system suggests (in lParam), which keeps it under the
 * pointer while it is dragged between monitors and gives it the size its
 * content has at the new DPI. Every other message goes on to the dialog's
 * own procedure. The property is dropped with the window.
 */
LRESULT CALLBACK FollowDpiProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcedure));
  if (message == WM_DPICHANGED && lParam != 0) {
    if (previous != nullptr) CallWindowProcA(previous, window, message, wParam, lParam);
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  if (message == WM_NCDESTROY) {
    RemovePropA(window, kPreviousProcedure);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  if (previous == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

// A user32 function by name, or nullptr on a Windows without it.
template <class Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return nullptr;
  // GetProcAddress returns a generic function pointer; the cast through
  // void* to the real type is the documented way to call it.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

/*
 * Per-monitor version 2 first: the system then scales the title bar and
 * frame too, and lays a dialog's font and controls out again at a new
 * monitor's DPI. Per-monitor version 1 is not tried: it would leave the
 * dialog's controls at the old size after a move, worse than system
 * awareness, which is sharp on the main monitor and stretched elsewhere.
 */
DpiAwareness DeclareDpiAwareness(SetProcessDpiAwarenessContextFunction setContext,
                                 SetProcessDpiAwareFunction setAware) {
  if (setContext != nullptr && setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
    declared = DpiAwareness::kPerMonitorV2;
  } else if (setAware != nullptr && setAware()) {
    declared = DpiAwareness::kSystem;
  } else {
    declared = DpiAwareness::kNone;
  }
  return declared;
}

DpiAwareness DeclareDpiAwareness() {
  const DpiAwareness awareness =
      DeclareDpiAwareness(User32Function<SetProcessDpiAwarenessContextFunction>("SetProcessDpiAwarenessContext"),
                          User32Function<SetProcessDpiAwareFunction>("SetProcessDPIAware"));
  // One line for a debugger or a log of debug output, so a report of a
  // blurry window can say which request the system took.
  char line[64];
  std::snprintf(line, sizeof line, "Tallyhorn: DPI awareness %s\n", DpiAwarenessName(awareness));
  OutputDebugStringA(line);
  return awareness;
}

DpiAwareness DeclaredDpiAwareness() { return declared; }

const char* DpiAwarenessName(DpiAwareness awareness) {
  switch (awareness) {
    case DpiAwareness::kPerMonitorV2:
      return "per-monitor v2";
    case DpiAwareness::kSystem:
      return "system";
    case DpiAwareness::kNone:
      break;
  }
  return "none";
}

void FollowMonitorDpi(HWND dialog) {
  if (dialog == nullptr || GetPropA(dialog, kPreviousProcedure) != nullptr) return;
  AlignColumnHeader(dialog);
  const LONG_PTR previous = GetWindowLongPtrA(dialog, GWLP_WNDPROC);
  if (previous == 0) return;
  SetPropA(dialog, kPreviousProcedure, reinterpret_cast<HANDLE>(previous));
  SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FollowDpiProcedure));
}

UINT SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window) : 0;
  return dpi != 0 ? dpi : SystemDpi();
}

}  // namespace tallyhorn
