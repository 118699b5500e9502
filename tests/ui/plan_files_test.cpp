// The plan in files: Save and Open through the common dialogs, files with
// bad lines, failed saves, the autosave that brings the plan back at the
// next start, the window's place, and a plan file on the command line.
#include <string>
#include <vector>

#include "calc/plan_file.h"
#include "calc/summary.h"
#include "tests/ui/plan_fixture.h"
#include "ui/file_io.h"
#include "ui/unicode.h"

namespace tallyhorn::uitest {
namespace {

using PlanFilesTest = PlanTest;

std::string TextOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Save asks for a name once, then saves there; the title names the file and
// marks changes not saved; New unties; Open brings the file back, and
// undoing the open brings back the plan before it. What is saved is what
// tallyhorn-cli reads to the plan's own text.
TEST_F(PlanFilesTest, SaveAndOpenThroughTheDialogs) {
  AddToPlan(kMixedPlan);
  const std::wstring path = folder / L"saturday.txt";
  const FileDialog saveAs = ChooseInFileDialog([] { ClickPlan(kPlanSaveId); }, path);
  EXPECT_TRUE(saveAs.shown);
  EXPECT_EQ(saveAs.title, "Save plan as");
  EXPECT_EQ(FileBytes(path), TextOf(kMixedPlan));
  EXPECT_EQ(PlanTitle(), "saturday.txt - Tallyhorn plan");

  ClickPlanRow(0);
  PressPlanKey(VK_DELETE);
  EXPECT_EQ(PlanTitle(), "*saturday.txt - Tallyhorn plan");
  PressPlanKey('Z', true);
  EXPECT_EQ(PlanTitle(), "saturday.txt - Tallyhorn plan") << "undo back to the saved plan";
  PressPlanKey(VK_DELETE);
  PressPlanKey('S', true);  // tied to the file: no dialog
  const std::vector<std::string> rest(kMixedPlan.begin() + 1, kMixedPlan.end());
  EXPECT_EQ(FileBytes(path), TextOf(rest));
  EXPECT_EQ(PlanTitle(), "saturday.txt - Tallyhorn plan");

  PressPlanKey('N', true);
  EXPECT_TRUE(PlanRows().empty());
  EXPECT_EQ(PlanTitle(), "Tallyhorn plan");

  const FileDialog open = ChooseInFileDialog([] { ClickPlan(kPlanOpenId); }, path);
  EXPECT_EQ(open.title, "Open plan");
  EXPECT_EQ(PlanLines(), rest);
  EXPECT_EQ(PlanTitle(), "saturday.txt - Tallyhorn plan");
  PressPlanKey('Z', true);
  EXPECT_TRUE(PlanRows().empty()) << "undo takes the open back";
  PressPlanKey('Z', true);
  EXPECT_EQ(PlanLines(), rest) << "and then the New";

  // Save as a second name, not ASCII; a cancelled dialog changes nothing.
  const std::wstring other = folder / L"dimanche-\u00e9t\u00e9.txt";
  ChooseInFileDialog([] { ClickPlan(kPlanSaveAsId); }, other);
  EXPECT_EQ(FileBytes(other), TextOf(rest));
  ClickPlanRow(0);
  PressPlanKey(VK_DELETE);
  const FileDialog cancelled = ChooseInFileDialog([] { ClickPlan(kPlanSaveAsId); }, L"");
  EXPECT_TRUE(cancelled.shown);
  EXPECT_EQ(PlanTitle(), "*dimanche-\xC3\xA9t\xC3\xA9.txt - Tallyhorn plan");
  EXPECT_EQ(FileBytes(other), TextOf(rest));
}

// A file of UTF-16 text with comments, blank lines, copied "Bets:" lines
// and bad lines opens with its good lines; the box names the first ten bad
// lines by number and how many more; the plan is not tied to the file, so
// Save asks for a name and the file stays as it was.
TEST_F(PlanFilesTest, AFileWithBadLinesOpensItsGoodLines) {
  std::string text = "# Saturday\r\n\r\n" + kMixedPlan[0] + "\r\nBets: 4  Total: $4\r\n";
  for (int i = 0; i < 12; ++i) text += "$1 Trifecta: 1 / 2 / 99\r\n";
  text += kMixedPlan[1] + "\r\n";
  std::wstring wide = L"\xFEFF" + Utf16Of(text);
  const std::string bytes(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  const std::wstring path = folder / L"mixed.txt";
  WritePlainly(path, bytes);

  AddToPlan({kMixedPlan[3]});
  const FileDialog opened = ChooseInFileDialog([] { ClickPlan(kPlanOpenId); }, path);
  EXPECT_TRUE(opened.shown);
  ASSERT_TRUE(opened.boxShown);
  const std::string& message = opened.boxText;
  EXPECT_NE(message.find("Line 5 "), std::string::npos) << message;
  EXPECT_NE(message.find("Line 14 "), std::string::npos) << message;
  EXPECT_EQ(message.find("Line 15 "), std::string::npos) << message;
  EXPECT_NE(message.find("2 more"), std::string::npos) << message;
  EXPECT_NE(message.find("not tied"), std::string::npos) << message;
  EXPECT_EQ(PlanLines(), (std::vector<std::string>{kMixedPlan[0], kMixedPlan[1]}));
  EXPECT_EQ(PlanTitle(), "*Tallyhorn plan");

  const FileDialog save = ChooseInFileDialog([] { ClickPlan(kPlanSaveId); }, L"");
  EXPECT_TRUE(save.shown) << "Save asks for a name";
  EXPECT_EQ(FileBytes(path), bytes);
}

// A save that fails says why and keeps the plan, its changes still marked.
TEST_F(PlanFilesTest, AFailedSaveSaysWhyAndKeepsThePlan) {
  AddToPlan({kMixedPlan[0], kMixedPlan[1]});
  const std::wstring path = folder / L"locked.txt";
  ChooseInFileDialog([] { ClickPlan(kPlanSaveId); }, path);
  ASSERT_EQ(FileBytes(path), TextOf({kMixedPlan[0], kMixedPlan[1]}));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  ClickPlan(kPlanAddId);
  const ModalBox box = WatchModalBox([] { ClickPlan(kPlanSaveId); });
  ASSERT_TRUE(box.shown);
  EXPECT_NE(box.text.find("not saved"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("read-only"), std::string::npos) << box.text;
  EXPECT_EQ(PlanRows().size(), 3u);
  EXPECT_EQ(PlanTitle(), "*locked.txt - Tallyhorn plan");
  EXPECT_EQ(FileBytes(path), TextOf({kMixedPlan[0], kMixedPlan[1]}));
}

// After every change the plan is in the autosave file, which tallyhorn-cli
// reads to the text Copy gives; the next start brings it back with a fresh
// history, and an untouched start keeps it.
TEST_F(PlanFilesTest, ThePlanComesBackAtTheNextStart) {
  const std::wstring autosave = folder / L"plan.txt";
  AddToPlan(kMixedPlan);
  EXPECT_EQ(FileBytes(autosave), TextOf(kMixedPlan));
  ClickPlanRow(1);
  PressPlanKey(VK_DELETE);
  std::vector<std::string> rest = kMixedPlan;
  rest.erase(rest.begin() + 1);
  EXPECT_EQ(FileBytes(autosave), TextOf(rest));
  PressPlanKey('Z', true);
  EXPECT_EQ(FileBytes(autosave), TextOf(kMixedPlan)) << "undo is a change too";
  PressPlanKey('C', true);
  WaitForCount();
  EXPECT_EQ(ClipboardUnicodeText(), TicketSetText(ReadPlanFile(FileBytes(autosave)).tickets));

  // The calculator closed as a person closes it (Escape) takes the plan
  // window with it.
  Focus(IDC_RESET);
  EXPECT_EQ(PressKey(VK_ESCAPE), 0) << "Escape closes the calculator";
  Restart();
  EXPECT_TRUE(PlanShown()) << "a plan with tickets shows at start";
  EXPECT_EQ(PlanLines(), kMixedPlan);
  EXPECT_EQ(PlanTitle(), "Tallyhorn plan");
  FocusPlan(kPlanListId);
  PressPlanKey('Z', true);
  EXPECT_EQ(PlanLines(), kMixedPlan) << "the history starts afresh";
  Restart();
  EXPECT_EQ(PlanLines(), kMixedPlan);
}

// An autosave that fails is said once, not at every change, until one
// succeeds again; the plan in the window is as it should be throughout.
TEST_F(PlanFilesTest, AFailedAutosaveIsSaidOnce) {
  const std::wstring autosave = folder / L"plan.txt";
  AddToPlan({kMixedPlan[0]});
  SetFileAttributesW(autosave.c_str(), FILE_ATTRIBUTE_READONLY);
  const ModalBox first = WatchModalBox([] { ClickPlan(kPlanAddId); });
  ASSERT_TRUE(first.shown);
  EXPECT_NE(first.text.find("next start"), std::string::npos) << first.text;
  EXPECT_NE(first.text.find("read-only"), std::string::npos) << first.text;
  EXPECT_FALSE(WatchModalBox([] { ClickPlan(kPlanAddId); }).shown);
  EXPECT_EQ(PlanRows().size(), 3u);

  SetFileAttributesW(autosave.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(WatchModalBox([] { ClickPlan(kPlanAddId); }).shown);
  EXPECT_EQ(FileBytes(autosave), TextOf(std::vector<std::string>(4, kMixedPlan[0])));
  SetFileAttributesW(autosave.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(WatchModalBox([] { ClickPlan(kPlanAddId); }).shown) << "failing again is said again";
  SetFileAttributesW(autosave.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A damaged autosave is kept beside it, its good lines load, and a box says
// so.
TEST_F(PlanFilesTest, ADamagedAutosaveIsKeptAndItsGoodLinesLoad) {
  WritePlainly(folder / L"plan.txt", kMixedPlan[0] + "\r\n$1 Trifecta: 1 / 2 /\r\n" + kMixedPlan[2] + "\r\n");
  const ModalBox box = WatchModalBox([this] { Restart(); });
  ASSERT_TRUE(box.shown);
  EXPECT_NE(box.text.find("damaged"), std::string::npos) << box.text;
  EXPECT_EQ(PlanLines(), (std::vector<std::string>{kMixedPlan[0], kMixedPlan[2]}));
  EXPECT_EQ(folder.Files(L"plan.damaged-*.txt").size(), 1u);
}

// The window opens where it was left, with its size; a place no monitor
// shows any more is not used.
TEST_F(PlanFilesTest, TheWindowKeepsItsPlaceAndSize) {
  AddToPlan({kMixedPlan[0]});
  SetWindowPos(PlanWindow(), nullptr, 300, 200, 700, 460, SWP_NOZORDER | SWP_NOACTIVATE);
  Restart();
  RECT rect{};
  GetWindowRect(PlanWindow(), &rect);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.top, 200);
  EXPECT_EQ(rect.right - rect.left, 700);
  EXPECT_EQ(rect.bottom - rect.top, 460);

  SetWindowPos(PlanWindow(), nullptr, -9000, -9000, 700, 460, SWP_NOZORDER | SWP_NOACTIVATE);
  Restart();
  GetWindowRect(PlanWindow(), &rect);
  EXPECT_NE(MonitorFromRect(&rect, MONITOR_DEFAULTTONULL), nullptr) << "the window is on a monitor";
}

// A plan file given at start opens beside the calculator in its start
// state, tied to the file; tallyhorn.exe itself takes it from its command
// line.
TEST_F(PlanFilesTest, APlanFileGivenAtStartOpens) {
  const std::wstring path = folder / L"friday.txt";
  WritePlainly(path, TextOf({kMixedPlan[1], kMixedPlan[4]}));
  const std::vector<std::string> startForm = FormSnapshot();
  Restart(path);
  EXPECT_TRUE(PlanShown());
  EXPECT_EQ(PlanLines(), (std::vector<std::string>{kMixedPlan[1], kMixedPlan[4]}));
  EXPECT_EQ(PlanTitle(), "friday.txt - Tallyhorn plan");
  EXPECT_EQ(FormSnapshot(), startForm);

  // The program: its plan window comes up titled after the file.
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring program = self;
  program = program.substr(0, program.find_last_of(L'\\')) + L"\\..\\..\\tallyhorn.exe";
  std::wstring command = L"\"" + program + L"\" \"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process));
  HWND window = nullptr;
  for (int i = 0; i < 200 && window == nullptr; ++i) {
    Sleep(50);
    window = FindWindowW(L"TallyhornPlan", L"friday.txt - Tallyhorn plan");
  }
  EXPECT_NE(window, nullptr) << "no plan window titled after the file";
  HWND calculator = FindWindowW(nullptr, L"Tallyhorn");
  if (calculator != nullptr) PostMessageW(calculator, WM_COMMAND, IDCANCEL, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace tallyhorn::uitest
