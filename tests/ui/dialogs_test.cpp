// About and Help open modal boxes and change nothing; Escape and the close
// box end the program's message loop.
#include <array>
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"
#include "ui/keys_help.h"

namespace tallyhorn::uitest {
namespace {

const char* const kHelpText =
    "The Tallyhorn helps you figure out the number of\n"
    "combinations and cost of a variety of exotic wagers, ranging from\n"
    "simple Exactas to vastly complicated 6-horse Superfectas.\n\n"
    "To use the calculator, first select the bet type and amount per\n"
    "single ticket. The correct number of races will appear, with\n"
    "checkboxes for horses 1 to 12.  If you wish, you can extend or\n"
    "shrink the number of horses in the race, but this is not really\n"
    "neccessary. It is useful if you're using the [All] button for\n"
    "certain races and also helps in reminding you of field sizes when\n"
    "working through a particularly complex ticket.\n\n"
    "To change the number of horses in a race, double-click the number\n"
    "on the far-right column (to highlight it) and then enter the correct\n"
    "number. Up to 20 horses per race is supported.\n\n"
    "As you'll see, you can change things dynamically and very quickly by\n"
    "clicking on the checkboxes. You can also change the bet type and unit\n"
    "cost. As you do, the white box at the bottom will display the current\n"
    "ticket and total cost.\n\n"
    "You can cut/copy/edit the text in the box if you wish to paste it into\n"
    "Word or Notepad or any other software useful for printing.\n\n"
    "If you have any suggestions or comments, please feel free to contact me.\n\n"
    "See [About] for more information.\n\n"
    ".....QX";

struct BoxCase {
  const char* name;
  int button;
  const char* caption;
};

std::ostream& operator<<(std::ostream& out, const BoxCase& c) { return out << c.name; }

class MessageBoxTest : public CalculatorTest, public testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxTest, OpensAModalInformationBoxAndChangesNothing) {
  const BoxCase& c = GetParam();
  Click(IDC_BET_PICK_3);
  ClickHorses(0, {1, 2});
  ClickHorses(1, {3});
  ClickHorses(2, {4, 5});
  const std::vector<std::string> before = FormSnapshot();
  const WagerState state = CalculatorState();

  ModalBox box;
  {
    CycleCounter counter;
    box = ClickAndCloseModalBox(c.button);
    EXPECT_EQ(counter.cycles(), 0) << "no recalculation";
  }
  ASSERT_TRUE(box.shown) << "no message box opened";
  EXPECT_TRUE(box.ownerDisabled) << "the calculator stayed usable: the box is not modal";
  EXPECT_TRUE(box.informationIcon);
  EXPECT_EQ(box.caption, c.caption);
  EXPECT_EQ(FormSnapshot(), before);
  EXPECT_EQ(CalculatorState().betType, state.betType);
  EXPECT_EQ(CalculatorState().selections, state.selections);
  EXPECT_EQ(CalculatorState().fieldSize, state.fieldSize);
  EXPECT_TRUE(IsWindowEnabled(dialog)) << "the calculator is usable again once the box is closed";

  if (c.button == IDC_HELP_BUTTON) {
    EXPECT_EQ(box.text, kHelpText);
  } else {
    // It names the program, its version, what it does and where to write.
    EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "Tallyhorn");
    EXPECT_NE(box.text.find("Version 1."), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("horse-racing wagers"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("issue tracker"), std::string::npos) << box.text;
  }
}

INSTANTIATE_TEST_SUITE_P(AboutAndHelp, MessageBoxTest,
                         testing::Values(BoxCase{"About", IDC_ABOUT_BUTTON, "About Tallyhorn"},
                                         BoxCase{"Help", IDC_HELP_BUTTON, "Tallyhorn..."}),
                         CaseName());

// The system menu's "Keys and tickets..." opens a modal box on reading a
// ticket, Enter and undo; the form's own Help stays as it is.
TEST_F(CalculatorTest, KeysAndTicketsOnTheSystemMenu) {
  std::array<wchar_t, 64> label{};
  GetMenuStringW(GetSystemMenu(dialog, FALSE), kKeysHelpCommand, label.data(), static_cast<int>(label.size()),
                 MF_BYCOMMAND);
  EXPECT_EQ(std::wstring(label.data()), L"Keys and tickets...");

  ClickHorses(0, {1, 2});
  const std::vector<std::string> before = FormSnapshot();
  // What choosing the command sends the window.
  const ModalBox box = PostAndCloseModalBox(WM_SYSCOMMAND, kKeysHelpCommand, 0);
  ASSERT_TRUE(box.shown);
  EXPECT_TRUE(box.ownerDisabled);
  EXPECT_TRUE(box.informationIcon);
  EXPECT_EQ(box.caption, "Keys and tickets");
  for (const char* topic :
       {"Type a ticket", "Enter", "Ctrl+Z", "Ctrl+Y", "Ctrl+V", "Shift+Insert", "$0.50", "$1,000"}) {
    EXPECT_NE(box.text.find(topic), std::string::npos) << topic;
  }
  EXPECT_EQ(FormSnapshot(), before);
}

using ClosingTest = CalculatorTest;

TEST_F(ClosingTest, EscapeEndsTheProgram) {
  Click(IDC_BET_PICK_5);  // the focus is on a button, as after any click
  EXPECT_EQ(PressKey(VK_ESCAPE), 0) << "the message loop did not end with WM_QUIT 0";
  EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST_F(ClosingTest, TheCloseBoxEndsTheProgram) {
  // What a click on the title bar's close box asks of the window.
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostQuitMessage(kLoopStoppedByTest);
  EXPECT_EQ(RunMessageLoop(), 0) << "the message loop did not end with WM_QUIT 0";
  EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST_F(ClosingTest, OtherKeysLeaveTheProgramRunning) {
  Click(IDC_BET_PICK_5);
  EXPECT_EQ(PressKey(VK_TAB), kLoopStoppedByTest);
  EXPECT_TRUE(IsWindowVisible(dialog));
}

}  // namespace
}  // namespace tallyhorn::uitest
