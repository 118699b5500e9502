// Typing in the ticket box is part of the history: undo brings the box back
// as the calculator wrote it, with the form unchanged, and redo brings the
// typing back. A change that rewrites the box keeps the typing in the
// history, so nothing typed is lost to undo or redo.
#include <functional>
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

int Undo() { return PressKey('Z', true); }
int Redo() { return PressKey('Y', true); }

// Types at the end of the ticket box's text, as a person who clicked after
// the ticket and went on typing.
void TypeAtTheEndOfTheBox(const std::wstring& text) {
  Focus(IDC_TICKET);
  const auto end = static_cast<WPARAM>(GetWindowTextLengthW(Control(IDC_TICKET)));
  SendMessageW(Control(IDC_TICKET), EM_SETSEL, end, static_cast<LPARAM>(end));
  TypeText(text);
}

class TypingHistoryTest : public CalculatorTest {
 protected:
  // A Pick-3 ticket, built one click at a time.
  void SetUp() override {
    CalculatorTest::SetUp();
    Click(IDC_BET_PICK_3);
    ClickHorses(0, {1, 2});
    ClickHorses(1, {3});
    written = FormSnapshot();
    ClickHorses(2, {4});
    before = FormSnapshot();
  }

  std::vector<std::string> written;  // before the last click
  std::vector<std::string> before;   // before the typing
};

// Ctrl+Z right after typing takes the typing away, and only it; Ctrl+Y
// brings it back. Each character's change joins one step.
TEST_F(TypingHistoryTest, UndoTakesTheTypingAwayAndRedoBringsItBack) {
  TypeAtTheEndOfTheBox(L"  # Saturday, race 5");
  const std::vector<std::string> typed = FormSnapshot();
  ASSERT_NE(typed, before) << "the typing changed nothing";

  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), before) << "after Ctrl+Z";
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), typed) << "after Ctrl+Y";
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), written) << "the second Ctrl+Z undoes the last click";
}

// Typing that is taken back by hand (Backspace) leaves no step to undo.
TEST_F(TypingHistoryTest, TypingTakenBackByHandIsNoStep) {
  TypeAtTheEndOfTheBox(L"xy\b\b");
  ASSERT_EQ(FormSnapshot(), before);
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), written);
}

struct RewriteCase {
  std::string name;
  std::function<void()> change;
};

std::ostream& operator<<(std::ostream& out, const RewriteCase& c) { return out << c.name; }

class TypingThenAChangeTest : public TypingHistoryTest, public testing::WithParamInterface<RewriteCase> {};

// A change after the typing rewrites the box; undoing it brings the typing
// back with the form as it was, and one more undo the box as written.
TEST_P(TypingThenAChangeTest, UndoBringsTheTypingBack) {
  TypeAtTheEndOfTheBox(L" (check the scratches)");
  const std::vector<std::string> typed = FormSnapshot();
  const std::string typedText = Text(IDC_TICKET);
  GetParam().change();
  const std::vector<std::string> changed = FormSnapshot();
  ASSERT_NE(Text(IDC_TICKET), typedText) << "the change did not rewrite the box";

  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), typed) << "after one Ctrl+Z";
  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), before) << "after two";
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), changed) << "after two Ctrl+Y";
}

INSTANTIATE_TEST_SUITE_P(
    Changes, TypingThenAChangeTest,
    testing::Values(RewriteCase{"HorseBox", [] { Click(BoxId(2, 6)); }},
                    RewriteCase{"SizeEdit", [] { TypeSize(1, "9"); }},
                    RewriteCase{"BetType", [] { Click(IDC_BET_PICK_4); }},
                    RewriteCase{"PastedTicket",
                                [] {
                                  SetClipboardText("$2 Exacta: 1 / 2");
                                  Focus(IDC_RESET);
                                  PressKey('V', true);
                                }}),
    CaseName());

// A ticket typed key by key and read with Enter is one step with its
// typing: undo goes back to the form and box before the typing, redo to
// the ticket.
TEST_F(TypingHistoryTest, ATypedTicketAndItsEnterAreOneStep) {
  Focus(IDC_TICKET);
  SendMessageW(Control(IDC_TICKET), EM_SETSEL, 0, -1);
  TypeText(L"$1 Exacta: 5 / 6");
  ASSERT_FALSE(PressKeyAndCloseModalBox(VK_RETURN).shown);
  const std::vector<std::string> read = FormSnapshot();
  ASSERT_EQ(Text(IDC_TICKET), "$1 Exacta: 5 / 6\r\nBets:  1  Total:  $1 ");

  ASSERT_EQ(Undo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), before);
  ASSERT_EQ(Redo(), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), read);
}

}  // namespace
}  // namespace tallyhorn::uitest
