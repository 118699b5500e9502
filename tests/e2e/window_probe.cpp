// Reports what the running calculator shows, from outside its process, so the
// end-to-end test can aim the mouse at real controls and see their state.
//
//   window_probe [--wait SECONDS]
//   window_probe --message-box
//   window_probe --clipboard TEXT
//
// Finds the one visible calculator, a top-level dialog titled "Tallyhorn"
// with a ticket box (waiting up to SECONDS for it to appear), and prints one
// record a line, fields separated by tabs:
//   window <pid> <left> <top> <right> <bottom>
//   focus <control id, or 0> <selection start> <selection end>
//   control <id> <left> <top> <right> <bottom> <visible 0/1> <checked 0/1/2> <text>
// Rectangles are in screen pixels, which under Wine on X are the X root
// window's coordinates. Texts have backslash, tab, CR and LF escaped as \\,
// \t, \r and \n, so a text keeps its spaces, trailing ones included.
// Exits 1 when no such window is there, 2 when there are several.
//
// With --message-box it prints the text of the calculator's message box (a
// visible dialog titled "Tallyhorn" without a ticket box), escaped the same
// way, and exits 0; 1 when there is none.
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
constexpr int kTicketBoxId = 1342;

// True for a visible top-level dialog window that carries the title: the
// calculator, or a message box it shows.
bool IsTallyhornDialog(HWND window) {
  char title[64] = {};
  char className[64] = {};
  GetWindowTextA(window, title, sizeof title);
  GetClassNameA(window, className, sizeof className);
  return std::strcmp(title, kTitle) == 0 && std::strcmp(className, "#32770") == 0 && IsWindowVisible(window);
}

// Collects the calculators (with a ticket box) or, with `messageBoxes`
// set, the other dialogs titled "Tallyhorn".
struct Search {
  bool messageBoxes = false;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<Search*>(search);
  if (IsTallyhornDialog(window) && (GetDlgItem(window, kTicketBoxId) == nullptr) == wanted.messageBoxes) {
    wanted.found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> FindDialogs(bool messageBoxes) {
  Search search{messageBoxes, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> FindCalculators() { return FindDialogs(false); }

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

// Adds the text of every static text control of a message box (the icon
// has none) to the text collected so far.
BOOL CALLBACK CollectStaticText(HWND control, LPARAM text) {
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  const std::string shown = ControlText(control);
  if (_stricmp(className, "Static") == 0 && !shown.empty()) *reinterpret_cast<std::string*>(text) += shown;
  return TRUE;
}

// Prints the text of the one message box the calculator shows.
int PrintMessageBox() {
  const std::vector<HWND> boxes = FindDialogs(true);
  if (boxes.size() != 1) return 1;
  std::string text;
  EnumChildWindows(boxes.front(), CollectStaticText, reinterpret_cast<LPARAM>(&text));
  std::printf("%s\n", text.c_str());
  return 0;
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
    } else if (std::strcmp(argv[i], "--message-box") == 0 && argc == 2) {
      return PrintMessageBox();
    } else {
      std::fprintf(stderr, "usage: window_probe [--wait SECONDS] | --message-box | --clipboard TEXT\n");
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
