// A betting plan: the tickets a player means to bet together, in their
// order, with the history of its changes for undo and redo, and the figures
// of its summary by bet type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/distinct.h"
#include "calc/figures.h"
#include "calc/ticket_read.h"

namespace tallyhorn {

// Whether two tickets are the same bet: bet type, unit price and horses.
// The fields the rows were read against play no part.
bool SameBet(const Ticket& a, const Ticket& b);

/*
 * The tickets of a plan and the steps that made them. Every change is one
 * step, and every step is the same splice: the rows from `index` on that
 * held `before` now hold `after` (adding puts one ticket in, removing takes
 * one out, a move swaps two, New and Open swap the whole list). Undo splices
 * the other way. The history keeps the latest `historyDepth` steps; a new
 * change drops the steps that could have been redone. A change that leaves
 * the tickets as they were takes no step.
 */
class Plan {
 public:
  explicit Plan(std::size_t historyDepth);

  const std::vector<Ticket>& Tickets() const { return tickets_; }
  std::size_t Size() const { return tickets_.size(); }
  bool Empty() const { return tickets_.empty(); }

  // Each change returns the row to select afterwards, or nothing when it
  // changed nothing (a row past the end, a move past either end, a ticket
  // replaced by the same bet, New on an empty plan).
  std::size_t Add(const Ticket& ticket);
  std::optional<std::size_t> Replace(std::size_t row, const Ticket& ticket);
  std::optional<std::size_t> Remove(std::size_t row);
  std::optional<std::size_t> MoveUp(std::size_t row);
  std::optional<std::size_t> MoveDown(std::size_t row);
  std::optional<std::size_t> Clear();
  // The plan becomes these tickets (a file opened), as one step.
  std::optional<std::size_t> Open(std::vector<Ticket> tickets);

  // Undo and redo one step; the row the step changed, or nothing when
  // there is no step to take.
  std::optional<std::size_t> Undo();
  std::optional<std::size_t> Redo();
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

  // The plan becomes these tickets with its history started afresh (the
  // plan a start-up brings back).
  void Reset(std::vector<Ticket> tickets);

  /*
   * A number for the tickets as they stand: each change gives a new one,
   * and undo and redo give back the number the tickets had then. A window
   * compares it with the number at the last save to know whether the plan
   * has changes not saved.
   */
  std::uint64_t State() const { return state_; }

 private:
  struct Step {
    std::size_t index = 0;
    std::vector<Ticket> before;
    std::vector<Ticket> after;
    std::uint64_t stateBefore = 0;
    std::uint64_t stateAfter = 0;
  };

  // Applies a new step and records it; returns `select`.
  std::size_t Change(std::size_t index, std::vector<Ticket> before, std::vector<Ticket> after, std::size_t select);
  // Moves the newest step of `from` to `to`, putting the tickets as the
  // step left them (forward, redo) or found them (undo); returns its row.
  template <typename From, typename To>
  std::optional<std::size_t> Replay(From& from, To& to, bool forward);
  // Rows [index, index + out.size()) become `in`.
  void Splice(std::size_t index, const std::vector<Ticket>& out, const std::vector<Ticket>& in);

  std::size_t depth_;
  std::vector<Ticket> tickets_;
  std::deque<Step> undo_;   // newest last
  std::vector<Step> redo_;  // the next to redo last
  std::uint64_t state_ = 0;
  std::uint64_t lastState_ = 0;  // the highest number given out
};

// --- the figures ------------------------------------------------------------

// What the plan holds of one bet type.
struct BetTypeFigures {
  BetType betType = kTrifecta;
  std::size_t tickets = 0;
  WideNumber bets;
};

// The plan's figures that need no distinct count: by bet type (in bet-type
// order, only the types present) and in all, with the whole cost in cents.
struct PlanFigures {
  std::vector<BetTypeFigures> byType;
  std::size_t tickets = 0;
  WideNumber bets;
  WideNumber cents;
};

PlanFigures FiguresOf(std::span<const Ticket> tickets);

// The three figures a row of the plan's list shows for a ticket: its line
// as the ticket box writes it ("$1 Trifecta: 1,2 / 5 / 3,4"), its bets
// ("4", in full past a billion) and its cost ("$4", "$0.60").
struct TicketRowTexts {
  std::string line;
  std::string bets;
  std::string cost;
};

TicketRowTexts RowTextsOf(const Ticket& ticket);

// What the summary shows while the distinct count runs.
inline constexpr std::string_view kCountingText = "counting\xE2\x80\xA6";  // "counting…"

/*
 * The summary's text, one line for each bet type in the plan and a last
 * line for the whole plan, ended by "\r\n" between lines:
 *   Trifecta: 2 tickets, 36 bets, 30 distinct, 6 repeats
 *   Pick-4: 1 ticket, 1,200 bets, 1,200 distinct, 0 repeats
 *   Plan: 3 tickets, 1,236 bets, total $1,436.50
 * Repeats are bets less distinct combinations: a combination bet twice on
 * tickets of one bet type. Tickets of different bet types are different
 * pools and never repeat each other. While `distinct` is nothing (the count
 * is running) each bet-type line ends "counting…" after its bets. An empty
 * plan says how to add a ticket.
 */
std::string PlanSummaryText(const PlanFigures& figures, const std::optional<DistinctByBetType>& distinct);

}  // namespace tallyhorn
