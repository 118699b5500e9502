#include "ui/plan_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "calc/plan.h"
#include "calc/plan_file.h"
#include "calc/summary.h"
#include "ui/autosave.h"
#include "ui/calculator_link.h"
#include "ui/dpi.h"
#include "ui/file_io.h"
#include "ui/history.h"
#include "ui/key_state.h"
#include "ui/plan_counter.h"
#include "ui/unicode.h"

namespace tallyhorn {
namespace {

constexpr const wchar_t* kClassName = L"TallyhornPlan";
constexpr const wchar_t* kTitleSuffix = L" - Tallyhorn plan";
constexpr UINT kCountDoneMessage = WM_APP + 1;
constexpr UINT_PTR kPlaceTimer = 1;
// The saved state no plan ever has: a plan read with bad lines has not
// been saved anywhere.
constexpr std::uint64_t kNeverSaved = std::numeric_limits<std::uint64_t>::max();

// Sizes in pixels at 96 dots per inch, laid out at the window's own DPI.
constexpr int kMargin = 8;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 4;
constexpr int kSmallestListHeight = 48;
constexpr int kDefaultWidth = 620;
// The list's columns: the ticket column grows with the window.
constexpr int kNumberWidth = 36;
constexpr int kTicketWidth = 200;
constexpr int kBetsWidth = 90;
constexpr int kCostWidth = 90;
constexpr int kDefaultHeight = 420;

struct ButtonInfo {
  int id;
  const wchar_t* caption;
};

// "Save as..." takes v: a is Add's.
constexpr std::array<ButtonInfo, 10> kButtons{{
    {kPlanAddId, L"&Add"},
    {kPlanReplaceId, L"&Replace"},
    {kPlanRemoveId, L"Re&move"},
    {kPlanMoveUpId, L"Move &up"},
    {kPlanMoveDownId, L"Move &down"},
    {kPlanOpenId, L"&Open..."},
    {kPlanSaveId, L"&Save"},
    {kPlanSaveAsId, L"Sa&ve as..."},
    {kPlanNewId, L"&New"},
    {kPlanCopyId, L"&Copy"},
}};

struct PlanWindowState {
  HWND window = nullptr;
  HWND list = nullptr;
  HWND summary = nullptr;
  HWND lastFocus = nullptr;  // the control with the keyboard when the window was last left
  UINT dpi = USER_DEFAULT_SCREEN_DPI;  // the DPI the window is laid out at
  HFONT font = nullptr;
  int lineHeight = 16;
  int summaryLines = 1;

  Plan plan{kHistoryDepth};
  std::wstring file;  // the file the plan is tied to, or L""
  std::uint64_t savedState = 0;

  std::unique_ptr<DistinctCounter> counter;
  std::uint64_t generation = 0;
  std::optional<DistinctByBetType> distinct;  // of the plan as it stands, once counted
  bool copyWhenCounted = false;
  bool autosaveFailed = false;

  std::wstring itemText;  // the text the list asked for last
};

PlanWindowState* state = nullptr;

// --- small helpers ------------------------------------------------------------

// A length given at 96 DPI, at the window's DPI.
int Px(int length) { return AtDpi(length, state->dpi); }

std::wstring FileName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// A warning box captioned with the plan window's title; a held Enter's
// repeats do not close it at once.
void Warn(HWND owner, const std::string& text) {
  ShowMessageBox(owner, text, Utf8Of(kPlanTitle), MB_ICONWARNING | MB_OK);
}

std::optional<std::size_t> SelectedRow() {
  const auto row = static_cast<int>(SendMessageW(state->list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0 || static_cast<std::size_t>(row) >= state->plan.Size()) return std::nullopt;
  return static_cast<std::size_t>(row);
}

void SelectRow(std::size_t row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageW(state->list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (row >= state->plan.Size()) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(state->list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(state->list, LVM_ENSUREVISIBLE, row, FALSE);
}

// --- the place of the window ------------------------------------------------------

std::wstring PlaceFile() {
  const std::wstring folder = TallyhornDataFolder();
  return folder.empty() ? std::wstring() : folder + L"\\plan-window.txt";
}

// Keeps the window's place and size (when it is not minimised or maximised,
// the place it comes back to) for the next start.
void SavePlace() {
  if (state == nullptr || state->window == nullptr) return;
  const std::wstring path = PlaceFile();
  if (path.empty()) return;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(state->window, &placement)) return;
  const RECT& r = placement.rcNormalPosition;
  char line[64];
  std::snprintf(line, sizeof line, "%ld %ld %ld %ld\r\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  WriteFileAtomically(path, line);
}

// The place kept from the last run, when it is still on a monitor.
std::optional<RECT> KeptPlace() {
  const std::wstring path = PlaceFile();
  if (path.empty()) return std::nullopt;
  const FileRead read = ReadWholeFile(path);
  if (!read.bytes) return std::nullopt;
  long left = 0, top = 0, width = 0, height = 0;
  if (std::sscanf(read.bytes->c_str(), "%ld %ld %ld %ld", &left, &top, &width, &height) != 4) return std::nullopt;
  if (width < 100 || height < 100 || width > 20000 || height > 20000) return std::nullopt;
  const RECT rect{left, top, left + width, top + height};
  // A place on a monitor that is gone (or mostly off every monitor) is not
  // used: the window would open where nobody can see it.
  RECT title{rect.left, rect.top, rect.right, rect.top + 24};
  if (MonitorFromRect(&title, MONITOR_DEFAULTTONULL) == nullptr) return std::nullopt;
  return rect;
}

// Beside the calculator, to its right when there is room.
RECT DefaultPlace() {
  RECT calculator{0, 0, 0, 0};
  const HWND calc = CalculatorWindow();
  if (calc != nullptr) GetWindowRect(calc, &calculator);
  const UINT dpi = WindowDpi(calc);
  const int gap = AtDpi(8, dpi);
  RECT rect{calculator.right + gap, calculator.top, calculator.right + gap + AtDpi(kDefaultWidth, dpi),
            calculator.top + AtDpi(kDefaultHeight, dpi)};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromRect(&calculator, MONITOR_DEFAULTTOPRIMARY), &monitor) &&
      rect.right > monitor.rcWork.right) {
    OffsetRect(&rect, monitor.rcWork.right - rect.right, 0);
  }
  return rect;
}

// --- what the window shows --------------------------------------------------------

void Layout() {
  RECT client{};
  GetClientRect(state->window, &client);
  const int margin = Px(kMargin);
  const int buttonsLeft = client.right - margin - Px(kButtonWidth);
  int y = margin;
  for (const ButtonInfo& button : kButtons) {
    MoveWindow(GetDlgItem(state->window, button.id), buttonsLeft, y, Px(kButtonWidth), Px(kButtonHeight), TRUE);
    y += Px(kButtonHeight + kButtonGap);
  }
  const int width = buttonsLeft - 2 * margin > 0 ? buttonsLeft - 2 * margin : 0;
  const int summaryHeight = state->summaryLines * state->lineHeight + Px(6);
  const int summaryTop = client.bottom - margin - summaryHeight;
  const int listHeight = summaryTop - margin - margin;
  MoveWindow(state->list, margin, margin, width, listHeight > 0 ? listHeight : 0, TRUE);
  // The ticket column takes the width the number, bets and cost leave.
  SendMessageW(state->list, LVM_SETCOLUMNWIDTH, 0, Px(kNumberWidth));
  SendMessageW(state->list, LVM_SETCOLUMNWIDTH, 2, Px(kBetsWidth));
  SendMessageW(state->list, LVM_SETCOLUMNWIDTH, 3, Px(kCostWidth));
  const int fixed = Px(kNumberWidth + kBetsWidth + kCostWidth + 4) + GetSystemMetrics(SM_CXVSCROLL);
  SendMessageW(state->list, LVM_SETCOLUMNWIDTH, 1, width - fixed > Px(kTicketWidth) ? width - fixed : Px(kTicketWidth));
  MoveWindow(state->summary, margin, summaryTop, width, summaryHeight, TRUE);
}

bool Unsaved() { return state->plan.State() != state->savedState; }

void ShowTitle() {
  std::wstring title = Unsaved() ? L"*" : L"";
  title += state->file.empty() ? std::wstring(kPlanTitle) : FileName(state->file) + kTitleSuffix;
  SetWindowTextW(state->window, title.c_str());
}

void ShowSummary() {
  const std::string text = PlanSummaryText(FiguresOf(state->plan.Tickets()), state->distinct);
  int lines = 1;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  SetWindowTextW(state->summary, Utf16Of(text).c_str());
  if (lines != state->summaryLines) {
    state->summaryLines = lines;
    Layout();
  }
}

// The text tallyhorn-cli prints for the plan, with the distinct count the
// worker has taken.
std::string CopyText() {
  std::string text;
  TicketTotals totals;
  for (const Ticket& ticket : state->plan.Tickets()) {
    text += PrintedLines(ticket);
    totals.Add(ticket);
  }
  if (state->plan.Size() >= 2) {
    CombinationCount distinct = 0;
    for (const auto& [betType, count] : *state->distinct) distinct += count;
    text += SummaryLine(totals, distinct);
  }
  return text;
}

void PutOnClipboard(const std::wstring& text) {
  if (!OpenClipboard(state->window)) {
    Warn(state->window, "The plan is not copied: another program holds the clipboard. Try again.");
    return;
  }
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes); block != nullptr) {
    if (void* memory = GlobalLock(block); memory != nullptr) {
      std::memcpy(memory, text.c_str(), bytes);
      GlobalUnlock(block);
      if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) GlobalFree(block);
    } else {
      GlobalFree(block);
    }
  }
  CloseClipboard();
}

void CopyNow() {
  state->copyWhenCounted = false;
  PutOnClipboard(Utf16Of(CopyText()));
}

// Shows the plan as it stands and sets its count going; the count in
// progress, of an older plan, is given up.
void Refresh(std::optional<std::size_t> select) {
  const std::size_t size = state->plan.Size();
  SendMessageW(state->list, LVM_SETITEMCOUNT, size, 0);
  InvalidateRect(state->list, nullptr, TRUE);
  if (select && size > 0) SelectRow(*select < size ? *select : size - 1);
  if (size == 0) {
    state->distinct = DistinctByBetType{};
    state->generation = state->counter->Start({});
  } else {
    state->distinct.reset();
    state->generation = state->counter->Start(state->plan.Tickets());
  }
  ShowSummary();
  ShowTitle();
}

// After every change: shown, counted, and kept for the next start. A
// failed autosave is said once, not at every change, until one succeeds.
void AfterChange(std::optional<std::size_t> select) {
  state->copyWhenCounted = false;
  Refresh(select);
  const std::string error = SaveAutosave(state->plan.Tickets());
  if (error.empty()) {
    state->autosaveFailed = false;
  } else if (!state->autosaveFailed) {
    state->autosaveFailed = true;
    Warn(state->window, "The plan could not be kept for the next start.\n\n" + error);
  }
}

// --- the plan's commands -----------------------------------------------------------

std::optional<Ticket> TicketToAdd(HWND owner) {
  CalculatorTicketReading reading = CalculatorTicket();
  if (!reading.ticket) {
    Warn(owner, "The calculator's ticket is not added to the plan: it covers no combination (" + reading.reason + ").");
  }
  return reading.ticket;
}

void AddTicket(HWND owner) {
  if (const std::optional<Ticket> ticket = TicketToAdd(owner)) AfterChange(state->plan.Add(*ticket));
}

void ReplaceTicket() {
  const std::optional<std::size_t> row = SelectedRow();
  if (!row) {
    Warn(state->window, "Select the ticket to replace by the calculator's first.");
    return;
  }
  if (const std::optional<Ticket> ticket = TicketToAdd(state->window)) {
    if (const auto select = state->plan.Replace(*row, *ticket)) AfterChange(select);
  }
}

template <typename Change>
void ChangeSelected(Change change) {
  if (const std::optional<std::size_t> row = SelectedRow()) {
    if (const auto select = change(*row)) AfterChange(select);
  }
}

void NewPlan() {
  const auto select = state->plan.Clear();
  state->file.clear();
  state->savedState = state->plan.State();
  if (select) {
    AfterChange(select);
  } else {
    ShowTitle();
  }
}

void UndoOrRedo(bool undo) {
  const std::optional<std::size_t> row = undo ? state->plan.Undo() : state->plan.Redo();
  if (row) AfterChange(row);
}

/*
 * Opens a plan file as one step of the plan. A file with bad lines opens
 * with its good ones, is named in a warning box with the bad lines, and is
 * not tied to the plan, so no save writes it over with lines missing. A
 * file that holds no ticket at all, or cannot be read, leaves the plan as
 * it is.
 */
void OpenPlanFile(const std::wstring& path) {
  const std::string name = Utf8Of(FileName(path));
  FileRead read = ReadWholeFile(path);
  if (!read.bytes) {
    Warn(state->window, read.error.empty() ? "Could not read " + Utf8Of(path) + "." : read.error);
    return;
  }
  PlanFileReading reading = ReadPlanFile(std::move(*read.bytes));
  const std::string faults = PlanFaultMessage(reading);
  if (reading.tickets.empty() && !faults.empty()) {
    Warn(state->window, name + " is not opened: it holds no ticket.\n\n" + faults);
    return;
  }
  const auto select = state->plan.Open(std::move(reading.tickets));
  if (faults.empty()) {
    state->file = path;
    state->savedState = state->plan.State();
  } else {
    state->file.clear();
    state->savedState = kNeverSaved;
  }
  if (select) {
    AfterChange(select);
  } else {
    ShowTitle();
  }
  if (!faults.empty()) {
    Warn(state->window, "Only the good lines of " + name + " are opened.\n\n" + faults +
                            "\n\nThe plan is not tied to the file: Save asks for a name, so the file is never "
                            "written over with lines missing.");
  }
}

// The file the person picks in the common Open or Save As dialog, or L"".
std::wstring ChooseFile(bool save) {
  std::vector<wchar_t> name(32768, L'\0');
  if (save) {
    const std::wstring suggested = state->file.empty() ? std::wstring(L"plan.txt") : FileName(state->file);
    std::wcsncpy(name.data(), suggested.c_str(), name.size() - 1);
  }
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = state->window;
  dialog.lpstrFilter = L"Plan files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrDefExt = L"txt";
  dialog.lpstrTitle = save ? L"Save plan as" : L"Open plan";
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                 (save ? OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  return chosen ? std::wstring(name.data()) : std::wstring();
}

// Saves the plan to the file; a save that fails says why and changes
// nothing, the file included.
bool SaveTo(const std::wstring& path) {
  const std::string error = WriteFileAtomically(path, PlanFileText(state->plan.Tickets()));
  if (!error.empty()) {
    Warn(state->window, "The plan is not saved.\n\n" + error);
    return false;
  }
  state->file = path;
  state->savedState = state->plan.State();
  ShowTitle();
  return true;
}

void SaveAs() {
  if (const std::wstring path = ChooseFile(true); !path.empty()) SaveTo(path);
}

void Save() {
  if (state->file.empty()) {
    SaveAs();
  } else {
    SaveTo(state->file);
  }
}

void Copy() {
  if (state->plan.Empty()) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  // The summary line needs the distinct count; a copy asked for while it
  // runs is made when it ends.
  if (state->distinct) {
    CopyNow();
  } else {
    state->copyWhenCounted = true;
  }
}

void ShowSelectedInCalculator() {
  if (const std::optional<std::size_t> row = SelectedRow()) ShowTicketInCalculator(state->plan.Tickets()[*row]);
}

void HidePlan() {
  SavePlace();
  ShowWindow(state->window, SW_HIDE);
  if (HWND calculator = CalculatorWindow(); calculator != nullptr) SetActiveWindow(calculator);
}

void Command(int id) {
  switch (id) {
    case kPlanAddId: AddTicket(state->window); break;
    case kPlanReplaceId: ReplaceTicket(); break;
    case kPlanRemoveId: ChangeSelected([](std::size_t row) { return state->plan.Remove(row); }); break;
    case kPlanMoveUpId: ChangeSelected([](std::size_t row) { return state->plan.MoveUp(row); }); break;
    case kPlanMoveDownId: ChangeSelected([](std::size_t row) { return state->plan.MoveDown(row); }); break;
    case kPlanOpenId:
      if (const std::wstring path = ChooseFile(false); !path.empty()) OpenPlanFile(path);
      break;
    case kPlanSaveId: Save(); break;
    case kPlanSaveAsId: SaveAs(); break;
    case kPlanNewId: NewPlan(); break;
    case kPlanCopyId: Copy(); break;
    case IDCANCEL: HidePlan(); break;
    default: break;
  }
}

// --- the window's procedure ----------------------------------------------------------

void ListText(NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.iItem < 0) return;
  const auto row = static_cast<std::size_t>(info.item.iItem);
  if (row >= state->plan.Size()) return;
  if (info.item.iSubItem == 0) {
    state->itemText = std::to_wstring(row + 1);
  } else {
    const TicketRowTexts texts = RowTextsOf(state->plan.Tickets()[row]);
    const std::string& text = info.item.iSubItem == 1 ? texts.line : info.item.iSubItem == 2 ? texts.bets : texts.cost;
    state->itemText = Utf16Of(text);
  }
  if (info.item.pszText != nullptr && info.item.cchTextMax > 0) {
    std::wcsncpy(info.item.pszText, state->itemText.c_str(), static_cast<std::size_t>(info.item.cchTextMax - 1));
    info.item.pszText[info.item.cchTextMax - 1] = L'\0';
  }
}

/*
 * Gives every control the system's message font at the window's DPI (the
 * system gives it at its own DPI), and measures its line height for the
 * summary. Called when the controls are made and again when the window
 * moves to a monitor of another DPI.
 */
void SetPlanFont(HWND window) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  HFONT font = nullptr;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    metrics.lfMessageFont.lfHeight =
        MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(state->dpi), static_cast<int>(SystemDpi()));
    font = CreateFontIndirectW(&metrics.lfMessageFont);
  }
  const HFONT shown = font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
  }
  if (state->font != nullptr) DeleteObject(state->font);
  state->font = font;

  if (HDC dc = GetDC(window); dc != nullptr) {
    const HGDIOBJ old = SelectObject(dc, shown);
    TEXTMETRICW text{};
    if (GetTextMetricsW(dc, &text)) state->lineHeight = text.tmHeight;
    SelectObject(dc, old);
    ReleaseDC(window, dc);
  }
}

void CreateControls(HWND window) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);

  state->list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                    LVS_OWNERDATA,
                                0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPlanListId)),
                                instance, nullptr);
  SendMessageW(state->list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  struct Column {
    const wchar_t* title;
    int width;
    int format;
  };
  const std::array<Column, 4> columns{{{L"#", Px(kNumberWidth), LVCFMT_RIGHT},
                                       {L"Ticket", Px(kTicketWidth), LVCFMT_LEFT},
                                       {L"Bets", Px(kBetsWidth), LVCFMT_RIGHT},
                                       {L"Cost", Px(kCostWidth), LVCFMT_RIGHT}}};
  for (std::size_t i = 0; i < columns.size(); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    column.cx = columns[i].width;
    column.fmt = columns[i].format;
    column.iSubItem = static_cast<int>(i);
    SendMessageW(state->list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }

  // Read-only, so its figures can be selected and copied as they are.
  state->summary = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY,
                                   0, 0, 0, 0, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPlanSummaryId)), instance, nullptr);
  for (const ButtonInfo& button : kButtons) {
    CreateWindowExW(0, L"BUTTON", button.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                    window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.id)), instance, nullptr);
  }
  SetPlanFont(window);
}

// The smallest window that still shows every button and the whole summary
// above a few rows of the list.
void SmallestSize(MINMAXINFO& info) {
  const int buttons = Px(static_cast<int>(kButtons.size()) * (kButtonHeight + kButtonGap) - kButtonGap + 2 * kMargin);
  const int left = Px(3 * kMargin + kSmallestListHeight + 6) + state->summaryLines * state->lineHeight;
  RECT rect{0, 0, Px(3 * kMargin + 240 + kButtonWidth), buttons > left ? buttons : left};
  AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
  info.ptMinTrackSize.x = rect.right - rect.left;
  info.ptMinTrackSize.y = rect.bottom - rect.top;
}

LRESULT CALLBACK PlanProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (state == nullptr || (state->window != nullptr && window != state->window)) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_CREATE:
      state->window = window;
      state->dpi = WindowDpi(window);
      CreateControls(window);
      state->counter = std::make_unique<DistinctCounter>(window, kCountDoneMessage);
      return 0;
    case WM_SIZE:
      Layout();
      [[fallthrough]];
    case WM_MOVE:
      // The place is kept once the window has stayed put for a moment.
      SetTimer(window, kPlaceTimer, 500, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == kPlaceTimer) {
        KillTimer(window, kPlaceTimer);
        SavePlace();
      }
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI: the font and every length at
      // the new DPI, in the rectangle the system suggests for it.
      state->dpi = HIWORD(wParam);
      SetPlanFont(window);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case WM_GETMINMAXINFO:
      SmallestSize(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_ACTIVATE:
      // The control that had the keyboard gets it back, as in a dialog.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) state->lastFocus = focus;
      } else if (HIWORD(wParam) == 0) {
        SetFocus(state->lastFocus != nullptr && IsWindow(state->lastFocus) ? state->lastFocus : state->list);
      }
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED || lParam == 0) Command(LOWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom != state->list) break;
      if (header->code == LVN_GETDISPINFOW) {
        ListText(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
      } else if (header->code == NM_DBLCLK) {
        const auto* activate = reinterpret_cast<NMITEMACTIVATE*>(lParam);
        if (activate->iItem >= 0 && static_cast<std::size_t>(activate->iItem) < state->plan.Size()) {
          SelectRow(static_cast<std::size_t>(activate->iItem));
          ShowSelectedInCalculator();
        }
      }
      return 0;
    }
    case kCountDoneMessage:
      if (wParam == state->generation) {
        if (const std::optional<PlanDistinct> result = state->counter->Result(state->generation)) {
          state->distinct = result->byType;
          ShowSummary();
          if (state->copyWhenCounted) CopyNow();
        }
      }
      return 0;
    case WM_CLOSE:
      // Closing the plan window only puts it away: the plan stays.
      HidePlan();
      return 0;
    case WM_DESTROY:
      KillTimer(window, kPlaceTimer);
      state->counter.reset();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterPlanClass() {
  static bool registered = false;
  if (registered) return true;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PlanProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  // The calculator's icons, when the program carries them.
  windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(103));
  windowClass.hIconSm = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(104));
  registered = RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

// Shows the window when it is hidden, leaving the keyboard where it is.
void ShowPlanQuietly() {
  if (!IsWindowVisible(state->window)) ShowWindow(state->window, SW_SHOWNOACTIVATE);
}

// The keys the plan window answers itself; false leaves the message to
// the dialog keys.
bool TakePlanKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  const bool control = KeyHeld(VK_CONTROL) && !KeyHeld(VK_MENU);
  const bool shift = KeyHeld(VK_SHIFT);
  const HWND target = message.hwnd;
  switch (message.wParam) {
    case VK_RETURN:
      if (KeyHeld(VK_MENU)) return false;
      if (control) {
        AddTicket(state->window);
      } else if (target == state->list) {
        ShowSelectedInCalculator();
      } else if (GetDlgCtrlID(target) >= kPlanAddId && GetDlgCtrlID(target) <= kPlanCopyId) {
        SendMessageW(target, BM_CLICK, 0, 0);
      }
      return true;
    case VK_ESCAPE:
      HidePlan();
      return true;
    case VK_DELETE:
      if (control || shift) return false;
      Command(kPlanRemoveId);
      return true;
    default:
      break;
  }
  if (!control) return false;
  switch (message.wParam) {
    case VK_UP: Command(kPlanMoveUpId); return true;
    case VK_DOWN: Command(kPlanMoveDownId); return true;
    case 'O': Command(kPlanOpenId); return true;
    case 'S': Command(shift ? kPlanSaveAsId : kPlanSaveId); return true;
    case 'N': Command(kPlanNewId); return true;
    case 'Z': UndoOrRedo(!shift); return true;
    case 'Y': UndoOrRedo(false); return true;
    case 'A':
      if (target != state->summary) return false;
      SendMessageW(target, EM_SETSEL, 0, -1);
      return true;
    case 'C': {
      // Figures selected in the summary copy as they are; anywhere else
      // Ctrl+C copies the whole plan.
      if (target == state->summary) {
        DWORD start = 0, end = 0;
        SendMessageW(target, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (start != end) return false;
      }
      Command(kPlanCopyId);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

HWND StartPlan(const std::wstring& planFile) {
  ClosePlan();
  if (!RegisterPlanClass()) return nullptr;
  state = new PlanWindowState;
  const std::optional<RECT> kept = KeptPlace();
  const RECT place = kept ? *kept : DefaultPlace();
  const HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, kPlanTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                      place.left, place.top, place.right - place.left, place.bottom - place.top,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) {
    delete state;
    state = nullptr;
    return nullptr;
  }
  Layout();

  AutosaveLoad load = LoadAutosave();
  state->plan.Reset(std::move(load.tickets));
  state->savedState = state->plan.State();
  Refresh(0);
  if (!state->plan.Empty() || !planFile.empty() || !load.message.empty()) ShowPlanQuietly();
  if (!load.message.empty()) Warn(window, load.message);
  if (!planFile.empty()) OpenPlanFile(planFile);
  return window;
}

void ClosePlan() {
  if (state == nullptr) return;
  if (state->window != nullptr) {
    SavePlace();
    DestroyWindow(state->window);
  }
  if (state->font != nullptr) DeleteObject(state->font);
  delete state;
  state = nullptr;
}

HWND PlanWindow() { return state != nullptr ? state->window : nullptr; }

bool TakePlanMessage(MSG& message) {
  if (state == nullptr || state->window == nullptr) return false;
  if (message.hwnd != state->window && !IsChild(state->window, message.hwnd)) return false;
  if (TakePlanKey(message)) return true;
  return IsDialogMessageW(state->window, &message) != FALSE;
}

void AddCalculatorTicketToPlan() {
  if (state == nullptr) return;
  ShowPlanQuietly();
  AddTicket(CalculatorWindow());
}

}  // namespace tallyhorn
