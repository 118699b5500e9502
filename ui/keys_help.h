// "Keys and tickets...", a command on the calculator's system menu: a box
// that tells how to read a ticket into the form, what Enter does and how
// undo and redo work. The form's own Help stays as it is.
#pragma once

#include <string_view>

#include "ui/window_state.h"

namespace tallyhorn {

// The command's ID on the system menu: below 0xF000, the system's own,
// with the low four bits clear, as the system uses them.
inline constexpr UINT kKeysHelpCommand = 0x0110;

inline constexpr std::string_view kKeysHelpCaption = "Keys and tickets";
extern const std::string_view kKeysHelpText;

/*
 * Adds "Keys and tickets..." to the dialog's system menu and answers it:
 * the dialog's window procedure is wrapped so WM_SYSCOMMAND with the
 * command opens the box, however the menu was reached (mouse, Alt+Space);
 * every other message goes on as before.
 */
void AddKeysHelpCommand(HWND dialog);

// Shows the box, modal, with the information icon.
void ShowKeysHelp(HWND dialog);

}  // namespace tallyhorn
