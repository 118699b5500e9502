// Two questions every key handler of the program asks: is a key held down
// now, and is a key message only the repeat of a key held down.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tallyhorn {

// True while the key is down, by the state the message being handled saw.
inline bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// True for a key message that a held key repeats (the key was down
// already).
inline bool IsRepeatedKey(const MSG& message) {
  return (message.message == WM_KEYDOWN || message.message == WM_CHAR) && (message.lParam & (LPARAM{1} << 30)) != 0;
}

}  // namespace tallyhorn
