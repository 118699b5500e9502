// The plan's distinct count on its worker thread: the figures come with a
// posted message, the latest plan wins over counts still running, and
// neither a new request nor the counter's end waits for a count.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "tests/reference/ticket_sets.h"
#include "ui/plan_counter.h"

namespace tallyhorn {
namespace {

constexpr UINT kCountDone = WM_APP + 7;
using Clock = std::chrono::steady_clock;

// A message-only window for the counter to post to, owned by the test's
// thread.
class Receiver {
 public:
  Receiver() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TallyhornCountReceiver";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  }
  ~Receiver() { DestroyWindow(window_); }
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;

  HWND Window() const { return window_; }

  // The generations of the notices that come within the time, in order;
  // stops early after the one given, when given.
  std::vector<std::uint64_t> Notices(std::chrono::milliseconds within, std::uint64_t until = 0) const {
    std::vector<std::uint64_t> notices;
    const Clock::time_point end = Clock::now() + within;
    for (;;) {
      MSG message{};
      while (PeekMessageW(&message, window_, kCountDone, kCountDone, PM_REMOVE)) {
        notices.push_back(static_cast<std::uint64_t>(message.wParam));
        if (until != 0 && notices.back() == until) return notices;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0) return notices;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_POSTMESSAGE);
    }
  }

 private:
  HWND window_ = nullptr;
};

// 100 middling Pick-8 tickets: seconds of counting.
std::vector<Ticket> HardPlan() { return reference::MakeTicketSet(reference::TicketFamily::kMiddling, kPick8, 100); }

// A plan of several bet types that counts in milliseconds.
std::vector<Ticket> QuickPlan() {
  std::vector<Ticket> plan = reference::MakeTicketSet(reference::TicketFamily::kBackups, kSuperfecta, 40);
  const std::vector<Ticket> more = reference::MakeTicketSet(reference::TicketFamily::kMiddling, kPick5, 30);
  plan.insert(plan.end(), more.begin(), more.end());
  return plan;
}

TEST(DistinctCounter, PostsTheFiguresOfEachCount) {
  const Receiver receiver;
  DistinctCounter counter(receiver.Window(), kCountDone);
  EXPECT_FALSE(counter.Busy());
  const std::atomic<bool> never{false};
  const std::vector<Ticket> plan = QuickPlan();
  for (std::uint64_t expected = 1; expected <= 3; ++expected) {
    const std::vector<Ticket> tickets(plan.begin(), plan.end() - static_cast<std::ptrdiff_t>(20 * (expected - 1)));
    const std::uint64_t generation = counter.Start(tickets);
    EXPECT_EQ(generation, expected);
    EXPECT_EQ(receiver.Notices(std::chrono::seconds(30), generation), std::vector<std::uint64_t>{generation});
    const std::optional<PlanDistinct> result = counter.Result(generation);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->generation, generation);
    EXPECT_EQ(result->byType, CountDistinctByBetType(tickets, never));
    EXPECT_FALSE(counter.Busy());
  }
  // An empty plan has no bet types, and still gets its notice.
  const std::uint64_t empty = counter.Start({});
  EXPECT_EQ(receiver.Notices(std::chrono::seconds(30), empty), std::vector<std::uint64_t>{empty});
  ASSERT_TRUE(counter.Result(empty).has_value());
  EXPECT_TRUE(counter.Result(empty)->byType.empty());
}

/*
 * Changes that come while a long count runs: each Start returns at once,
 * the counts they supersede post nothing and have no result, and the last
 * plan's figures come. The bounds are loose against the seconds the long
 * count takes.
 */
TEST(DistinctCounter, TheLatestPlanWinsWithoutWaiting) {
  const Receiver receiver;
  DistinctCounter counter(receiver.Window(), kCountDone);
  const std::uint64_t first = counter.Start(HardPlan());
  Sleep(50);
  EXPECT_TRUE(counter.Busy());
  EXPECT_FALSE(counter.Result(first).has_value());

  std::vector<Ticket> changed = HardPlan();
  changed.pop_back();
  const Clock::time_point before = Clock::now();
  const std::uint64_t second = counter.Start(changed);
  const std::uint64_t last = counter.Start(QuickPlan());
  EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(100));
  EXPECT_EQ(receiver.Notices(std::chrono::seconds(30), last), std::vector<std::uint64_t>{last});
  EXPECT_LT(Clock::now() - before, std::chrono::seconds(1)) << "the superseded counts ran on";
  EXPECT_FALSE(counter.Result(first).has_value());
  EXPECT_FALSE(counter.Result(second).has_value());
  EXPECT_TRUE(counter.Result(last).has_value());
  EXPECT_TRUE(receiver.Notices(std::chrono::milliseconds(200)).empty());
}

TEST(DistinctCounter, EndsWithoutWaitingForARunningCount) {
  const Receiver receiver;
  Clock::time_point before;
  {
    DistinctCounter counter(receiver.Window(), kCountDone);
    counter.Start(HardPlan());
    Sleep(50);
    before = Clock::now();
  }
  EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(500));
  EXPECT_TRUE(receiver.Notices(std::chrono::milliseconds(200)).empty());
}

}  // namespace
}  // namespace tallyhorn
