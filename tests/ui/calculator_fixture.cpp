#include "tests/ui/calculator_fixture.h"

#include <array>
#include <cstring>

namespace tallyhorn::uitest {
namespace {

// Removes every message still queued, WM_QUIT included.
void DrainMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

std::string WindowText(HWND window) {
  std::array<char, 4096> buffer{};
  GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return buffer.data();
}

std::string ClassName(HWND window) {
  std::array<char, 64> buffer{};
  GetClassNameA(window, buffer.data(), static_cast<int>(buffer.size()));
  return buffer.data();
}

bool IsButton(HWND window) { return _stricmp(ClassName(window).c_str(), "Button") == 0; }

// --- cycle counting ---

struct Counts {
  int cycles = 0;
  int sizeChanges = 0;
  int depth = 0;
  int deepest = 0;
} counts;

bool IsSizeChange(HWND target, UINT message, WPARAM wParam) {
  return target == CalculatorDialog() && message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE &&
         RowOfSizeEdit(LOWORD(wParam)) >= 0;
}

LRESULT CALLBACK BeforeProcedure(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->hwnd == CalculatorDialog() && sent->message == WM_INITDIALOG) ++counts.cycles;
    if (IsSizeChange(sent->hwnd, sent->message, sent->wParam)) {
      ++counts.sizeChanges;
      if (++counts.depth > counts.deepest) counts.deepest = counts.depth;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK AfterProcedure(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (IsSizeChange(sent->hwnd, sent->message, sent->wParam)) --counts.depth;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// --- modal boxes ---

ModalBox* watchedBox = nullptr;
int timerTicks = 0;
// Set while a key that may open a box is pressed: the message loop is
// ended once the box is closed, or once it is clear that none opened (a
// WM_QUIT queued earlier would end the box's own modal loop at once).
bool quitAfterBox = false;

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM) {
  if (_stricmp(ClassName(child).c_str(), "Static") != 0) return TRUE;
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if ((style & SS_TYPEMASK) == SS_ICON) {
    const auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    watchedBox->informationIcon = icon != nullptr && icon == LoadIconA(nullptr, IDI_INFORMATION);
    watchedBox->warningIcon = icon != nullptr && icon == LoadIconA(nullptr, IDI_WARNING);
  } else if (const std::string text = WindowText(child); !text.empty()) {
    watchedBox->text = text;
    std::array<wchar_t, 4096> wide{};
    GetWindowTextW(child, wide.data(), static_cast<int>(wide.size()));
    watchedBox->wideText = wide.data();
  }
  return TRUE;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  if (window != CalculatorDialog() && IsWindowVisible(window) && ClassName(window) == "#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// Runs inside the message box's own modal loop: reads the box, then
// presses its OK button.
void CALLBACK CloseModalBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (box == nullptr) {
    // No box came: give up. A key is handled at once, so a box it opens
    // is up within a few ticks.
    if (++timerTicks > (quitAfterBox ? 5 : 100)) {
      KillTimer(nullptr, timer);
      if (quitAfterBox) PostQuitMessage(kLoopStoppedByTest);
    }
    return;
  }
  KillTimer(nullptr, timer);
  watchedBox->shown = true;
  watchedBox->ownerDisabled = !IsWindowEnabled(CalculatorDialog());
  watchedBox->caption = WindowText(box);
  EnumChildWindows(box, ReadBoxChild, 0);
  SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  if (quitAfterBox) PostQuitMessage(kLoopStoppedByTest);
}

// Posts a key's press and release to the focused control (or the dialog),
// with Ctrl and Shift held as asked, and runs the message loop until
// WM_QUIT: posted right behind the key, or by the box watcher.
int RunKey(UINT virtualKey, bool control, bool shift, bool postQuit) {
  // The key goes where a person's would: to the control with the focus, in
  // whichever of the program's windows it is (the calculator when none).
  HWND target = GetFocus();
  const HWND root = target != nullptr ? GetAncestor(target, GA_ROOT) : nullptr;
  if (root == nullptr || !IsWindowVisible(root)) target = CalculatorDialog();
  // Posted keys do not move the thread's key state, so Ctrl and Shift are
  // held down in it for as long as the loop runs.
  BYTE keys[256]{};
  GetKeyboardState(keys);
  const BYTE controlBefore = keys[VK_CONTROL];
  const BYTE shiftBefore = keys[VK_SHIFT];
  if (control || shift) {
    if (control) keys[VK_CONTROL] = 0x80;
    if (shift) keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
  }
  const auto scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(target, WM_KEYDOWN, virtualKey, scan | 1);
  PostMessageA(target, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{3} << 30));
  if (postQuit) PostQuitMessage(kLoopStoppedByTest);
  const int result = RunMessageLoop();
  if (control || shift) {
    keys[VK_CONTROL] = controlBefore;
    keys[VK_SHIFT] = shiftBefore;
    SetKeyboardState(keys);
  }
  return result;
}

}  // namespace

void CalculatorTest::SetUp() {
  DrainMessages();
  dialog = CreateCalculator(GetModuleHandleA(nullptr));
  ASSERT_NE(dialog, nullptr) << "the dialog could not be created from template " << IDD_CALCULATOR;
}

void CalculatorTest::TearDown() {
  DestroyCalculator();
  DrainMessages();
}

HWND Control(int id) { return GetDlgItem(CalculatorDialog(), id); }

std::string Text(int id) { return WindowText(Control(id)); }

bool Checked(int id) { return IsDlgButtonChecked(CalculatorDialog(), id) == BST_CHECKED; }

bool Visible(int id) { return IsWindowVisible(Control(id)) != FALSE; }

std::vector<int> TickedHorses(Row row) {
  std::vector<int> horses;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (Checked(BoxId(row, slot))) horses.push_back(slot + 1);
  }
  return horses;
}

std::vector<int> VisibleHorses(Row row) {
  std::vector<int> horses;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (Visible(BoxId(row, slot))) horses.push_back(slot + 1);
  }
  return horses;
}

std::vector<int> CheckedBetButtons() {
  std::vector<int> ids;
  for (int id : BetTypeButtonIds) {
    if (Checked(id)) ids.push_back(id);
  }
  return ids;
}

std::vector<int> CheckedUnitButtons() {
  std::vector<int> ids;
  for (int id : UnitButtonIds) {
    if (Checked(id)) ids.push_back(id);
  }
  return ids;
}

std::vector<std::string> FormSnapshot() {
  std::vector<std::string> controls;
  for (HWND child = GetWindow(CalculatorDialog(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string line = std::to_string(GetDlgCtrlID(child)) + " \"" + WindowText(child) + "\"";
    if (IsButton(child)) line += SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? " checked" : " unchecked";
    line += (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0 ? " shown" : " hidden";
    controls.push_back(line);
  }
  return controls;
}

void Click(int id) {
  HWND control = Control(id);
  if (control == nullptr || !IsWindowVisible(control) || !IsWindowEnabled(control)) {
    ADD_FAILURE() << "control " << id << " cannot be clicked: it is missing, hidden or disabled";
    return;
  }
  SendMessageA(control, BM_CLICK, 0, 0);
}

void ClickHorses(Row row, const std::vector<int>& horses) {
  for (int horse : horses) Click(BoxId(row, horse - 1));
}

void BuildBusyPick4() {
  Click(IDC_BET_PICK_4);
  Click(IDC_UNIT_2);
  TypeSize(0, "20");
  ClickHorses(0, {1, 2, 15});
  TypeSize(0, "12");
  TypeSize(1, "9");
  TypeSize(2, "14");
  TypeSize(3, "10");
  ClickHorses(1, {3, 4});
  ClickHorses(2, {14});
  ClickHorses(3, {2, 9});
}

void TypeSize(Row row, const char* text) {
  HWND edit = Control(SizeEditId(row));
  if (edit == nullptr || !IsWindowVisible(edit)) {
    ADD_FAILURE() << "the size edit of row " << row << " is hidden: nobody could type \"" << text << "\" into it";
    return;
  }
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int PressKey(UINT virtualKey, bool control, bool shift) { return RunKey(virtualKey, control, shift, true); }

int FocusId() {
  HWND focus = GetFocus();
  return focus != nullptr && IsChild(CalculatorDialog(), focus) ? GetDlgCtrlID(focus) : 0;
}

CycleCounter::CycleCounter()
    : before_(SetWindowsHookExA(WH_CALLWNDPROC, BeforeProcedure, nullptr, GetCurrentThreadId())),
      after_(SetWindowsHookExA(WH_CALLWNDPROCRET, AfterProcedure, nullptr, GetCurrentThreadId())) {
  counts = Counts{};
}

CycleCounter::~CycleCounter() {
  UnhookWindowsHookEx(before_);
  UnhookWindowsHookEx(after_);
}

int CycleCounter::cycles() const { return counts.cycles; }
int CycleCounter::sizeChanges() const { return counts.sizeChanges; }
int CycleCounter::deepestSizeChange() const { return counts.deepest; }

void Focus(int id) { SetFocus(Control(id)); }

namespace {

// Puts one block of text of the given format on the clipboard, alone.
void PutOnClipboard(UINT format, const void* text, std::size_t bytes) {
  ASSERT_TRUE(OpenClipboard(CalculatorDialog())) << "the clipboard is taken";
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block != nullptr) {
    std::memcpy(GlobalLock(block), text, bytes);
    GlobalUnlock(block);
    if (SetClipboardData(format, block) == nullptr) GlobalFree(block);
  }
  CloseClipboard();
}

}  // namespace

void SetClipboardText(const std::string& text) { PutOnClipboard(CF_TEXT, text.c_str(), text.size() + 1); }

void SetClipboardUnicodeText(const std::wstring& text) {
  PutOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(CalculatorDialog())) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT); data != nullptr) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data)); bytes != nullptr) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

ModalBox WatchModalBox(const std::function<void()>& action) {
  ModalBox box;
  watchedBox = &box;
  timerTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseModalBox);
  action();
  KillTimer(nullptr, timer);
  watchedBox = nullptr;
  return box;
}

ModalBox ClickAndCloseModalBox(int id) {
  return WatchModalBox([id] { Click(id); });
}

ModalBox PressKeyAndCloseModalBox(UINT virtualKey, bool control, bool shift) {
  quitAfterBox = true;
  const ModalBox box = WatchModalBox([virtualKey, control, shift] {
    EXPECT_EQ(RunKey(virtualKey, control, shift, false), kLoopStoppedByTest) << "the key closed the calculator";
  });
  quitAfterBox = false;
  return box;
}

ModalBox PostAndCloseModalBox(UINT message, WPARAM wParam, LPARAM lParam) {
  quitAfterBox = true;
  const ModalBox box = WatchModalBox([=] {
    PostMessageW(CalculatorDialog(), message, wParam, lParam);
    EXPECT_EQ(RunMessageLoop(), kLoopStoppedByTest) << "the message closed the calculator";
  });
  quitAfterBox = false;
  return box;
}

void TypeText(const std::wstring& text) {
  HWND target = GetFocus();
  ASSERT_TRUE(target != nullptr && IsChild(CalculatorDialog(), target)) << "no control of the calculator has the focus";
  for (const wchar_t unit : text) PostMessageW(target, WM_CHAR, static_cast<WPARAM>(unit), 1);
  PostQuitMessage(kLoopStoppedByTest);
  EXPECT_EQ(RunMessageLoop(), kLoopStoppedByTest);
}

namespace {

// --- a held key ---

struct Holding {
  UINT key = 0;
  LPARAM scan = 0;
  int repeatsLeft = 0;
  HeldKey result;
} holding;

// The window a key goes to: the focus, when it is one of this thread's.
HWND KeyTarget() {
  HWND focus = GetFocus();
  return focus != nullptr ? focus : CalculatorDialog();
}

// Counts the dialog boxes created while the key is held.
LRESULT CALLBACK CountBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && ClassName(reinterpret_cast<HWND>(wParam)) == "#32770") ++holding.result.boxesOpened;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs in whichever message loop is running: sends the next repeat, then
// the release, then closes the boxes still up and ends the test's loop.
void CALLBACK NextKeyMessage(HWND, UINT, UINT_PTR timer, DWORD) {
  if (holding.repeatsLeft > 0) {
    --holding.repeatsLeft;
    PostMessageW(KeyTarget(), WM_KEYDOWN, holding.key, holding.scan | 1 | (LPARAM{1} << 30));
    return;
  }
  if (holding.repeatsLeft == 0) {
    --holding.repeatsLeft;
    PostMessageW(KeyTarget(), WM_KEYUP, holding.key, holding.scan | 1 | (LPARAM{3} << 30));
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    holding.result.boxUpAtRelease = box != nullptr;
    return;
  }
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (box != nullptr) {
    holding.result.lastBox = ModalBox{};
    watchedBox = &holding.result.lastBox;
    watchedBox->shown = true;
    watchedBox->caption = WindowText(box);
    EnumChildWindows(box, ReadBoxChild, 0);
    watchedBox = nullptr;
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return;
  }
  KillTimer(nullptr, timer);
  PostQuitMessage(kLoopStoppedByTest);
}

}  // namespace

HeldKey HoldKeyAndCloseModalBoxes(UINT virtualKey, int repeats) {
  holding = Holding{};
  holding.key = virtualKey;
  holding.scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  holding.repeatsLeft = repeats;
  const HHOOK hook = SetWindowsHookExA(WH_CBT, CountBoxes, nullptr, GetCurrentThreadId());
  PostMessageW(KeyTarget(), WM_KEYDOWN, virtualKey, holding.scan | 1);
  SetTimer(nullptr, 0, 30, NextKeyMessage);
  EXPECT_EQ(RunMessageLoop(), kLoopStoppedByTest) << "the key closed the calculator";
  UnhookWindowsHookEx(hook);
  return holding.result;
}

}  // namespace tallyhorn::uitest
