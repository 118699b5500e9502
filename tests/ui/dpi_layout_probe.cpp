// Not a test by itself: started by screen_dpi_test.cpp under a chosen
// screen DPI. It starts like the program (DPI request, then the
// calculator) and prints, one item a line, what the test compares:
//   awareness NAME
//   dpi N                       the DPI the dialog is drawn at
//   client W H                  the dialog's client area, in pixels
//   units X Y                   the dialog's base units (4 by 8 dialog units)
//   form W H                    the template's size in dialog units, mapped
//   control ID L T R B  L T R B each control, in template order: its
//                               rectangle in client pixels, then its
//                               template rectangle mapped
//   numbers X...                the centre of each number the column
//                               header shows, as drawn (in header pixels)
//   boxes X...                  the centre of each of the first row's boxes
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ui/calculator.h"
#include "ui/dpi.h"
#include "ui/resource.h"

namespace {

struct TemplateItem {
  int id;
  RECT units;  // left, top, right, bottom in dialog units
};

// Reads the words of an extended dialog template in order.
struct Reader {
  const std::uint8_t* start;
  const std::uint8_t* at;
  std::uint16_t Word() {
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
  }
  std::uint32_t Dword() {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
  }
  short Short() { return static_cast<short>(Word()); }
  // A name or ordinal: none (0), an ordinal (0xFFFF, then the number) or a
  // string ending in a zero word.
  void SkipNameOrOrdinal() {
    const std::uint16_t first = Word();
    if (first == 0xFFFF) {
      Word();
    } else if (first != 0) {
      while (Word() != 0) {
      }
    }
  }
  void SkipString() {
    while (Word() != 0) {
    }
  }
  void AlignToDword() { at = start + ((at - start + 3) & ~std::ptrdiff_t{3}); }
};

RECT FromUnits(short x, short y, short cx, short cy) { return RECT{x, y, x + cx, y + cy}; }

// The form's size and every control's rectangle, in dialog units, from the
// calculator's template in this program's resources.
bool ReadTemplate(SIZE& form, std::vector<TemplateItem>& items) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDD_CALCULATOR), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (found == nullptr) return false;
  const auto* start = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
  if (start == nullptr) return false;
  Reader in{start, start};
  if (in.Word() != 1 || in.Word() != 0xFFFF) return false;  // not an extended template
  in.Dword();                                               // help ID
  in.Dword();                                               // extended style
  const DWORD style = in.Dword();
  const int count = in.Word();
  in.Short();
  in.Short();
  form.cx = in.Short();
  form.cy = in.Short();
  in.SkipNameOrOrdinal();  // menu
  in.SkipNameOrOrdinal();  // class
  in.SkipString();         // title
  if ((style & DS_SETFONT) != 0) {
    in.Word();  // point size
    in.Word();  // weight
    in.at += 2;  // italic, character set
    in.SkipString();
  }
  for (int i = 0; i < count; ++i) {
    in.AlignToDword();
    in.Dword();  // help ID
    in.Dword();  // extended style
    in.Dword();  // style
    const short x = in.Short(), y = in.Short(), cx = in.Short(), cy = in.Short();
    const int id = static_cast<int>(in.Dword());
    in.SkipNameOrOrdinal();  // class
    in.SkipNameOrOrdinal();  // caption
    in.at += in.Word();      // creation data
    items.push_back(TemplateItem{id, FromUnits(x, y, cx, cy)});
  }
  return true;
}

// The centres of the runs of ink the header draws, one run a number: runs
// closer than `gap` pixels are the digits of one number.
std::vector<double> InkCentres(HWND header, int gap) {
  RECT client{};
  GetClientRect(header, &client);
  HDC screen = GetDC(header);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  SendMessageA(header, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
  std::vector<double> centres;
  int first = -1;
  int last = -1;
  for (int x = 0; x <= client.right; ++x) {
    bool ink = false;
    for (int y = 0; x < client.right && y < client.bottom && !ink; ++y) {
      const COLORREF colour = GetPixel(memory, x, y);
      ink = GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 128;
    }
    if (ink) {
      if (first < 0) first = x;
      last = x;
    } else if (first >= 0 && (x - last > gap || x == client.right)) {
      centres.push_back((first + last) / 2.0);
      first = -1;
    }
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(header, screen);
  return centres;
}

}  // namespace

int main() {
  using namespace tallyhorn;
  const DpiAwareness awareness = DeclareDpiAwareness();
  HWND dialog = CreateCalculator(GetModuleHandleA(nullptr));
  SIZE form{};
  std::vector<TemplateItem> items;
  if (dialog == nullptr || !ReadTemplate(form, items)) {
    std::fprintf(stderr, "dpi_layout_probe: no calculator or no template\n");
    return 1;
  }
  HDC dc = GetDC(dialog);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(dialog, dc);

  RECT client{};
  GetClientRect(dialog, &client);
  RECT units{0, 0, 4, 8};
  MapDialogRect(dialog, &units);
  RECT mappedForm{0, 0, form.cx, form.cy};
  MapDialogRect(dialog, &mappedForm);
  std::printf("awareness %s\ndpi %d\nclient %ld %ld\nunits %ld %ld\nform %ld %ld\n", DpiAwarenessName(awareness),
              dpi, client.right, client.bottom, units.right, units.bottom, mappedForm.right, mappedForm.bottom);
  // The dialog's children in creation order are the template's items in
  // order (several labels share one ID, so the ID cannot find them).
  HWND control = GetWindow(dialog, GW_CHILD);
  for (const TemplateItem& item : items) {
    if (control == nullptr) break;
    RECT actual{};
    GetWindowRect(control, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    RECT mapped = item.units;
    MapDialogRect(dialog, &mapped);
    std::printf("control %d %ld %ld %ld %ld  %ld %ld %ld %ld\n", item.id, actual.left, actual.top, actual.right,
                actual.bottom, mapped.left, mapped.top, mapped.right, mapped.bottom);
    control = GetWindow(control, GW_HWNDNEXT);
  }
  HWND header = GetDlgItem(dialog, IDC_COLUMN_HEADER);
  std::printf("numbers");
  // Digits of one number sit closer than two thirds of a dialog unit's
  // width; numbers are over two units apart.
  for (double centre : InkCentres(header, static_cast<int>(units.right) * 2 / 3)) std::printf(" %.1f", centre);
  std::printf("\nboxes");
  for (int slot = 0; slot < kSlotCount; ++slot) {
    RECT box{};
    GetWindowRect(GetDlgItem(dialog, BoxId(0, slot)), &box);
    MapWindowPoints(nullptr, header, reinterpret_cast<POINT*>(&box), 2);
    std::printf(" %.1f", (box.left + box.right - 1) / 2.0);
  }
  std::printf("\n");
  DestroyCalculator();
  return 0;
}
