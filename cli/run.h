// The whole command-line program over streams, so it can be run in-process.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace tallyhorn::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitIoFailed = 1;     // standard input could not be read, or the output not written
inline constexpr int kExitRejected = 2;     // a bad option, a rejected ticket, or input in an unread encoding

/*
 * Runs tallyhorn-cli: args are the command-line arguments after the program
 * name. Tickets come from the arguments or, when there are none, from in,
 * one per line (UTF-8, ASCII or UTF-16). Each accepted ticket prints its two
 * ticket-box lines to out, followed by a summary line when there are two or
 * more tickets, accepted or not; each rejected one prints a message to err.
 * Returns the exit status.
 */
int RunCli(std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace tallyhorn::cli
