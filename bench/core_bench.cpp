// The core's count against the plain way it replaces (every tuple walked for a
// position bet, every box counted for a Pick bet), on the largest
// position ticket, a typical Trifecta and a full Pick-8; and the whole
// recalculation (count and ticket texts) on the largest ticket.
#include <benchmark/benchmark.h>

#include <vector>

#include "calc/counting.h"
#include "calc/ticket.h"
#include "tests/reference/reference_count.h"
#include "tests/reference/ticket_state.h"

namespace {

using namespace tallyhorn;
using reference::Horses;

WagerState Superfecta6Full() { return reference::StateWith(kSuperfecta6, std::vector<std::vector<int>>(6, Horses(1, 20)), 20); }
WagerState TrifectaTypical() { return reference::StateWith(kTrifecta, {{1, 2, 7}, {1, 2, 5, 7}, {1, 2, 3, 4, 5, 7, 9}}, 12); }
WagerState Pick8Full() { return reference::StateWith(kPick8, std::vector<std::vector<int>>(8, Horses(1, 20)), 20); }

template <WagerState (*MakeState)()>
void Count(benchmark::State& run) {
  const WagerState state = MakeState();
  for (auto _ : run) {
    benchmark::DoNotOptimize(&state);
    benchmark::DoNotOptimize(CountCombinations(state));
  }
}

template <WagerState (*MakeState)()>
void Enumerate(benchmark::State& run) {
  const WagerState state = MakeState();
  for (auto _ : run) {
    benchmark::DoNotOptimize(&state);
    benchmark::DoNotOptimize(reference::CountByEnumeration(state));
  }
}

void CountAndBuildTicket(benchmark::State& run) {
  WagerState state = Superfecta6Full();
  for (auto _ : run) {
    benchmark::DoNotOptimize(&state);
    state.combinationCount = CountCombinations(state);
    benchmark::DoNotOptimize(BuildTicket(state));
  }
}

}  // namespace

BENCHMARK(Count<Superfecta6Full>)->Name("Superfecta6Full/count");
BENCHMARK(Enumerate<Superfecta6Full>)->Name("Superfecta6Full/plain")->Unit(benchmark::kMillisecond);
BENCHMARK(Count<TrifectaTypical>)->Name("TrifectaTypical/count");
BENCHMARK(Enumerate<TrifectaTypical>)->Name("TrifectaTypical/plain");
BENCHMARK(Count<Pick8Full>)->Name("Pick8Full/count");
BENCHMARK(Enumerate<Pick8Full>)->Name("Pick8Full/plain");
BENCHMARK(CountAndBuildTicket)->Name("Superfecta6Full/count+ticket");
