// The plan's counting beside the calculator, on the real dialog under Wine:
//  - a horse click on the full Pick-6 (field 20, six rows ticked), idle and
//    while the plan's worker counts 100 middling Pick-8 tickets (seconds of
//    work, started again whenever it ends, so every timed click meets it);
//  - the time from a change of the plan to its new figures (the totals on
//    the window's thread, then the distinct count from Start to its posted
//    notice) for plans of 100 tickets of up to six rows.
// Medians over many samples, measured with QueryPerformanceCounter.
//   plan_bench [--samples N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "calc/summary.h"
#include "tests/reference/ticket_sets.h"
#include "ui/calculator.h"
#include "ui/plan_counter.h"
#include "ui/resource.h"

namespace {

using namespace tallyhorn;
using reference::TicketFamily;

constexpr UINT kCountDone = WM_APP + 1;
HWND dialog = nullptr;

double Milliseconds(LONGLONG ticks) {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency);
}

LONGLONG Now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

void Click(int id) {
  SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  Pump();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct ClickSamples {
  std::vector<double> clicks;       // the command and its recalculation
  std::vector<double> withRepaint;  // with the repaint
  int whileCounting = 0;            // samples taken with the count running throughout
};

/*
 * Clicks a horse box count times. With a counter and a plan, the count is
 * (re)started before each click whenever it is not running, and a click
 * counts as taken while counting when the counter was busy before and
 * after it.
 */
void TimeHorseClicks(HWND box, int count, DistinctCounter* counter, const std::vector<Ticket>* plan, ClickSamples& samples) {
  for (int i = 0; i < count; ++i) {
    if (counter != nullptr && !counter->Busy()) {
      counter->Start(*plan);
      Sleep(5);  // the worker takes the plan up
    }
    const bool busyBefore = counter != nullptr && counter->Busy();
    const LONGLONG start = Now();
    SendMessageA(box, BM_CLICK, 0, 0);
    const LONGLONG handled = Now();
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const LONGLONG painted = Now();
    samples.clicks.push_back(Milliseconds(handled - start));
    samples.withRepaint.push_back(Milliseconds(painted - start));
    if (busyBefore && counter->Busy()) ++samples.whileCounting;
  }
}

// Waits for the counter's notice of that generation; the others are dropped.
void WaitForNotice(HWND window, std::uint64_t generation) {
  MSG message;
  while (GetMessageA(&message, window, kCountDone, kCountDone) > 0) {
    if (message.wParam == generation) return;
  }
}

struct ChangeTiming {
  double median = 0;
  double slowest = 0;
  CombinationCount distinct = 0;
};

/*
 * From a change to the plan's figures: the bets and cost of every ticket
 * summed on this thread, then the distinct count handed to the worker and
 * its result taken once the notice comes, as the plan window does.
 */
ChangeTiming TimeChanges(DistinctCounter& counter, HWND window, const std::vector<Ticket>& plan, int samples) {
  std::vector<double> times;
  ChangeTiming timing;
  for (int i = -3; i < samples; ++i) {
    const LONGLONG start = Now();
    TicketTotals totals;
    for (const Ticket& ticket : plan) totals.Add(ticket);
    const std::uint64_t generation = counter.Start(plan);
    WaitForNotice(window, generation);
    const std::optional<PlanDistinct> result = counter.Result(generation);
    const LONGLONG done = Now();
    if (i < 0 || !result) continue;
    timing.distinct = 0;
    for (const auto& [betType, count] : result->byType) timing.distinct += count;
    times.push_back(Milliseconds(done - start));
  }
  timing.median = Median(times);
  timing.slowest = *std::max_element(times.begin(), times.end());
  return timing;
}

// 100 tickets: the bet types of up to six rows in turn, each ticket from
// the family.
std::vector<Ticket> MixedPlan(TicketFamily family) {
  std::vector<Ticket> plan;
  const BetType types[] = {kExacta, kTrifecta, kSuperfecta, kSuperfecta5, kSuperfecta6, kPick3, kPick4, kPick5, kPick6};
  for (BetType betType : types) {
    const std::vector<Ticket> some = reference::MakeTicketSet(family, betType, 12);
    plan.insert(plan.end(), some.begin(), some.end());
  }
  plan.resize(100, plan.front());
  return plan;
}

}  // namespace

int main(int argc, char** argv) {
  int samples = 200;
  if (argc == 3 && std::strcmp(argv[1], "--samples") == 0) samples = std::max(1, std::atoi(argv[2]));

  dialog = CreateCalculator(GetModuleHandleA(nullptr));
  if (dialog == nullptr) {
    std::fprintf(stderr, "plan_bench: the calculator dialog could not be created\n");
    return 1;
  }
  Pump();
  const HWND receiver = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  DistinctCounter counter(receiver, kCountDone);

  Click(IDC_BET_PICK_6);
  for (Row row = 0; row < 6; ++row) {
    SendMessageA(GetDlgItem(dialog, SizeEditId(row)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("20"));
    Pump();
  }
  for (Row row = 0; row < 6; ++row) Click(AllButtonId(row));

  // Idle and counting clicks in alternate blocks, so a change in the
  // machine's load meets both alike; before each idle block the long count
  // is superseded by an empty plan and that one's notice awaited.
  const std::vector<Ticket> pick8 = reference::MakeTicketSet(TicketFamily::kMiddling, kPick8, 100);
  HWND box = GetDlgItem(dialog, BoxId(5, 19));
  ClickSamples warmUp, idle, counting;
  TimeHorseClicks(box, 6, nullptr, nullptr, warmUp);
  constexpr int kBlocks = 10;
  for (int block = 0; block < kBlocks; ++block) {
    WaitForNotice(receiver, counter.Start({}));
    TimeHorseClicks(box, std::max(1, samples / kBlocks), nullptr, nullptr, idle);
    TimeHorseClicks(box, std::max(1, samples / kBlocks), &counter, &pick8, counting);
  }
  WaitForNotice(receiver, counter.Start({}));

  std::printf("| %-52s | %9s | %13s | %7s |\n", "Horse click on the full Pick-6, median under Wine", "click, ms", "+ repaint, ms",
              "samples");
  std::printf("|%s|%s|%s|%s|\n", std::string(54, '-').c_str(), std::string(11, '-').c_str(), std::string(15, '-').c_str(),
              std::string(9, '-').c_str());
  auto clickRow = [](const char* what, const ClickSamples& t) {
    std::printf("| %-52s | %9.3f | %13.2f | %7d |\n", what, Median(t.clicks), Median(t.withRepaint), static_cast<int>(t.clicks.size()));
  };
  clickRow("idle", idle);
  clickRow("while 100 middling Pick-8 tickets are counted", counting);
  std::printf("\nwhile counting / idle: %.2f (click), %.2f (with repaint); %d of %d clicks met the count throughout\n",
              Median(counting.clicks) / Median(idle.clicks), Median(counting.withRepaint) / Median(idle.withRepaint),
              counting.whileCounting, static_cast<int>(counting.clicks.size()));

  // The worker stops the long count at the first change below.
  struct PlanCase {
    const char* name;
    std::vector<Ticket> plan;
  };
  const std::vector<PlanCase> plans{
      {"100 middling Superfecta-6", reference::MakeTicketSet(TicketFamily::kMiddling, kSuperfecta6, 100)},
      {"100 middling Pick-6", reference::MakeTicketSet(TicketFamily::kMiddling, kPick6, 100)},
      {"100 dense 17 of 20 Pick-6", reference::MakeTicketSet(TicketFamily::kDense17, kPick6, 100)},
      {"100 backups Pick-6", reference::MakeTicketSet(TicketFamily::kBackups, kPick6, 100)},
      {"100 middling, nine bet types of 2 to 6 rows", MixedPlan(TicketFamily::kMiddling)},
      {"100 backups, nine bet types of 2 to 6 rows", MixedPlan(TicketFamily::kBackups)},
  };
  const int changeSamples = std::max(5, samples / 4);
  std::printf("\n| %-44s | %10s | %11s | %16s | %7s |\n", "Change to new figures, under Wine", "median, ms", "slowest, ms",
              "distinct", "samples");
  std::printf("|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(12, '-').c_str(), std::string(13, '-').c_str(),
              std::string(18, '-').c_str(), std::string(9, '-').c_str());
  for (const PlanCase& plan : plans) {
    const ChangeTiming t = TimeChanges(counter, receiver, plan.plan, changeSamples);
    std::printf("| %-44s | %10.2f | %11.2f | %16lld | %7d |\n", plan.name, t.median, t.slowest, static_cast<long long>(t.distinct),
                changeSamples);
  }

  DestroyCalculator();
  return 0;
}
