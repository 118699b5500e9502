// The plan kept between runs: it comes back as it was saved; a damaged file
// is kept aside whole, its good lines come back and are saved again, and
// the message says what happened and where the old file is.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "calc/plan_file.h"
#include "tests/files/temp_folder.h"
#include "tests/reference/ticket_sets.h"
#include "ui/autosave.h"
#include "ui/file_io.h"
#include "ui/unicode.h"

namespace tallyhorn {
namespace {

TEST(Autosave, NoFileIsAnEmptyPlanAndASavedPlanComesBack) {
  const TempFolder folder;
  EXPECT_EQ(AutosavePath(), folder / L"plan.txt");
  const AutosaveLoad none = LoadAutosave();
  EXPECT_TRUE(none.tickets.empty());
  EXPECT_EQ(none.message, "");

  std::vector<Ticket> plan = reference::MakeTicketSet(reference::TicketFamily::kBackups, kPick6, 50);
  const std::vector<Ticket> more = reference::MakeTicketSet(reference::TicketFamily::kMiddling, kTrifecta, 50);
  plan.insert(plan.end(), more.begin(), more.end());
  for (std::size_t i = 0; i < plan.size(); ++i) plan[i].unitCents = static_cast<UnitCents>(1 + i * 997 % kHighestUnitCents);
  ASSERT_EQ(SaveAutosave(plan), "");
  const AutosaveLoad back = LoadAutosave();
  EXPECT_EQ(back.message, "");
  EXPECT_EQ(PlanFileText(back.tickets), PlanFileText(plan));

  ASSERT_EQ(SaveAutosave({}), "");
  EXPECT_TRUE(LoadAutosave().tickets.empty());
}

struct DamagedCase {
  std::string name;
  std::string bytes;
  std::vector<std::string> good;  // the tickets loaded, as the plan file writes them
  std::string said;               // a part of the message
};

std::ostream& operator<<(std::ostream& out, const DamagedCase& c) { return out << c.name; }

class DamagedAutosave : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedAutosave, IsKeptAsideAndItsGoodLinesLoaded) {
  const DamagedCase& c = GetParam();
  const TempFolder folder;
  std::string good;
  for (const std::string& line : c.good) good += line + "\r\n";
  std::vector<std::wstring> keptBefore;
  for (int time = 1; time <= 2; ++time) {  // twice, within a second: two files kept aside
    WritePlainly(AutosavePath(), c.bytes);
    const AutosaveLoad load = LoadAutosave();
    EXPECT_EQ(PlanFileText(load.tickets), good);
    EXPECT_NE(load.message.find(c.said), std::string::npos) << load.message;

    const std::vector<std::wstring> kept = folder.Files(L"plan.damaged-*.txt");
    ASSERT_EQ(kept.size(), static_cast<std::size_t>(time));
    std::wstring added;
    for (const std::wstring& name : kept) {
      if (std::find(keptBefore.begin(), keptBefore.end(), name) == keptBefore.end()) added = name;
      EXPECT_EQ(ReadWholeFile(folder / name).bytes, c.bytes);
    }
    EXPECT_NE(load.message.find("kept as " + Utf8Of(folder / added) + "."), std::string::npos) << load.message;
    keptBefore = kept;

    // The good lines are the saved plan now, and load without a word.
    EXPECT_EQ(ReadWholeFile(AutosavePath()).bytes, good);
    const AutosaveLoad again = LoadAutosave();
    EXPECT_EQ(again.message, "");
    EXPECT_EQ(PlanFileText(again.tickets), good);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedAutosave,
    testing::Values(DamagedCase{"BadLines", "$1 Exacta: 1 / 2\r\nExacta 1 / 2\r\n$1 Pick-3: 1 / 2 / 3\r\n$1 Exacta: 1 / 22\r\n",
                                {"$1 Exacta: 1 / 2", "$1 Pick-3: 1 / 2 / 3"},
                                "2 lines are not tickets"},
                    DamagedCase{"CutShort", "$1 Exacta: 1 / 2\r\n$1 Pick-3: 1 / 2 /", {"$1 Exacta: 1 / 2"}, "Line 2 is not a ticket"},
                    DamagedCase{"Utf32", std::string("\xFF\xFE\0\0$\0\0\0", 8), {}, "UTF-32"}),
    [](const testing::TestParamInfo<DamagedCase>& test) { return test.param.name; });

TEST(Autosave, KeepsAsideAFileTooLargeToRead) {
  const TempFolder folder;
  const HANDLE file = CreateFileW(AutosavePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size{};
  size.QuadPart = static_cast<LONGLONG>(kLargestReadFile + 1);
  EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  const AutosaveLoad load = LoadAutosave();
  EXPECT_TRUE(load.tickets.empty());
  EXPECT_NE(load.message.find("larger than"), std::string::npos) << load.message;
  EXPECT_NE(load.message.find("kept as"), std::string::npos) << load.message;
  EXPECT_EQ(folder.Files(L"plan.damaged-*.txt").size(), 1u);
  EXPECT_EQ(LoadAutosave().message, "");
}

}  // namespace
}  // namespace tallyhorn
