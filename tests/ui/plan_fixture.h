// A calculator with its plan window for each test, the data folder pointed
// at a fresh temporary folder (so the plan starts empty and no test touches
// a real autosave), and the plan read back through its controls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/files/temp_folder.h"
#include "tests/ui/calculator_fixture.h"
#include "ui/plan_window.h"

namespace tallyhorn::uitest {

class PlanTest : public CalculatorTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Closes the calculator and the plan, and starts both again as a new run
  // of the program would (the folder stays).
  void Restart(const std::wstring& planFile = L"");

  TempFolder folder;  // made before SetUp, so the plan starts from it
};

// A mixed plan of bet types and bases, as the ticket box writes each one.
extern const std::vector<std::string> kMixedPlan;

// --- reading the plan -----------------------------------------------------------

HWND PlanControl(int id);
// Each row of the list: number, ticket line, bets, cost.
std::vector<std::vector<std::string>> PlanRows();
// The ticket lines of the list, in order.
std::vector<std::string> PlanLines();
std::string PlanSummary();
std::string PlanTitle();
bool PlanShown();
// The selected row, or -1.
int SelectedPlanRow();
// The clipboard's Unicode text as UTF-8.
std::string ClipboardUnicodeText();
std::string FileBytes(const std::wstring& path);

// --- a person's actions ---------------------------------------------------------

// Types a ticket into the calculator's ticket box and presses Enter.
void TypeTicket(const std::string& text);
// Types each ticket into the calculator and presses Ctrl+Enter there.
void AddToPlan(const std::vector<std::string>& tickets);
// A click on one of the plan's buttons.
void ClickPlan(int id);
// A click on a row of the list, and a double-click.
void ClickPlanRow(int row);
void DoubleClickPlanRow(int row);
// Puts the keyboard focus on a control of the plan window.
void FocusPlan(int id);
// Presses a key in the plan window, on the control that has its focus (the
// list when none has).
int PressPlanKey(UINT virtualKey, bool control = false, bool shift = false);
// Alt and a letter, as a mnemonic is pressed.
void PressPlanMnemonic(char letter);
// Runs the message loop until the summary no longer says it is counting
// (ten seconds at most).
void WaitForCount();

// What a common Open or Save As dialog showed, and the message box that
// followed it, if one did.
struct FileDialog {
  bool shown = false;
  std::string title;
  bool boxShown = false;
  std::string boxText;
};

// Runs an action that opens a common file dialog, types `path` into its
// file name box and presses its OK button, or Cancel when path is empty;
// a message box that follows is read and closed with OK.
FileDialog ChooseInFileDialog(const std::function<void()>& action, const std::wstring& path);

}  // namespace tallyhorn::uitest
