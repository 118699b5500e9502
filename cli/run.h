// The whole command-line program over streams, so it can be run in-process.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <span>
#include <string_view>

namespace tallyhorn::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitIoFailed = 1;     // standard input could not be read or held too much, or the output not written
inline constexpr int kExitRejected = 2;     // a bad option, a rejected ticket, or input in an unread encoding

// What standard input may hold. Memory grows with the tickets kept (a few
// dozen bytes each) and one line, never with the whole text.
struct InputLimits {
  std::size_t mostTickets = 1'000'000;  // ticket lines; more stop the run, exit status 1
  std::size_t longestLine = 64 * 1024;  // bytes of UTF-8; a longer line is rejected
};

/*
 * Runs tallyhorn-cli: args are the command-line arguments after the program
 * name. Tickets come from the arguments or, when there are none, from in,
 * one per line (UTF-8, ASCII or UTF-16), read as they arrive within the
 * limits. Each accepted ticket prints its two ticket-box lines to out,
 * followed by a summary line when there are two or more tickets, accepted
 * or not; nothing is printed to out before all input is read. Each rejected
 * ticket prints a message to err. Returns the exit status.
 */
int RunCli(std::span<const std::string_view> args, std::istream& in, std::ostream& out, std::ostream& err,
           const InputLimits& limits = {});

}  // namespace tallyhorn::cli
