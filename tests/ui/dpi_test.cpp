// The DPI request's fallbacks, tried with stand-ins for the two user32
// functions, and the dialog taking the rectangle WM_DPICHANGED suggests.
#include "ui/dpi.h"

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

// What the stand-ins were asked, and what they answer.
struct Calls {
  int setContext = 0;
  int setAware = 0;
  DPI_AWARENESS_CONTEXT context = nullptr;
  BOOL contextAnswer = FALSE;
  BOOL awareAnswer = FALSE;
} calls;

BOOL WINAPI FakeSetContext(DPI_AWARENESS_CONTEXT context) {
  ++calls.setContext;
  calls.context = context;
  return calls.contextAnswer;
}

BOOL WINAPI FakeSetAware() {
  ++calls.setAware;
  return calls.awareAnswer;
}

enum class Fake { kMissing, kFails, kSucceeds };

struct FallbackCase {
  const char* name;
  Fake setContext;
  Fake setAware;
  DpiAwareness expected;
  bool awareCalled;  // the fallback was tried
};

std::ostream& operator<<(std::ostream& out, const FallbackCase& c) { return out << c.name; }

class DpiFallbackTest : public testing::TestWithParam<FallbackCase> {};

TEST_P(DpiFallbackTest, TakesTheBestRequestTheSystemGrants) {
  const FallbackCase& c = GetParam();
  calls = Calls{};
  calls.contextAnswer = c.setContext == Fake::kSucceeds;
  calls.awareAnswer = c.setAware == Fake::kSucceeds;
  const DpiAwareness got = DeclareDpiAwareness(c.setContext == Fake::kMissing ? nullptr : FakeSetContext,
                                               c.setAware == Fake::kMissing ? nullptr : FakeSetAware);
  EXPECT_EQ(DpiAwarenessName(got), std::string(DpiAwarenessName(c.expected)));
  EXPECT_EQ(DeclaredDpiAwareness(), got);
  EXPECT_EQ(calls.setContext, c.setContext == Fake::kMissing ? 0 : 1);
  if (calls.setContext == 1) {
    EXPECT_EQ(calls.context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  }
  EXPECT_EQ(calls.setAware, c.awareCalled ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryAnswer, DpiFallbackTest,
    testing::Values(
        FallbackCase{"PerMonitorV2Granted", Fake::kSucceeds, Fake::kSucceeds, DpiAwareness::kPerMonitorV2, false},
        // Windows before 10 has no SetProcessDpiAwarenessContext; Windows 10
        // before 1703 refuses version 2; both still get system awareness.
        FallbackCase{"NoContextFunction", Fake::kMissing, Fake::kSucceeds, DpiAwareness::kSystem, true},
        FallbackCase{"ContextRefused", Fake::kFails, Fake::kSucceeds, DpiAwareness::kSystem, true},
        FallbackCase{"BothRefused", Fake::kFails, Fake::kFails, DpiAwareness::kNone, true},
        FallbackCase{"OnlyFallbackThereAndRefused", Fake::kMissing, Fake::kFails, DpiAwareness::kNone, true},
        FallbackCase{"NeitherFunction", Fake::kMissing, Fake::kMissing, DpiAwareness::kNone, false}),
    CaseName());

using DpiChangeTest = CalculatorTest;

// Moved to a monitor of 144 DPI, the system suggests a larger rectangle
// there; the dialog takes exactly that one, and keeps answering commands.
TEST_F(DpiChangeTest, DialogTakesTheSuggestedRectangle) {
  RECT before{};
  GetWindowRect(dialog, &before);
  const LONG width = before.right - before.left;
  const LONG height = before.bottom - before.top;
  RECT suggested{before.left + 40, before.top + 30, before.left + 40 + width * 3 / 2,
                 before.top + 30 + height * 3 / 2};
  EXPECT_EQ(SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested)), 0);
  RECT after{};
  GetWindowRect(dialog, &after);
  EXPECT_EQ(after.left, suggested.left);
  EXPECT_EQ(after.top, suggested.top);
  EXPECT_EQ(after.right, suggested.right);
  EXPECT_EQ(after.bottom, suggested.bottom);

  Click(IDC_BET_TRIFECTA);
  EXPECT_EQ(CheckedBetButtons(), std::vector<int>{IDC_BET_TRIFECTA});
}

}  // namespace
}  // namespace tallyhorn::uitest
