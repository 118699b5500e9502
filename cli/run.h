// The whole command-line program over streams, so it can be run in-process.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace tallyhorn::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitWriteFailed = 1;  // the output could not be written
inline constexpr int kExitRejected = 2;     // a bad option, or a ticket was rejected

/*
 * Runs tallyhorn-cli: args are the command-line arguments after the program
 * name. Tickets come from the arguments or, when there are none, from in,
 * one per line. Each accepted ticket prints its two ticket-box lines to out,
 * followed by a summary line when two or more were accepted; each rejected
 * one prints a message to err. Returns the exit status.
 */
int RunCli(std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace tallyhorn::cli
