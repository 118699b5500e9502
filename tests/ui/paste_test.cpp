// Every way of pasting reads a ticket alike: Ctrl+V, Shift+Insert, and the
// ticket box's context-menu Paste. A text that is no ticket is pasted as
// text into the ticket box, and elsewhere earns a beep.
#include <functional>
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"
#include "ui/keys.h"

namespace tallyhorn::uitest {
namespace {

int beeps = 0;
BOOL WINAPI CountBeep(UINT) {
  ++beeps;
  return TRUE;
}

// Chooses Paste in the menu the ticket box opens on a right click, once
// the menu is up: its mnemonic, typed into the menu's own loop.
void CALLBACK ChoosePaste(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = FindWindowA("#32768", nullptr);
  if (menu == nullptr || !IsWindowVisible(menu)) return;
  KillTimer(nullptr, timer);
  PostMessageW(menu, WM_CHAR, 'p', 1);
}

void MenuPaste() {
  const HWND box = Control(IDC_TICKET);
  RECT rect{};
  GetWindowRect(box, &rect);
  SetTimer(nullptr, 0, 20, ChoosePaste);
  // The box tracks its menu before the message returns.
  SendMessageW(box, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box), MAKELPARAM(rect.left + 5, rect.top + 5));
}

struct RouteCase {
  std::string name;
  int focus;
  std::function<void()> paste;
};

std::ostream& operator<<(std::ostream& out, const RouteCase& c) { return out << c.name; }

class PasteRouteTest : public CalculatorTest, public testing::WithParamInterface<RouteCase> {
 protected:
  void SetUp() override {
    CalculatorTest::SetUp();
    Click(IDC_BET_PICK_3);
    ClickHorses(0, {1, 2});
    beeps = 0;
    keyBeep = CountBeep;
  }
  void TearDown() override {
    keyBeep = MessageBeep;
    CalculatorTest::TearDown();
  }

  bool InTheTicketBox() const { return GetParam().focus == IDC_TICKET; }

  void Paste() {
    Focus(GetParam().focus);
    if (InTheTicketBox()) SendMessageW(Control(IDC_TICKET), EM_SETSEL, 0, -1);
    GetParam().paste();
  }
};

TEST_P(PasteRouteTest, ATicketSetsTheForm) {
  SetClipboardText("$2 Exacta: 3 / 4");
  Paste();
  EXPECT_EQ(Text(IDC_TICKET), "$2 Exacta: 3 / 4\r\nBets:  1  Total:  $2 ");
  EXPECT_EQ(CheckedBetButtons(), std::vector<int>{IDC_BET_EXACTA});
  EXPECT_EQ(beeps, 0);
}

TEST_P(PasteRouteTest, OtherTextIsPastedInTheTicketBoxAndBeepsElsewhere) {
  SetClipboardText("Back the favourite");
  const std::vector<std::string> before = FormSnapshot();
  const WagerState state = CalculatorState();
  Paste();
  if (InTheTicketBox()) {
    EXPECT_EQ(Text(IDC_TICKET), "Back the favourite");
    EXPECT_EQ(beeps, 0);
  } else {
    EXPECT_EQ(FormSnapshot(), before);
    EXPECT_EQ(beeps, 1);
  }
  EXPECT_EQ(CalculatorState().selections, state.selections);
  EXPECT_EQ(CalculatorState().betType, kPick3);
}

void CtrlV() { ASSERT_EQ(PressKey('V', true), kLoopStoppedByTest); }
void ShiftInsert() { ASSERT_EQ(PressKey(VK_INSERT, false, true), kLoopStoppedByTest); }

INSTANTIATE_TEST_SUITE_P(Routes, PasteRouteTest,
                         testing::Values(RouteCase{"CtrlVOnAButton", IDC_RESET, CtrlV},
                                         RouteCase{"ShiftInsertOnAButton", IDC_RESET, ShiftInsert},
                                         RouteCase{"ShiftInsertOnAHorseBox", BoxId(1, 4), ShiftInsert},
                                         RouteCase{"CtrlVInTheTicketBox", IDC_TICKET, CtrlV},
                                         RouteCase{"ShiftInsertInTheTicketBox", IDC_TICKET, ShiftInsert},
                                         RouteCase{"MenuPasteInTheTicketBox", IDC_TICKET, MenuPaste}),
                         CaseName());

// In a size edit Shift+Insert pastes the clipboard's digits, as Ctrl+V
// does, without a beep.
TEST_F(CalculatorTest, ShiftInsertInASizeEditPastesItsDigits) {
  beeps = 0;
  keyBeep = CountBeep;
  SetClipboardText("15");
  Focus(SizeEditId(0));
  SendMessageA(Control(SizeEditId(0)), EM_SETSEL, 0, -1);
  ASSERT_EQ(PressKey(VK_INSERT, false, true), kLoopStoppedByTest);
  keyBeep = MessageBeep;
  EXPECT_EQ(Text(SizeEditId(0)), "15");
  EXPECT_EQ(VisibleHorses(0).size(), 15u);
  EXPECT_EQ(beeps, 0);
}

}  // namespace
}  // namespace tallyhorn::uitest
