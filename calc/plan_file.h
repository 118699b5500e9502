// A betting plan as a file: text, one ticket a line, in the notation the
// ticket box writes and tallyhorn-cli reads, so the file fed to
// tallyhorn-cli prints the plan's own text.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "calc/ticket_read.h"

namespace tallyhorn {

// A line of a plan file that is not a ticket: its number, from 1, and the
// reader's reason.
struct PlanLineFault {
  std::size_t line = 0;
  std::string error;
};

// What a plan file holds: the tickets of its good lines, in file order, and
// a fault for each bad line. A UTF-32 file is refused whole (utf32 set, no
// tickets, no faults).
struct PlanFileReading {
  std::vector<Ticket> tickets;
  std::vector<PlanLineFault> faults;
  bool utf32 = false;
};

/*
 * Reads a plan file's bytes: UTF-8 or UTF-16 (DecodeText), then every line
 * that holds a ticket (not IsSkippedLine: blank lines, "#" comments, copied
 * "Bets:" and summary lines) read as the window reads a pasted ticket, every
 * row's field from 12 growing to its highest horse. Pure.
 */
PlanFileReading ReadPlanFile(std::string bytes);

/*
 * The file for the tickets: one line each, the first line of the ticket box
 * (PrintedLines), ended by "\r\n" so Notepad shows it as lines; UTF-8 without
 * a byte-order mark. ReadPlanFile reads it back to the same bet types, unit
 * prices and horses, and so to the same figures. A ticket with a row of no
 * horse, which the notation cannot write, becomes a "#" comment line
 * showing it: it covers nothing and is not read back.
 */
std::string PlanFileText(std::span<const Ticket> tickets);

// At most this many bad lines are named one by one in a message.
inline constexpr std::size_t kNamedFaultLimit = 10;

/*
 * What the player is told about a reading's bad lines: a sentence for each
 * of the first ten, "Line 3 is not a ticket: row 2: ...", then "... and 4
 * more lines are not tickets."; for a UTF-32 file, that it is not read; ""
 * when nothing went wrong. Sentences are joined by "\n".
 */
std::string PlanFaultMessage(const PlanFileReading& reading);

}  // namespace tallyhorn
