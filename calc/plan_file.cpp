#include "calc/plan_file.h"

#include <utility>

#include "calc/summary.h"
#include "calc/text.h"

namespace tallyhorn {

PlanFileReading ReadPlanFile(std::string bytes) {
  PlanFileReading reading;
  const DecodedText decoded = DecodeText(std::move(bytes));
  if (decoded.utf32) {
    reading.utf32 = true;
    return reading;
  }
  FieldSizes fields{};
  fields.fill(kDefaultFieldSize);
  ForEachLine(decoded.text, [&](std::size_t number, std::string_view line) {
    if (IsSkippedLine(line)) return;
    TicketReading read = ReadTicket(line, fields, FieldRule::kGrow);
    if (read.ticket) {
      reading.tickets.push_back(*read.ticket);
    } else {
      reading.faults.push_back(PlanLineFault{number, std::move(read.error)});
    }
  });
  return reading;
}

std::string PlanFileText(std::span<const Ticket> tickets) {
  std::string text;
  for (const Ticket& ticket : tickets) {
    const std::string lines = PrintedLines(ticket);
    bool emptyRow = false;
    for (Row r = 0; r < RowCountOf(ticket.betType); ++r) emptyRow = emptyRow || ticket.rows[static_cast<std::size_t>(r)] == 0;
    // The notation has no empty row, so such a ticket (it covers nothing)
    // is kept as a comment the player can read, not a line that fails.
    if (emptyRow) text += "# covers nothing, a row has no horse: ";
    text.append(lines, 0, lines.find('\n'));
    text += "\r\n";
  }
  return text;
}

std::string PlanFaultMessage(const PlanFileReading& reading) {
  if (reading.utf32) return "The file is UTF-32 text, which is not read; save it as UTF-8 or UTF-16.";
  std::string message;
  for (std::size_t i = 0; i < reading.faults.size() && i < kNamedFaultLimit; ++i) {
    if (!message.empty()) message += '\n';
    message += "Line " + std::to_string(reading.faults[i].line) + " is not a ticket: " + reading.faults[i].error + ".";
  }
  if (reading.faults.size() > kNamedFaultLimit) {
    const std::size_t more = reading.faults.size() - kNamedFaultLimit;
    message += "\n... and " + std::to_string(more) + (more == 1 ? " more line is not a ticket." : " more lines are not tickets.");
  }
  return message;
}

}  // namespace tallyhorn
