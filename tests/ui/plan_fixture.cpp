#include "tests/ui/plan_fixture.h"

#include <commctrl.h>

#include <array>

#include "ui/file_io.h"
#include "ui/unicode.h"

namespace tallyhorn::uitest {

const std::vector<std::string> kMixedPlan{
    "$1 Trifecta: 1,2 / 5 / 3,4",         // 4 bets, $4
    "$0.10 Pick-4: 1,2,3 / 4 / 5,6 / 7",  // 6 bets, $0.60
    "$1 Trifecta: 1 / 5 / 3,4,6",         // 3 bets, two of them on the first Trifecta
    "$2 Exacta: 1 / 2,3",                 // 2 bets, $4
    "$1.50 Pick-4: 1 / 4 / 5,6,8 / 7",    // 3 bets, two of them on the first Pick-4
};

namespace {

std::string WideText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return Utf8Of(text);
}

// Holds Ctrl, Shift and Alt down in the thread's key state as asked, and
// puts them back when it goes.
class HeldKeys {
 public:
  HeldKeys(bool control, bool shift, bool alt) {
    GetKeyboardState(before_.data());
    std::array<BYTE, 256> keys = before_;
    if (control) keys[VK_CONTROL] = 0x80;
    if (shift) keys[VK_SHIFT] = 0x80;
    if (alt) keys[VK_MENU] = 0x80;
    SetKeyboardState(keys.data());
  }
  ~HeldKeys() { SetKeyboardState(before_.data()); }
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;

 private:
  std::array<BYTE, 256> before_{};
};

// The control of the plan window that has the focus, or its list.
HWND PlanTarget() {
  HWND focus = GetFocus();
  if (focus != nullptr && IsChild(PlanWindow(), focus)) return focus;
  return PlanControl(kPlanListId);
}

// --- file dialogs ---

FileDialog* watchedDialog = nullptr;
std::wstring typedPath;
bool dialogDone = false;  // the file dialog has been answered

// A visible dialog of this thread other than the calculator, with the title
// asked for (any title when wanted is empty).
struct Search {
  std::wstring wanted;
  bool notWanted = false;  // any title but `wanted`
  HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (window == CalculatorDialog() || !IsWindowVisible(window)) return TRUE;
  std::array<wchar_t, 32> name{};
  GetClassNameW(window, name.data(), static_cast<int>(name.size()));
  if (std::wstring(name.data()) != L"#32770") return TRUE;
  std::array<wchar_t, 64> title{};
  GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
  if ((std::wstring(title.data()) == search->wanted) != search->notWanted) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ReadBoxText(HWND child, LPARAM) {
  std::array<wchar_t, 16> name{};
  GetClassNameW(child, name.data(), static_cast<int>(name.size()));
  if (_wcsicmp(name.data(), L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
    const std::string text = WideText(child);
    if (!text.empty()) watchedDialog->boxText = text;
  }
  return TRUE;
}

void CALLBACK DriveFileDialog(HWND, UINT, UINT_PTR, DWORD) {
  if (watchedDialog == nullptr) return;
  if (dialogDone) {
    // The message box that may follow carries the plan's title.
    Search search{kPlanTitle, false, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr || watchedDialog->boxShown) return;
    watchedDialog->boxShown = true;
    EnumChildWindows(search.found, ReadBoxText, 0);
    SendMessageW(GetDlgItem(search.found, IDOK), BM_CLICK, 0, 0);
    return;
  }
  Search search{kPlanTitle, true, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return;
  const HWND box = search.found;
  dialogDone = true;
  watchedDialog->shown = true;
  watchedDialog->title = WideText(box);
  if (typedPath.empty()) {
    SendMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
    return;
  }
  // The file name box: a combo box in the Explorer-style dialog, an edit in
  // the older one.
  HWND name = GetDlgItem(box, 0x47c);
  if (name == nullptr) name = GetDlgItem(box, 0x480);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typedPath.c_str()));
  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

}  // namespace

void PlanTest::SetUp() {
  CalculatorTest::SetUp();
  ASSERT_NE(StartPlan(), nullptr) << "the plan window could not be created";
}

void PlanTest::TearDown() { CalculatorTest::TearDown(); }

void PlanTest::Restart(const std::wstring& planFile) {
  CalculatorTest::TearDown();
  CalculatorTest::SetUp();
  StartPlan(planFile);
}

HWND PlanControl(int id) { return GetDlgItem(PlanWindow(), id); }

std::vector<std::vector<std::string>> PlanRows() {
  const HWND list = PlanControl(kPlanListId);
  std::vector<std::vector<std::string>> rows;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < 4; ++column) {
      std::array<wchar_t, 1024> text{};
      LVITEMW item{};
      item.iSubItem = column;
      item.pszText = text.data();
      item.cchTextMax = static_cast<int>(text.size());
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
      cells.push_back(Utf8Of(text.data()));
    }
    rows.push_back(cells);
  }
  return rows;
}

std::vector<std::string> PlanLines() {
  std::vector<std::string> lines;
  for (const auto& row : PlanRows()) lines.push_back(row[1]);
  return lines;
}

std::string PlanSummary() { return WideText(PlanControl(kPlanSummaryId)); }

std::string PlanTitle() { return WideText(PlanWindow()); }

bool PlanShown() { return IsWindowVisible(PlanWindow()) != FALSE; }

int SelectedPlanRow() {
  return static_cast<int>(
      SendMessageW(PlanControl(kPlanListId), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::string ClipboardUnicodeText() {
  std::string text;
  if (!OpenClipboard(PlanWindow())) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data)); chars != nullptr) {
      text = Utf8Of(chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::string FileBytes(const std::wstring& path) { return ReadWholeFile(path).bytes.value_or("(no file)"); }

void TypeTicket(const std::string& text) {
  Focus(IDC_TICKET);
  SendMessageW(Control(IDC_TICKET), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf16Of(text).c_str()));
  PressKey(VK_RETURN);
}

void AddToPlan(const std::vector<std::string>& tickets) {
  for (const std::string& ticket : tickets) {
    TypeTicket(ticket);
    PressKey(VK_RETURN, true);
  }
}

void ClickPlan(int id) {
  HWND button = PlanControl(id);
  if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) {
    ADD_FAILURE() << "plan button " << id << " cannot be clicked: it is missing, hidden or disabled";
    return;
  }
  SendMessageW(button, BM_CLICK, 0, 0);
}

void ClickPlanRow(int row) {
  // As a person picks a row from the keyboard: the first, then down.
  FocusPlan(kPlanListId);
  PressPlanKey(VK_HOME);
  for (int i = 0; i < row; ++i) PressPlanKey(VK_DOWN);
}

void DoubleClickPlanRow(int row) {
  const HWND list = PlanControl(kPlanListId);
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(list, WM_LBUTTONUP, 0, point);
  PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  PostMessageW(list, WM_LBUTTONUP, 0, point);
  PostQuitMessage(kLoopStoppedByTest);
  RunMessageLoop();
}

void FocusPlan(int id) { SetFocus(PlanControl(id)); }

int PressPlanKey(UINT virtualKey, bool control, bool shift) {
  const HWND target = PlanTarget();
  const HeldKeys held(control, shift, false);
  const auto scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1);
  PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{3} << 30));
  PostQuitMessage(kLoopStoppedByTest);
  return RunMessageLoop();
}

void PressPlanMnemonic(char letter) {
  const HWND target = PlanTarget();
  const HeldKeys held(false, false, true);
  // The character Alt and the letter make; bit 29 says Alt is down.
  PostMessageW(target, WM_SYSCHAR, static_cast<WPARAM>(letter), LPARAM{1} | (LPARAM{1} << 29));
  PostQuitMessage(kLoopStoppedByTest);
  RunMessageLoop();
}

void WaitForCount() {
  const DWORD start = GetTickCount();
  while (PlanSummary().find("counting") != std::string::npos) {
    if (GetTickCount() - start > 10000) {
      ADD_FAILURE() << "the count did not end within ten seconds";
      return;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

FileDialog ChooseInFileDialog(const std::function<void()>& action, const std::wstring& path) {
  FileDialog dialog;
  watchedDialog = &dialog;
  typedPath = path;
  dialogDone = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveFileDialog);
  action();
  KillTimer(nullptr, timer);
  watchedDialog = nullptr;
  return dialog;
}

}  // namespace tallyhorn::uitest
