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
  DestroyCalculator();
  return 0;
}
