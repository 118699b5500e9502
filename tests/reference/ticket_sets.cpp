#include "tests/reference/ticket_sets.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <random>

namespace tallyhorn::reference {
namespace {

constexpr HorseMask kTwenty = (HorseMask{1} << kSlotCount) - 1;

// A number from 0 to n - 1. Plain modulo, so the draws are the same with
// every standard library.
std::uint32_t Draw(std::mt19937& random, std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); }

// `take` different horses drawn from 1 to field.
HorseMask DrawRow(std::mt19937& random, int take, int field) {
  std::array<int, kSlotCount> horses{};
  for (int i = 0; i < field; ++i) horses[static_cast<std::size_t>(i)] = i;
  HorseMask row = 0;
  for (int i = 0; i < take; ++i) {
    const auto j = static_cast<std::size_t>(i) + Draw(random, static_cast<std::uint32_t>(field - i));
    std::swap(horses[static_cast<std::size_t>(i)], horses[j]);
    row |= HorseMask{1} << horses[static_cast<std::size_t>(i)];
  }
  return row;
}

// A horse of 20 the row lacks, or -1 when it has them all.
int MissingHorse(std::mt19937& random, HorseMask row) {
  const int missing = kSlotCount - std::popcount(row);
  if (missing == 0) return -1;
  int skip = static_cast<int>(Draw(random, static_cast<std::uint32_t>(missing)));
  for (int h = 0; h < kSlotCount; ++h) {
    if ((row >> h & 1u) == 0 && skip-- == 0) return h;
  }
  return -1;
}

}  // namespace

std::string FamilyName(TicketFamily family) {
  switch (family) {
    case TicketFamily::kDense17: return "dense17";
    case TicketFamily::kDense18: return "dense18";
    case TicketFamily::kDense19: return "dense19";
    case TicketFamily::kMiddling: return "middling";
    case TicketFamily::kMiddling12: return "middling12";
    case TicketFamily::kBackups: return "backups";
    case TicketFamily::kLeaveOneOut: return "leave1out";
    case TicketFamily::kNested: return "nested";
  }
  return "?";
}

std::vector<Ticket> MakeTicketSet(TicketFamily family, BetType betType, int count, std::uint32_t seed) {
  std::mt19937 random(seed);
  const auto rows = static_cast<std::size_t>(RowCountOf(betType));
  std::vector<Ticket> tickets;
  Ticket ticket;
  ticket.betType = betType;
  ticket.fieldSize.fill(kMaxFieldSize);
  for (int t = 0; t < count; ++t) {
    switch (family) {
      case TicketFamily::kDense17:
      case TicketFamily::kDense18:
      case TicketFamily::kDense19: {
        const int take = family == TicketFamily::kDense17 ? 17 : (family == TicketFamily::kDense18 ? 18 : 19);
        for (std::size_t r = 0; r < rows; ++r) ticket.rows[r] = DrawRow(random, take, kSlotCount);
        break;
      }
      case TicketFamily::kMiddling:
      case TicketFamily::kMiddling12: {
        const int fewest = family == TicketFamily::kMiddling ? 14 : 12;
        for (std::size_t r = 0; r < rows; ++r) ticket.rows[r] = DrawRow(random, fewest + static_cast<int>(Draw(random, 4)), kSlotCount);
        break;
      }
      case TicketFamily::kBackups:
        ticket.fieldSize.fill(12);
        for (std::size_t r = 0; r < rows; ++r) ticket.rows[r] = DrawRow(random, 3 + static_cast<int>(Draw(random, 6)), 12);
        break;
      case TicketFamily::kLeaveOneOut: {
        for (std::size_t r = 0; r < rows; ++r) ticket.rows[r] = kTwenty;
        const std::size_t row = Draw(random, static_cast<std::uint32_t>(rows));
        ticket.rows[row] &= ~(HorseMask{1} << Draw(random, kSlotCount));
        break;
      }
      case TicketFamily::kNested:
        // Five chains, each ticket its chain's last one with a horse or two
        // more; the order is shuffled below.
        if (t < 5) {
          for (std::size_t r = 0; r < rows; ++r) ticket.rows[r] = DrawRow(random, 1 + static_cast<int>(Draw(random, 3)), kSlotCount);
        } else {
          ticket = tickets[static_cast<std::size_t>(t - 5)];
          for (int grow = 0; grow < 2; ++grow) {
            const std::size_t row = Draw(random, static_cast<std::uint32_t>(rows));
            const int horse = MissingHorse(random, ticket.rows[row]);
            if (horse >= 0) ticket.rows[row] |= HorseMask{1} << horse;
          }
        }
        break;
    }
    tickets.push_back(ticket);
  }
  if (family == TicketFamily::kNested) {
    for (std::size_t i = tickets.size(); i > 1; --i) std::swap(tickets[i - 1], tickets[Draw(random, static_cast<std::uint32_t>(i))]);
  }
  return tickets;
}

namespace {

// The walk over the tickets of one bet type.
class PlainWalk {
 public:
  PlainWalk(std::vector<const Ticket*> tickets, BetType betType, std::uint64_t maxSteps)
      : oneRace_(IsPositionBet(betType)),
        rows_(static_cast<std::size_t>(RowCountOf(betType))),
        words_((tickets.size() + 63) / 64),
        tickets_(std::move(tickets)),
        holders_(rows_ * kSlotCount, std::vector<std::uint64_t>(words_)),
        live_(rows_ + 1, std::vector<std::uint64_t>(words_)),
        maxSteps_(maxSteps) {
    for (std::size_t k = 0; k < tickets_.size(); ++k) {
      live_[0][k / 64] |= std::uint64_t{1} << (k % 64);
      for (std::size_t r = 0; r < rows_; ++r) {
        for (std::size_t h = 0; h < kSlotCount; ++h) {
          if ((tickets_[k]->rows[r] >> h & 1u) != 0) holders_[r * kSlotCount + h][k / 64] |= std::uint64_t{1} << (k % 64);
        }
      }
    }
  }

  std::optional<CombinationCount> Count() {
    const CombinationCount count = Walk(0, 0);
    if (stopped_) return std::nullopt;
    return count;
  }

  // The share of the walk done when it stopped: the horse reached in each
  // row of the path, each row worth a twentieth of the one before.
  double DoneShare() const {
    double share = 0;
    double weight = 1;
    for (std::size_t d = 0; d < rows_; ++d) {
      weight /= kSlotCount;
      share += weight * static_cast<double>(path_[d]);
    }
    return share;
  }

 private:
  CombinationCount Walk(std::size_t d, HorseMask used) {
    if (++steps_ > maxSteps_) stopped_ = true;
    if (stopped_) return 0;
    const std::vector<std::uint64_t>& live = live_[d];
    if (d + 1 == rows_) {
      HorseMask horses = 0;
      for (std::size_t w = 0; w < words_; ++w) {
        for (std::uint64_t bits = live[w]; bits != 0; bits &= bits - 1) {
          horses |= tickets_[w * 64 + static_cast<std::size_t>(std::countr_zero(bits))]->rows[d];
        }
      }
      return std::popcount(horses & ~used);
    }
    CombinationCount total = 0;
    std::vector<std::uint64_t>& part = live_[d + 1];
    for (std::size_t h = 0; h < kSlotCount && !stopped_; ++h) {
      path_[d] = h;
      const HorseMask horse = HorseMask{1} << h;
      if ((used & horse) != 0) continue;
      std::uint64_t any = 0;
      for (std::size_t w = 0; w < words_; ++w) any |= part[w] = live[w] & holders_[d * kSlotCount + h][w];
      if (any != 0) total += Walk(d + 1, oneRace_ ? used | horse : used);
    }
    return total;
  }

  bool oneRace_;
  std::size_t rows_;
  std::size_t words_;
  std::vector<const Ticket*> tickets_;
  std::vector<std::vector<std::uint64_t>> holders_;  // [row * 20 + horse]: the tickets holding it
  std::vector<std::vector<std::uint64_t>> live_;     // [depth]: the live tickets of the part being walked
  std::array<std::size_t, kRowCount> path_{};  // the horse of each row on the path being walked
  std::uint64_t steps_ = 0;
  std::uint64_t maxSteps_;
  bool stopped_ = false;
};

}  // namespace

std::optional<CombinationCount> PlainWalkDistinct(std::span<const Ticket> tickets, std::uint64_t maxSteps, double* doneShare) {
  CombinationCount total = 0;
  for (BetType betType = 0; betType < kBetTypeCount; ++betType) {
    std::vector<const Ticket*> ofType;
    for (const Ticket& ticket : tickets) {
      if (ticket.betType == betType) ofType.push_back(&ticket);
    }
    if (ofType.empty()) continue;
    PlainWalk walk(std::move(ofType), betType, maxSteps);
    const std::optional<CombinationCount> count = walk.Count();
    if (!count) {
      if (doneShare != nullptr) *doneShare = walk.DoneShare();
      return std::nullopt;
    }
    total += *count;
  }
  return total;
}

}  // namespace tallyhorn::reference
