#include "ui/column_header.h"

#include <algorithm>
#include <string>

#include "ui/resource.h"

namespace tallyhorn {

namespace {

// The window property that holds the header's previous procedure.
constexpr const char* kPreviousProcedure = "Tallyhorn.HeaderPreviousProcedure";

/*
 * Paints the header into `dc`: its background as the dialog gives it for
 * static controls, then the numbers of its text, the n-th centred over
 * horse n's box. A number without a box is left out.
 */
void PaintHeader(HWND header, HDC dc) {
  HWND dialog = GetParent(header);
  RECT client{};
  GetClientRect(header, &client);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(header)));
  FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));

  const auto font = reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0));
  const HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
  const int previousMode = SetBkMode(dc, TRANSPARENT);

  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(header)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(header, text.data(), static_cast<int>(text.size()))));
  int slot = 0;
  for (std::size_t at = text.find_first_not_of(' '); at != std::string::npos && slot < kSlotCount;
       at = text.find_first_not_of(' ', at), ++slot) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    HWND box = GetDlgItem(dialog, BoxId(0, slot));
    if (box != nullptr) {
      RECT place{};
      GetWindowRect(box, &place);
      MapWindowPoints(nullptr, header, reinterpret_cast<POINT*>(&place), 2);
      const LONG centre = (place.left + place.right) / 2;
      RECT cell{centre - client.right, client.top, centre + client.right, client.bottom};
      DrawTextA(dc, text.data() + at, static_cast<int>(end - at), &cell, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    at = end;
  }

  SetBkMode(dc, previousMode);
  if (previousFont != nullptr) SelectObject(dc, previousFont);
}

/*
 * The subclass procedure: paints the header itself (for the screen and
 * for WM_PRINTCLIENT), hands every other message to the static control's
 * own procedure, and drops the property with the window.
 */
LRESULT CALLBACK HeaderProcedure(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetPropA(header, kPreviousProcedure));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(header, &paint);
      if (dc != nullptr) PaintHeader(header, dc);
      EndPaint(header, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintHeader(header, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NCDESTROY:
      RemovePropA(header, kPreviousProcedure);
      SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      break;
    default:
      break;
  }
  if (previous == nullptr) return DefWindowProcA(header, message, wParam, lParam);
  return CallWindowProcA(previous, header, message, wParam, lParam);
}

}  // namespace

void AlignColumnHeader(HWND dialog) {
  HWND header = dialog != nullptr ? GetDlgItem(dialog, IDC_COLUMN_HEADER) : nullptr;
  if (header == nullptr || GetPropA(header, kPreviousProcedure) != nullptr) return;
  const LONG_PTR previous = GetWindowLongPtrA(header, GWLP_WNDPROC);
  if (previous == 0) return;
  SetPropA(header, kPreviousProcedure, reinterpret_cast<HANDLE>(previous));
  SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderProcedure));
  InvalidateRect(header, nullptr, TRUE);
}

}  // namespace tallyhorn
