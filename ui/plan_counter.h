// The plan's distinct count, taken on a worker thread so the windows keep
// answering while it runs (a large plan can take seconds).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "calc/distinct.h"

namespace tallyhorn {

// A finished count: the request it answers, and the distinct count of each
// bet type present, in bet-type order.
struct PlanDistinct {
  std::uint64_t generation = 0;
  std::vector<std::pair<BetType, CombinationCount>> byType;
};

/*
 * One long-lived worker thread that counts the latest plan it was given.
 * Start hands it a plan and returns at once: a count in progress is
 * cancelled (it stops within a fraction of a millisecond of work) and the
 * new one follows, so the latest plan always wins and requests never queue.
 * When a count ends the worker posts `message` to `window` with wParam the
 * count's generation; the window thread then takes the figures with
 * Result. A cancelled count posts nothing. The worker runs below normal
 * priority, so the window's own work comes first on a busy machine.
 */
class DistinctCounter {
 public:
  DistinctCounter(HWND window, UINT message);
  // The same, calling notify(generation) on the worker thread instead of
  // posting a message.
  explicit DistinctCounter(std::function<void(std::uint64_t)> notify);
  ~DistinctCounter();  // cancels any count and waits for the worker to end

  DistinctCounter(const DistinctCounter&) = delete;
  DistinctCounter& operator=(const DistinctCounter&) = delete;

  // Asks for the count of these tickets; returns the request's generation,
  // 1 for the first and one more for each after.
  std::uint64_t Start(std::vector<Ticket> tickets);

  // The figures of that generation once its count has ended; nothing while
  // it runs, and nothing for a generation a later Start has superseded.
  std::optional<PlanDistinct> Result(std::uint64_t generation) const;

  // Whether a count is waiting or running.
  bool Busy() const;

 private:
  void Work();

  std::function<void(std::uint64_t)> notify_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> cancelled_{false};
  std::optional<std::vector<Ticket>> pending_;  // the latest request not yet taken up
  std::uint64_t latest_ = 0;                    // the generation of the latest request
  bool counting_ = false;
  bool quit_ = false;
  std::optional<PlanDistinct> result_;          // the last count that ended
  std::thread worker_;                          // last: starts once the rest is ready
};

}  // namespace tallyhorn
