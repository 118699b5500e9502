#include "ui/unicode.h"

#include "ui/key_state.h"

namespace tallyhorn {
namespace {

// While a box is up, the repeats of a held Enter are dropped: the press
// that opened the box (Enter on a ticket, on Help) would otherwise close it
// at once, and the next repeat open it again. A fresh press closes it as
// usual.
LRESULT CALLBACK DropRepeatedEnter(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (code >= 0 && message->wParam == VK_RETURN && IsRepeatedKey(*message)) return TRUE;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

std::string Utf8Of(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), bytes, nullptr, nullptr);
  return text;
}

std::wstring Utf16Of(std::string_view text) { return Utf16Of(text, CP_UTF8); }

std::wstring Utf16Of(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), units);
  return wide;
}

std::wstring WideWindowText(HWND window) {
  if (window == nullptr) return {};
  // The length may count more than the text holds (never less), so the
  // text is cut to what was copied.
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) {
  const HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, DropRepeatedEnter, nullptr, GetCurrentThreadId());
  const int answer = MessageBoxW(owner, Utf16Of(text).c_str(), Utf16Of(caption).c_str(), type);
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  return answer;
}

}  // namespace tallyhorn
