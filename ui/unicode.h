// Text between the window and the core: the window's text is UTF-16, read
// and written through the W functions; the core's reader takes UTF-8.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace tallyhorn {

// UTF-16 as UTF-8 and back. A lone surrogate, which no keyboard makes,
// becomes U+FFFD; everything else comes through unchanged.
std::string Utf8Of(std::wstring_view wide);
std::wstring Utf16Of(std::string_view text);

// Text in a code page (CP_ACP for the window code page, CP_UTF8) as UTF-16.
std::wstring Utf16Of(std::string_view text, UINT codePage);

// A window's whole text as UTF-16; "" for no window.
std::wstring WideWindowText(HWND window);

// A message box whose text and caption are UTF-8, shown through the W
// function so every character reaches the screen as it is. While it is up,
// the repeats of a held Enter are dropped, so the press that opened it does
// not close it at once.
int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);

}  // namespace tallyhorn
