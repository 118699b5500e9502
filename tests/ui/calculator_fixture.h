// A fresh calculator for each test, driven only by what a person's actions
// produce (clicks, text typed into a size edit, keys through the message
// loop) and read back through USER32.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/calculator.h"
#include "ui/resource.h"

namespace tallyhorn::uitest {

// What WM_QUIT carries when a test, not the dialog, ended the message loop.
inline constexpr int kLoopStoppedByTest = 0x7e57;

// Creates the calculator before each test and destroys it after, with every
// message it left behind.
class CalculatorTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND dialog = nullptr;
};

// Names each case of a parameterised test by its `name` field.
struct CaseName {
  template <class Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

// --- reading the form -------------------------------------------------------

HWND Control(int id);
std::string Text(int id);
bool Checked(int id);
// IsWindowVisible: the control and the dialog are both shown.
bool Visible(int id);
// The horses (numbers from 1) of a row whose boxes are ticked / visible.
std::vector<int> TickedHorses(Row row);
std::vector<int> VisibleHorses(Row row);
// The IDs of the checked bet-type and unit buttons.
std::vector<int> CheckedBetButtons();
std::vector<int> CheckedUnitButtons();

// Every control's ID, text, check state and visibility, in template order;
// two equal snapshots mean the form shows the same thing.
std::vector<std::string> FormSnapshot();

// --- a person's actions -----------------------------------------------------

// A click on a visible button, box or radio button (fails the test when the
// control is hidden: a person could not click it).
void Click(int id);
void ClickHorses(Row row, const std::vector<int>& horses);
// Builds, by clicks and typing, a Pick-4 at $2 with sizes 12, 9, 14, 10,
// horses in every row, and horse 15 of row A ticked but hidden by its
// field of 12: a form with every part that undo, a base or a typed text
// must keep.
void BuildBusyPick4();
// Types a whole new text into a row's visible size edit.
void TypeSize(Row row, const char* text);
// Presses a key (with Ctrl and Shift held when asked) on the control that
// has the focus, in the calculator or another window of the program (or on
// the dialog when no shown window has it) and runs the message loop until the key is
// handled. Returns what RunMessageLoop returned: kLoopStoppedByTest, unless
// the key closed the dialog.
int PressKey(UINT virtualKey, bool control = false, bool shift = false);
// Types text into the focused control, one WM_CHAR per UTF-16 unit posted
// to it, as the keyboard's characters arrive, and runs the message loop
// until they are handled.
void TypeText(const std::wstring& text);
// Gives a control the keyboard focus, as a click into it would.
void Focus(int id);
// Puts a text on the clipboard, as another program's copy would, and
// reads the clipboard's text back.
void SetClipboardText(const std::string& text);
// The same as Unicode text, as most programs put it there.
void SetClipboardUnicodeText(const std::wstring& text);
std::string ClipboardText();
// The focused control's ID, or 0.
int FocusId();

// --- watching the dialog's procedure ---------------------------------------

// Counts, while it lives, the recalculations (each ends with the dialog's
// own WM_INITDIALOG), the EN_CHANGE commands from size edits, and how deep
// those commands nested.
class CycleCounter {
 public:
  CycleCounter();
  ~CycleCounter();
  CycleCounter(const CycleCounter&) = delete;
  CycleCounter& operator=(const CycleCounter&) = delete;

  int cycles() const;
  int sizeChanges() const;
  int deepestSizeChange() const;

 private:
  HHOOK before_;
  HHOOK after_;
};

// What a modal message box showed before the test closed it.
struct ModalBox {
  bool shown = false;
  bool ownerDisabled = false;  // the calculator could not be used meanwhile
  bool informationIcon = false;
  bool warningIcon = false;
  std::string caption;
  std::string text;
  std::wstring wideText;  // the text as the box holds it, read as UTF-16
};

// Runs an action that may open a modal message box; reads the box and
// closes it with its OK button, as a person would. `shown` is false when
// no box opened before the action returned.
ModalBox WatchModalBox(const std::function<void()>& action);

// Clicks a button that opens a modal message box, reads it and closes it.
ModalBox ClickAndCloseModalBox(int id);

// Presses a key like PressKey, reading and closing the modal message box
// it may open; `shown` is false when it opened none.
ModalBox PressKeyAndCloseModalBox(UINT virtualKey, bool control = false, bool shift = false);

// Posts a message to the dialog, as a menu does, and runs the message loop
// until it is handled, reading and closing the modal box it may open.
ModalBox PostAndCloseModalBox(UINT message, WPARAM wParam, LPARAM lParam);

// What holding a key down did: how many modal boxes opened, and whether
// the last one was still up when the key was let go.
struct HeldKey {
  int boxesOpened = 0;
  bool boxUpAtRelease = false;
  ModalBox lastBox;
};

// Holds a key down on the focused control: its press, then `repeats`
// repeats (the previous-state bit set) posted one by one to whichever
// window has the focus by then, as the keyboard sends them, then its
// release. Every box it opens is read and closed once the key is let go.
HeldKey HoldKeyAndCloseModalBoxes(UINT virtualKey, int repeats);

}  // namespace tallyhorn::uitest
