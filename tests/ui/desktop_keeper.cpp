// Keeps Wine's desktop open for a whole test session. Wine closes a desktop
// one second after the last program on it ends, and the next program then
// waits the better part of a second for a new one; with a hundred test
// programs in a row that is most of the session's time. A hidden window
// held here keeps the desktop in use. scripts/wine-session.sh starts it and
// ends it with the session.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (CreateWindowExA(0, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr) ==
      nullptr) {
    return 1;
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
