// The plan kept between runs: after every change the plan is saved to
// plan.txt in the calculator's data folder, and the next start loads it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "calc/ticket_read.h"

namespace tallyhorn {

// TallyhornDataFolder() + L"\\plan.txt"; L"" when there is no data folder.
std::wstring AutosavePath();

// What the last run left: its tickets, and "" or a message for the player.
struct AutosaveLoad {
  std::vector<Ticket> tickets;
  std::string message;
};

/*
 * Loads the saved plan. No file is an empty plan, and no message. A file
 * that is damaged (lines that are not tickets, UTF-32, too large or not
 * readable) is kept beside it as plan.damaged-YYYYMMDD-HHMMSS.txt, its good
 * lines are loaded and saved at once as the new plan.txt (so they survive a
 * run that changes nothing), and the message says what was wrong and where
 * the old file is.
 */
AutosaveLoad LoadAutosave();

// Saves the plan to AutosavePath() atomically; "" or why it failed.
std::string SaveAutosave(std::span<const Ticket> tickets);

}  // namespace tallyhorn
