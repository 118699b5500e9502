// Text outside ASCII reaches the reader exactly as the user gave it, typed
// into the ticket box key by key or given on the command line: a message
// quotes what was typed, character for character, and the invisible blanks
// of web pages and chats read as the blanks they are.
#include <string>
#include <vector>

#include "tests/files/temp_folder.h"
#include "tests/ui/calculator_fixture.h"
#include "ui/command_line.h"

namespace tallyhorn::uitest {
namespace {

struct TextCase {
  std::string name;
  std::wstring text;
  // What the warning quotes, or "" when the text is a ticket the form
  // shows as `ticket`.
  std::wstring quoted;
  std::string ticket;
};

std::ostream& operator<<(std::ostream& out, const TextCase& c) { return out << c.name; }

const std::vector<TextCase> kTexts{
    {"AccentedBetName", L"$1 Trif\u00E9cta: 1 / 2 / 3", L"\"Trif\u00E9cta\"", ""},
    {"EnDashRange", L"$1 Trifecta: 1\u20133 / 5 / 4", L"\"1\u20133\"", ""},
    // Typed as two UTF-16 units, a surrogate pair.
    {"BeyondTheBasicPlane", L"$1 Trifecta: 1 / 2 / \U0001F40E", L"\"\U0001F40E\"", ""},
    {"ZeroWidthSpaces", L"$1\u200BTrifecta:\u200B1,2 /\u200B5 / 3,4", L"",
     "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 "},
    {"NoBreakAndIdeographicSpaces", L"$1\u00A0Trifecta:\u30001,2 / 5 / 3,4", L"",
     "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 "},
};

class TypedUnicodeTest : public CalculatorTest, public testing::WithParamInterface<TextCase> {};

TEST_P(TypedUnicodeTest, EnterReadsWhatWasTyped) {
  const TextCase& c = GetParam();
  Focus(IDC_TICKET);
  SendMessageW(Control(IDC_TICKET), EM_SETSEL, 0, -1);
  TypeText(c.text);
  const ModalBox box = PressKeyAndCloseModalBox(VK_RETURN);
  if (c.quoted.empty()) {
    EXPECT_FALSE(box.shown) << box.text;
    EXPECT_EQ(Text(IDC_TICKET), c.ticket);
    return;
  }
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.wideText.rfind(L"Tallyhorn could not read the ticket in the box:", 0), 0u) << box.text;
  EXPECT_NE(box.wideText.find(c.quoted), std::wstring::npos) << box.text;
  // The typing stays, unchanged, for the player to mend.
  std::wstring shown(256, L'\0');
  shown.resize(static_cast<std::size_t>(GetWindowTextW(Control(IDC_TICKET), shown.data(), 256)));
  EXPECT_EQ(shown, c.text);
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedUnicodeTest, testing::ValuesIn(kTexts), CaseName());

class CommandLineUnicodeTest : public testing::TestWithParam<TextCase> {
 protected:
  void TearDown() override { DestroyCalculator(); }
};

// The command line as the system hands it over, quotes and all.
TEST_P(CommandLineUnicodeTest, StartsWithWhatWasGiven) {
  const TextCase& c = GetParam();
  const std::vector<std::wstring> arguments = SplitCommandLine((L"tallyhorn.exe \"" + c.text + L"\"").c_str());
  ASSERT_EQ(arguments, std::vector<std::wstring>{c.text});
  const ModalBox box = WatchModalBox(
      [&] { ASSERT_NE(CreateCalculator(GetModuleHandleA(nullptr), StartTicketOf(arguments)), nullptr); });
  if (c.quoted.empty()) {
    EXPECT_FALSE(box.shown) << box.text;
    EXPECT_EQ(Text(IDC_TICKET), c.ticket);
    return;
  }
  ASSERT_TRUE(box.shown);
  EXPECT_EQ(box.wideText.rfind(L"Tallyhorn could not read the ticket on the command line:", 0), 0u) << box.text;
  EXPECT_NE(box.wideText.find(c.quoted), std::wstring::npos) << box.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, CommandLineUnicodeTest, testing::ValuesIn(kTexts), CaseName());

// Unquoted, the words of a ticket are arguments of their own, joined again
// by single spaces.
TEST(CommandLineTest, JoinsTheArgumentsWithSpaces) {
  const std::vector<std::wstring> arguments = SplitCommandLine(L"tallyhorn.exe $1 Trif\u00E9cta: 1,2 /  5");
  EXPECT_EQ(arguments, (std::vector<std::wstring>{L"$1", L"Trif\u00E9cta:", L"1,2", L"/", L"5"}));
  EXPECT_EQ(StartTicketOf(arguments), "$1 Trif\xC3\xA9" "cta: 1,2 / 5");
  EXPECT_EQ(StartTicketOf({}), "");
}

// One argument naming an existing file, whatever its name's characters,
// is a plan to open; anything else is read as a ticket.
TEST(CommandLineTest, OneExistingFileIsAPlan) {
  const TempFolder folder;
  const std::wstring plan = folder / L"Pl\u00E0n \u2013 Saturday.txt";
  WritePlainly(plan, "$1 Exacta: 1 / 2\r\n");
  EXPECT_EQ(PlanFileOf({plan}), plan);
  EXPECT_EQ(PlanFileOf({}), L"");
  EXPECT_EQ(PlanFileOf({plan, plan}), L"");
  EXPECT_EQ(PlanFileOf({folder.Path()}), L"");
  EXPECT_EQ(PlanFileOf({folder / L"missing.txt"}), L"");
  EXPECT_EQ(PlanFileOf({L"$1 Exacta: 1 / 2"}), L"");
}

}  // namespace
}  // namespace tallyhorn::uitest
