// Files as the calculator reads and writes them: a whole file at once, and
// every write atomic, so a failure at any moment (a full disk, a crash, the
// power) leaves the old file or the new one, never a part of one. Paths are
// UTF-16 and go through the W functions; messages are UTF-8 sentences.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallyhorn {

// The largest file ReadWholeFile takes; a plan of a million tickets is far
// smaller.
inline constexpr std::uint64_t kLargestReadFile = std::uint64_t{64} << 20;

// A file's bytes, or why there are none. missing says the file (or its
// folder) does not exist, which is no fault for a file that is optional.
struct FileRead {
  std::optional<std::string> bytes;
  std::string error;
  bool missing = false;
};

// Reads the whole file; refuses one larger than kLargestReadFile.
FileRead ReadWholeFile(const std::wstring& path);

/*
 * Replaces the file at path by bytes, atomically: the bytes go to a new
 * temporary file beside it ("NAME.~save-PID-N.tmp"), are flushed to the
 * disk, and the temporary file is renamed over the old one in one step.
 * Returns "" on success, else why it failed; the old file is then as it
 * was and the temporary file is gone. Temporary files that a process which
 * no longer runs left behind (it was killed mid-save) are removed first.
 */
std::string WriteFileAtomically(const std::wstring& path, std::string_view bytes);

// The temporary files WriteFileAtomically(path, ...) makes match this
// wildcard pattern, in the same folder.
std::wstring AtomicWritePattern(const std::wstring& path);

/*
 * The folder the calculator keeps its own files in, created when missing:
 * %APPDATA%\Tallyhorn, or the folder the TALLYHORN_DATA_DIR environment
 * variable names when it is set (tests and portable use). L"" when there
 * is no such folder and none can be made.
 */
std::wstring TallyhornDataFolder();

// The system's own sentence for an error code ("Access is denied."), or
// "error N" when it has none.
std::string SystemErrorText(DWORD error);

}  // namespace tallyhorn
