#include "calc/plan.h"

#include <algorithm>
#include <utility>

#include "calc/counting.h"
#include "calc/summary.h"

namespace tallyhorn {

bool SameBet(const Ticket& a, const Ticket& b) {
  return a.betType == b.betType && a.unitCents == b.unitCents && a.rows == b.rows;
}

namespace {

bool SameBets(const std::vector<Ticket>& a, const std::vector<Ticket>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameBet);
}

// The tickets' count as the window counts it, never negative.
std::uint64_t BetsOf(const Ticket& ticket) {
  return static_cast<std::uint64_t>(CountCombinations(StateOf(ticket)));
}

// "1 ticket", "2 tickets".
std::string Tickets(std::size_t count) {
  std::string text = GroupedDigits(WideNumber(count));
  text.append(count == 1 ? " ticket" : " tickets");
  return text;
}

std::string Bets(const WideNumber& bets) {
  std::string text = GroupedDigits(bets);
  text.append(bets.High() == 0 && bets.Low() == 1 ? " bet" : " bets");
  return text;
}

}  // namespace

Plan::Plan(std::size_t historyDepth) : depth_(historyDepth) {}

void Plan::Splice(std::size_t index, const std::vector<Ticket>& out, const std::vector<Ticket>& in) {
  const auto at = tickets_.begin() + static_cast<std::ptrdiff_t>(index);
  tickets_.erase(at, at + static_cast<std::ptrdiff_t>(out.size()));
  tickets_.insert(tickets_.begin() + static_cast<std::ptrdiff_t>(index), in.begin(), in.end());
}

std::size_t Plan::Change(std::size_t index, std::vector<Ticket> before, std::vector<Ticket> after,
                         std::size_t select) {
  Step step;
  step.index = index;
  step.before = std::move(before);
  step.after = std::move(after);
  step.stateBefore = state_;
  step.stateAfter = ++lastState_;
  Splice(step.index, step.before, step.after);
  state_ = step.stateAfter;
  redo_.clear();
  undo_.push_back(std::move(step));
  while (undo_.size() > depth_) undo_.pop_front();
  return select;
}

std::size_t Plan::Add(const Ticket& ticket) {
  const std::size_t row = tickets_.size();
  return Change(row, {}, {ticket}, row);
}

std::optional<std::size_t> Plan::Replace(std::size_t row, const Ticket& ticket) {
  if (row >= tickets_.size() || SameBet(tickets_[row], ticket)) return std::nullopt;
  return Change(row, {tickets_[row]}, {ticket}, row);
}

std::optional<std::size_t> Plan::Remove(std::size_t row) {
  if (row >= tickets_.size()) return std::nullopt;
  // The row that takes its place is selected, or the new last one.
  const std::size_t select = row + 1 < tickets_.size() ? row : (row == 0 ? 0 : row - 1);
  return Change(row, {tickets_[row]}, {}, select);
}

std::optional<std::size_t> Plan::MoveUp(std::size_t row) {
  if (row == 0 || row >= tickets_.size()) return std::nullopt;
  return Change(row - 1, {tickets_[row - 1], tickets_[row]}, {tickets_[row], tickets_[row - 1]}, row - 1);
}

std::optional<std::size_t> Plan::MoveDown(std::size_t row) {
  if (row + 1 >= tickets_.size()) return std::nullopt;
  return Change(row, {tickets_[row], tickets_[row + 1]}, {tickets_[row + 1], tickets_[row]}, row + 1);
}

std::optional<std::size_t> Plan::Clear() {
  if (tickets_.empty()) return std::nullopt;
  return Change(0, tickets_, {}, 0);
}

std::optional<std::size_t> Plan::Open(std::vector<Ticket> tickets) {
  if (SameBets(tickets, tickets_)) return std::nullopt;
  return Change(0, tickets_, std::move(tickets), 0);
}

template <typename From, typename To>
std::optional<std::size_t> Plan::Replay(From& from, To& to, bool forward) {
  if (from.empty()) return std::nullopt;
  Step step = std::move(from.back());
  from.pop_back();
  Splice(step.index, forward ? step.before : step.after, forward ? step.after : step.before);
  state_ = forward ? step.stateAfter : step.stateBefore;
  const std::size_t row = step.index;
  to.push_back(std::move(step));
  return row;
}

std::optional<std::size_t> Plan::Undo() { return Replay(undo_, redo_, false); }

std::optional<std::size_t> Plan::Redo() { return Replay(redo_, undo_, true); }

void Plan::Reset(std::vector<Ticket> tickets) {
  tickets_ = std::move(tickets);
  undo_.clear();
  redo_.clear();
  state_ = ++lastState_;
}

PlanFigures FiguresOf(std::span<const Ticket> tickets) {
  PlanFigures figures;
  std::vector<BetTypeFigures> types(kBetTypeCount);
  for (const Ticket& ticket : tickets) {
    if (!IsValidBetType(ticket.betType)) continue;
    const std::uint64_t bets = BetsOf(ticket);
    BetTypeFigures& type = types[static_cast<std::size_t>(ticket.betType)];
    ++type.tickets;
    type.bets.Add(bets);
    ++figures.tickets;
    figures.bets.Add(bets);
    figures.cents.AddProduct(bets, ticket.unitCents);
  }
  for (BetType betType = 0; betType < kBetTypeCount; ++betType) {
    BetTypeFigures& type = types[static_cast<std::size_t>(betType)];
    if (type.tickets == 0) continue;
    type.betType = betType;
    figures.byType.push_back(type);
  }
  return figures;
}

TicketRowTexts RowTextsOf(const Ticket& ticket) {
  const std::string lines = PrintedLines(ticket);
  const std::uint64_t bets = BetsOf(ticket);
  WideNumber cents;
  cents.AddProduct(bets, ticket.unitCents);
  std::string cost(1, '$');
  cost.append(GroupedDollars(cents));
  // The line is the first of the two; PrintedLines always ends it.
  return TicketRowTexts{lines.substr(0, lines.find('\n')), GroupedDigits(WideNumber(bets)), std::move(cost)};
}

std::string PlanSummaryText(const PlanFigures& figures, const std::optional<DistinctByBetType>& distinct) {
  if (figures.tickets == 0) return "No tickets yet: Ctrl+Enter in the calculator adds its ticket to the plan.";
  std::string text;
  for (const BetTypeFigures& type : figures.byType) {
    text += BetTypeTable[static_cast<std::size_t>(type.betType)].name;
    text.append(": ").append(Tickets(type.tickets)).append(", ").append(Bets(type.bets)).append(", ");
    std::optional<CombinationCount> count;
    if (distinct) {
      for (const auto& [betType, typeCount] : *distinct) {
        if (betType == type.betType) count = typeCount;
      }
    }
    if (count) {
      // The distinct combinations are never more than the bets; a count
      // that came from other tickets is shown as it is, the repeats as 0.
      const auto covered = static_cast<std::uint64_t>(*count);
      WideNumber repeats = type.bets;
      const bool fits = type.bets.High() != 0 || type.bets.Low() >= covered;
      text.append(GroupedDigits(WideNumber(covered))).append(" distinct, ");
      text.append(GroupedDigits(fits ? repeats.Subtract(covered) : WideNumber())).append(" repeats");
    } else {
      text += kCountingText;
    }
    text += "\r\n";
  }
  text.append("Plan: ").append(Tickets(figures.tickets)).append(", ").append(Bets(figures.bets));
  text.append(", total $").append(GroupedDollars(figures.cents));
  return text;
}

}  // namespace tallyhorn
