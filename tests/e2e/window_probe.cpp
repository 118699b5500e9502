// Reports what the running calculator shows, from outside its process, so the
// end-to-end test can aim the mouse at real controls and see their state.
//
//   window_probe [--wait SECONDS]
//   window_probe --clipboard TEXT
//
// Finds the one visible top-level window titled "Tallyhorn" (waiting up to
// SECONDS for it to appear) and prints one record a line, fields separated by
// tabs:
//   window <pid> <left> <top> <right> <bottom>
//   focus <control id, or 0> <selection start> <selection end>
//   control <id> <left> <top> <right> <bottom> <visible 0/1> <checked 0/1/2> <text>
// Rectangles are in screen pixels, which under Wine on X are the X root
// window's coordinates. Texts have backslash, tab, CR and LF escaped as \\,
// \t, \r and \n, so a text keeps its spaces, trailing ones included.
// Exits 1 when no such window is there, 2 when there are several.
//
// With --clipboard it only puts TEXT on the Windows clipboard, from which
// Wine offers it to X, and exits 0 (1 when the clipboard cannot be had).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kTitle = "Tallyhorn";

// Collects the visible top-level dialog windows that carry the title.
BOOL CALLBACK CollectCalculator(HWND window, LPARAM found) {
  char title[64] = {};
  char className[64] = {};
  GetWindowTextA(window, title, sizeof title);
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(title, kTitle) == 0 && std::strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> FindCalculators() {
  std::vector<HWND> found;
  EnumWindows(CollectCalculator, reinterpret_cast<LPARAM>(&found));
  return found;
}

// A control's text, asked of the control itself: for a window of another
// process GetWindowText returns only the stored caption, not an edit's text.
std::string ControlText(HWND control) {
  char buffer[4096] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                           2000, &length)) {
    return "";
  }
  std::string escaped;
  for (const char* c = buffer; *c != '\0'; ++c) {
    if (*c == '\\') {
      escaped += "\\\\";
    } else if (*c == '\t') {
      escaped += "\\t";
    } else if (*c == '\r') {
      escaped += "\\r";
    } else if (*c == '\n') {
      escaped += "\\n";
    } else {
      escaped += *c;
    }
  }
  return escaped;
}

// Check state of a button; 0 for controls that are not buttons.
int CheckState(HWND control) {
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  if (_stricmp(className, "Button") != 0) return 0;
  DWORD_PTR state = 0;
  SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
  return static_cast<int>(state);
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
  RECT rect{};
  GetWindowRect(control, &rect);
  std::printf("control\t%d\t%ld\t%ld\t%ld\t%ld\t%d\t%d\t%s\n", GetDlgCtrlID(control), rect.left, rect.top, rect.right,
              rect.bottom, IsWindowVisible(control) ? 1 : 0, CheckState(control), ControlText(control).c_str());
  return TRUE;
}

/*
 * Puts a text on the clipboard as the program that owns it, so the test can
 * tell a copy that happened from one that did not. Setting it from a Windows
 * program, rather than taking the X selection from outside, leaves Wine in
 * charge of the X clipboard throughout, as it is when a person copies.
 */
int SetClipboardText(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) return 1;
  std::memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  for (int attempt = 0; attempt < 100 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
  const bool set = EmptyClipboard() && SetClipboardData(CF_TEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) {
    GlobalFree(memory);
    std::fprintf(stderr, "window_probe: the clipboard could not be set\n");
    return 1;
  }
  return 0;
}

}  // namespace

/*
 * Waits for the calculator's window, then prints the window, the focused
 * control and every control of the dialog.
 */
int main(int argc, char** argv) {
  // Plain "\n" line ends, as the shell reading the records expects.
  _setmode(_fileno(stdout), _O_BINARY);
  double waitSeconds = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--wait") == 0 && i + 1 < argc) {
      waitSeconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--clipboard") == 0 && i + 1 < argc && argc == 3) {
      return SetClipboardText(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: window_probe [--wait SECONDS] | --clipboard TEXT\n");
      return 2;
    }
  }

  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitSeconds * 1000);
  std::vector<HWND> found = FindCalculators();
  while (found.empty() && GetTickCount64() < deadline) {
    Sleep(50);
    found = FindCalculators();
  }
  if (found.empty()) {
    std::fprintf(stderr, "window_probe: no visible window titled \"%s\"\n", kTitle);
    return 1;
  }
  if (found.size() > 1) {
    std::fprintf(stderr, "window_probe: %zu windows titled \"%s\"\n", found.size(), kTitle);
    return 2;
  }

  const HWND dialog = found.front();
  RECT rect{};
  GetWindowRect(dialog, &rect);
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(dialog, &process);
  std::printf("window\t%lu\t%ld\t%ld\t%ld\t%ld\n", process, rect.left, rect.top, rect.right, rect.bottom);

  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const HWND focused = GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  // The selection in the focused control, when it is an edit (0 0 otherwise).
  DWORD_PTR selection = 0;
  char className[32] = {};
  if (focused != nullptr && GetClassNameA(focused, className, sizeof className) > 0 &&
      _stricmp(className, "Edit") == 0) {
    SendMessageTimeoutA(focused, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection);
  }
  std::printf("focus\t%d\t%u\t%u\n", focused != nullptr ? GetDlgCtrlID(focused) : 0,
              static_cast<unsigned>(LOWORD(selection)), static_cast<unsigned>(HIWORD(selection)));

  EnumChildWindows(dialog, PrintControl, 0);
  return 0;
}
