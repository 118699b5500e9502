#include "ui/plan_counter.h"

namespace tallyhorn {

DistinctCounter::DistinctCounter(HWND window, UINT message)
    : DistinctCounter([window, message](std::uint64_t generation) {
        PostMessageW(window, message, static_cast<WPARAM>(generation), 0);
      }) {}

DistinctCounter::DistinctCounter(std::function<void(std::uint64_t)> notify)
    : notify_(std::move(notify)), worker_([this] { Work(); }) {}

DistinctCounter::~DistinctCounter() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
    cancelled_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

std::uint64_t DistinctCounter::Start(std::vector<Ticket> tickets) {
  std::uint64_t generation = 0;
  {
    const std::lock_guard lock(mutex_);
    pending_ = std::move(tickets);
    generation = ++latest_;
    // The worker clears the flag, under the lock, as it takes a request up;
    // set here, it can only stop a count older than this one.
    cancelled_ = true;
  }
  wake_.notify_one();
  return generation;
}

std::optional<PlanDistinct> DistinctCounter::Result(std::uint64_t generation) const {
  const std::lock_guard lock(mutex_);
  if (generation != latest_ || !result_ || result_->generation != generation) return std::nullopt;
  return result_;
}

bool DistinctCounter::Busy() const {
  const std::lock_guard lock(mutex_);
  return counting_ || pending_.has_value();
}

/*
 * The worker: waits for a request, counts it with the shared flag, and
 * keeps and announces the figures when no newer request came meanwhile.
 */
void DistinctCounter::Work() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || pending_.has_value(); });
    if (quit_) return;
    const std::vector<Ticket> tickets = std::move(*pending_);
    pending_.reset();
    const std::uint64_t generation = latest_;
    cancelled_ = false;
    counting_ = true;
    lock.unlock();

    std::optional<DistinctByBetType> counts = CountDistinctByBetType(tickets, cancelled_);

    lock.lock();
    counting_ = false;
    if (counts && generation == latest_) {
      result_ = PlanDistinct{generation, std::move(*counts)};
      // The figures are in place before the notice goes out, so whoever
      // receives it finds them (unless a newer request came first).
      lock.unlock();
      notify_(generation);
      lock.lock();
    }
  }
}

}  // namespace tallyhorn
