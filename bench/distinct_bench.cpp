// The distinct count of tallyhorn-cli on families of ticket sets, by bet
// type and number of tickets. Each row times CountDistinct; beside it, in
// the counter plain_s, the seconds the plain depth-first walk over the races
// took on the same set in the same run, and the counts are checked to agree.
// The plain walk gives up after kPlainSteps parts; such a row's label says
// so, plain_s is the time until then (a lower bound), and plain_est_s the
// whole walk's time estimated from the share of it done.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "calc/distinct.h"
#include "tests/reference/ticket_sets.h"

namespace {

using namespace tallyhorn;
using reference::TicketFamily;

constexpr std::uint64_t kPlainSteps = 30'000'000;

void Distinct(benchmark::State& run, TicketFamily family, BetType betType, int count, bool plain) {
  const std::vector<Ticket> tickets = reference::MakeTicketSet(family, betType, count);
  CombinationCount distinct = 0;
  for (auto _ : run) {
    distinct = CountDistinct(tickets);
    benchmark::DoNotOptimize(distinct);
  }
  run.counters["distinct"] = static_cast<double>(distinct);
  if (!plain) return;

  const auto start = std::chrono::steady_clock::now();
  double doneShare = 0;
  const std::optional<CombinationCount> walked = reference::PlainWalkDistinct(tickets, kPlainSteps, &doneShare);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.counters["plain_s"] = seconds;
  if (!walked) {
    run.counters["plain_est_s"] = doneShare > 0 ? seconds / doneShare : 0;
    run.SetLabel("plain walk stopped");
  } else if (*walked != distinct) {
    run.SkipWithError(("plain walk counts " + std::to_string(*walked)).c_str());
  }
}

void Register(TicketFamily family, BetType betType, int count, bool plain = true) {
  const std::string name = "distinct/" + reference::FamilyName(family) + "/" + BetTypeTable[static_cast<std::size_t>(betType)].name +
                           "/" + std::to_string(count);
  benchmark::RegisterBenchmark(name.c_str(), Distinct, family, betType, count, plain)
      ->Unit(benchmark::kMillisecond)
      ->MinTime(0.2);
}

const bool kRegistered = [] {
  const BetType betTypes[] = {kTrifecta, kSuperfecta, kSuperfecta6, kPick4, kPick6, kPick7, kPick8};
  const TicketFamily families[] = {TicketFamily::kDense17, TicketFamily::kDense18,     TicketFamily::kDense19,
                                   TicketFamily::kBackups, TicketFamily::kLeaveOneOut, TicketFamily::kNested};
  for (TicketFamily family : families) {
    for (BetType betType : betTypes) Register(family, betType, 100);
  }
  for (int count : {30, 60, 100}) {
    for (BetType betType : betTypes) Register(TicketFamily::kMiddling, betType, count);
  }
  for (BetType betType : {kPick7, kPick8}) Register(TicketFamily::kMiddling12, betType, 100);
  // Growth with the number of tickets.
  for (BetType betType : {kSuperfecta, kPick4, kPick6, kPick8}) {
    for (int count : {1000, 10000, 100000}) Register(TicketFamily::kBackups, betType, count, count <= 1000);
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
