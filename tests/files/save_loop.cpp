// Saves a file over and over, the two contents of SaveLoopContents in turn,
// until it is killed: "save_loop PATH EVENT". After the first save it sets
// the named event, so the killer knows saving is under way. With no
// arguments it ends at once (a process number that is no longer running).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "tests/files/save_contents.h"
#include "ui/file_io.h"

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 3) return 0;
  const std::wstring path = arguments[1];
  const HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments[2]);
  const std::string contents[2] = {tallyhorn::SaveLoopContents(0), tallyhorn::SaveLoopContents(1)};
  for (unsigned i = 0;; ++i) {
    if (!tallyhorn::WriteFileAtomically(path, contents[i % 2]).empty()) return 2;
    if (i == 0 && started != nullptr) SetEvent(started);
  }
}
