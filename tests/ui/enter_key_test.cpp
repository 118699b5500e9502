// Enter does what a person means: in a size edit it keeps the number and
// selects it, on a push button it presses it, and elsewhere it opens
// nothing and never closes the calculator.
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

using EnterKeyTest = CalculatorTest;

// Presses Enter on the control with `id`; returns the box it opened, if any.
ModalBox PressEnterOn(int id) {
  Focus(id);
  return PressKeyAndCloseModalBox(VK_RETURN);
}

TEST_F(EnterKeyTest, InASizeEditKeepsTheNumberAndSelectsIt) {
  Click(IDC_BET_PICK_3);
  TypeSize(1, "15");
  const std::vector<std::string> before = FormSnapshot();
  const ModalBox box = PressEnterOn(SizeEditId(1));
  EXPECT_FALSE(box.shown) << "Enter opened \"" << box.caption << "\"";
  EXPECT_EQ(FormSnapshot(), before);
  DWORD start = 1;
  DWORD end = 0;
  SendMessageA(Control(SizeEditId(1)), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 2u);
  EXPECT_EQ(VisibleHorses(1).size(), 15u);
}

TEST_F(EnterKeyTest, OnAPushButtonPressesIt) {
  const ModalBox box = PressEnterOn(IDC_ALL_B);
  EXPECT_FALSE(box.shown);
  EXPECT_EQ(TickedHorses(1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));

  const ModalBox help = PressEnterOn(IDC_HELP_BUTTON);
  EXPECT_TRUE(help.shown);
  EXPECT_EQ(help.caption, "Tallyhorn...");
  const ModalBox about = PressEnterOn(IDC_ABOUT_BUTTON);
  EXPECT_TRUE(about.shown);
  EXPECT_EQ(about.caption, "About Tallyhorn");
}

// On a bet-type button or the dialog itself Enter does nothing: no Help,
// no About, no closing.
TEST_F(EnterKeyTest, ElsewhereOpensNothing) {
  ClickHorses(0, {1, 2});
  const std::vector<std::string> before = FormSnapshot();
  for (int id : {IDC_BET_TRIFECTA, IDC_UNIT_1, BoxId(0, 1)}) {
    const ModalBox box = PressEnterOn(id);
    EXPECT_FALSE(box.shown) << "on " << id << " Enter opened \"" << box.caption << "\"";
    EXPECT_EQ(FormSnapshot(), before) << "on " << id;
  }
  EXPECT_NE(CalculatorDialog(), nullptr);
  EXPECT_TRUE(IsWindowVisible(CalculatorDialog()));
}

}  // namespace
}  // namespace tallyhorn::uitest
