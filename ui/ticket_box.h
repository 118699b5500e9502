// The ticket box at the bottom of the form: the calculator writes each
// recalculation's ticket there, and the person may type or paste over it.
// The box remembers what the calculator wrote last, so typing in it can be
// told apart from the calculator's own text (for Enter and for undo).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/window_state.h"

namespace tallyhorn {

// Writes the calculator's ticket text (UTF-8) into the box and remembers it
// as the text the calculator wrote.
void WriteTicketBox(std::string_view ticket);

// The box's whole text as it stands.
std::wstring TicketBoxText();

// The box's text when it is not what the calculator wrote last (the person
// typed, pasted or cut there); nothing when it is.
std::optional<std::wstring> TypedTicketText();

// Puts back typing that undo or redo brings back: the box shows `typed`,
// with the caret at its end, and the calculator's own text stays
// remembered as it was.
void ShowTypedTicketText(const std::wstring& typed);

/*
 * Takes over the box's paste, wherever it comes from (Ctrl+V, Shift+Insert,
 * the box's context menu): a clipboard holding one ticket sets the form to
 * it, any other text is pasted into the box as the edit control pastes.
 * Also forgets what was written before, for a new calculator.
 */
void TakeOverTicketBox(HWND box);

}  // namespace tallyhorn
