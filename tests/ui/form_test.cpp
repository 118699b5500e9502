// The form itself: the template's controls, in their order, with their
// classes, captions, places and styles; every ID once; the boxes of a row
// in one line; the tab order; the icons and the manifest.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/ui/calculator_fixture.h"

namespace tallyhorn::uitest {
namespace {

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// --- the template as the description gives it ---

struct ControlSpec {
  int id;
  std::string className;  // "Button", "Edit" or "Static"
  std::string caption;
  int x, y, cx, cy;
  DWORD style;  // besides WS_CHILD, and WS_VISIBLE unless hidden
  DWORD exStyle;
  bool hidden = false;
};

std::ostream& operator<<(std::ostream& out, const ControlSpec& c) {
  return out << "control " << c.id << " \"" << c.caption << "\" (" << c.className << ")";
}

int BoxX(int slot) { return slot < 12 ? 46 + 16 * slot : 237 + 16 * (slot - 12); }
ControlSpec Box(int row, int slot) {
  return {1000 + 20 * row + slot, "Button", "", BoxX(slot), 69 + 13 * row, 9, 8, BS_AUTOCHECKBOX, 0};
}

// The 220 controls in template order, from the rules that place them.
std::vector<ControlSpec> ExpectedTemplate() {
  std::vector<ControlSpec> controls;
  const char* units[] = {"$0.05", "$0.10", "$0.20", "$1", "$2", "$3", "$5", "$10"};
  for (int u = 0; u < 8; ++u) {
    const DWORD group = u == 0 || u == 7 ? WS_GROUP : 0;
    controls.push_back({1331 + u, "Button", units[u], 293 + 31 * (u % 4), u < 4 ? 14 : 32, 27, 15,
                        BS_AUTORADIOBUTTON | BS_PUSHLIKE | group, 0});
  }
  for (int row = 0; row < 4; ++row) controls.push_back(Box(row, 19));
  const int labelIds[] = {1271, 1272, 1199, 1200, 1201, 1202, 1203, 1204};
  const char* labels[] = {"Race A", "Race B", "Race C", "Race D", "Race E", "Race F", "Race G", "Race H"};
  std::string header = "   1";
  for (int n = 2; n <= 20; ++n) {
    header.append(n <= 9 ? 6 : n == 10 ? 5 : 4, ' ');
    header += std::to_string(n);
  }
  for (int row = 0; row < 8; ++row) {
    for (int slot = 0; slot < 12; ++slot) controls.push_back(Box(row, slot));
    if (row == 0) controls.push_back({1270, "Static", header, 41, 58, 318, 8, SS_LEFT | WS_GROUP, 0});
    controls.push_back({labelIds[row], "Static", labels[row], 12, 69 + 13 * row, 27, 8, SS_LEFT | WS_GROUP, WS_EX_RIGHT});
  }
  struct Bet {
    int id;
    const char* name;
    int x, y, cx;
  };
  const Bet bets[] = {{1246, "Exacta", 14, 14, 48},        {1247, "Trifecta", 66, 14, 48},
                      {1248, "Superfecta", 118, 14, 48},   {1264, "Superfecta-5", 170, 14, 48},
                      {1265, "Superfecta-6", 222, 14, 49}, {1249, "Pick-3", 14, 32, 38},
                      {1250, "Pick-4", 57, 32, 38},        {1251, "Pick-5", 101, 32, 38},
                      {1252, "Pick-6", 145, 32, 38},       {1253, "Pick-7", 189, 32, 38},
                      {1254, "Pick-8", 233, 32, 38}};
  for (const Bet& bet : bets) {
    const DWORD group = bet.id == 1246 ? WS_GROUP : 0;
    controls.push_back({bet.id, "Button", bet.name, bet.x, bet.y, bet.cx, 15,
                        BS_AUTORADIOBUTTON | BS_PUSHLIKE | WS_TABSTOP | group, 0});
  }
  const DWORD sunken = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
  controls.push_back({1244, "Static", "", 71, 197, 56, 12, SS_LEFT | WS_GROUP | WS_DISABLED, sunken, true});
  controls.push_back({1245, "Static", "", 154, 197, 56, 12, SS_LEFT | WS_GROUP | WS_DISABLED, sunken, true});
  controls.push_back(
      {-1, "Static", "COMBINATIONS:", 11, 201, 58, 8, SS_RIGHT | WS_GROUP | WS_DISABLED, WS_EX_TRANSPARENT, true});
  controls.push_back({-1, "Static", "COST:", 126, 201, 25, 8, SS_RIGHT | WS_GROUP | WS_DISABLED,
                      WS_EX_TRANSPARENT | WS_EX_RIGHT, true});
  controls.push_back({1262, "Button", "About", 389, 197, 27, 12, BS_DEFPUSHBUTTON | WS_TABSTOP, 0});
  for (int row = 0; row < 8; ++row) {
    for (int slot = 12; slot < (row < 4 ? 19 : 20); ++slot) controls.push_back(Box(row, slot));
  }
  controls.push_back({1228, "Button", "RESET", 363, 54, 49, 11, BS_PUSHBUTTON | WS_TABSTOP, 0});
  const int clearIds[] = {1227, 1231, 1232, 1233, 1234, 1235, 1236, 1237};
  for (int row : {0, 1, 2, 3, 4, 6, 7, 5}) {
    controls.push_back({clearIds[row], "Button", "Clr", 381, 67 + 13 * row, 14, 11, BS_PUSHBUTTON | WS_TABSTOP, 0});
  }
  const int allY[] = {67, 80, 93, 105, 118, 132, 145, 158};
  for (int row = 0; row < 8; ++row) {
    controls.push_back({1280 + row, "Button", "All", 363, allY[row], 14, 11, BS_PUSHBUTTON | WS_TABSTOP, 0});
  }
  for (int row = 0; row < 8; ++row) {
    const DWORD scroll = row == 7 ? ES_AUTOHSCROLL : 0;
    controls.push_back(
        {1323 + row, "Edit", "", 399, 67 + 13 * row, 14, 12, ES_NUMBER | scroll | WS_BORDER | WS_TABSTOP, 0});
  }
  controls.push_back({1342, "Edit", "", 14, 175, 401, 20,
                      ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_BORDER | WS_TABSTOP, 0});
  controls.push_back({1263, "Button", "Help", 354, 197, 27, 12, BS_DEFPUSHBUTTON | WS_TABSTOP, 0});
  return controls;
}

// --- reading the template from the program's resources ---

struct TemplateReader {
  const std::uint8_t* at;

  WORD Word() {
    WORD value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
  }
  DWORD Dword() {
    DWORD value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
  }
  short Short() { return static_cast<short>(Word()); }
  std::string String() {
    std::string text;
    for (WORD c = Word(); c != 0; c = Word()) text += static_cast<char>(c);
    return text;
  }
  // A name or an ordinal: "#n" for an ordinal, "" for none.
  std::string NameOrOrdinal() {
    WORD first;
    std::memcpy(&first, at, sizeof first);
    if (first == 0x0000) {
      at += 2;
      return "";
    }
    if (first == 0xFFFF) {
      at += 2;
      std::string ordinal(1, '#');
      ordinal += std::to_string(Word());
      return ordinal;
    }
    return String();
  }
  void AlignToDword(const std::uint8_t* start) {
    while ((at - start) % 4 != 0) ++at;
  }
};

struct ParsedTemplate {
  DWORD style = 0, exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string menu, windowClass, title, font;
  int pointSize = 0, weight = 0, italic = 0, charset = 0;
  std::vector<ControlSpec> controls;
};

// A control's class as a name in capitals (class names are not case
// sensitive); a template may also give the standard classes as ordinals.
std::string ClassOf(const std::string& nameOrOrdinal) {
  if (nameOrOrdinal == "#128") return "BUTTON";
  if (nameOrOrdinal == "#129") return "EDIT";
  if (nameOrOrdinal == "#130") return "STATIC";
  std::string name = nameOrOrdinal;
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

ParsedTemplate ReadTemplate(const void* resource) {
  const auto* start = static_cast<const std::uint8_t*>(resource);
  TemplateReader in{start};
  ParsedTemplate parsed;
  EXPECT_EQ(in.Word(), 1) << "not an extended dialog template";
  EXPECT_EQ(in.Word(), 0xFFFF) << "not an extended dialog template";
  in.Dword();  // help ID
  parsed.exStyle = in.Dword();
  parsed.style = in.Dword();
  const int count = in.Word();
  parsed.x = in.Short();
  parsed.y = in.Short();
  parsed.cx = in.Short();
  parsed.cy = in.Short();
  parsed.menu = in.NameOrOrdinal();
  parsed.windowClass = in.NameOrOrdinal();
  parsed.title = in.String();
  parsed.pointSize = in.Word();
  parsed.weight = in.Word();
  parsed.italic = *in.at++;
  parsed.charset = *in.at++;
  parsed.font = in.String();
  for (int i = 0; i < count; ++i) {
    in.AlignToDword(start);
    ControlSpec control;
    in.Dword();  // help ID
    control.exStyle = in.Dword();
    control.style = in.Dword();
    control.x = in.Short();
    control.y = in.Short();
    control.cx = in.Short();
    control.cy = in.Short();
    control.id = static_cast<int>(in.Dword());
    control.className = ClassOf(in.NameOrOrdinal());
    control.caption = in.NameOrOrdinal();
    in.at += in.Word();  // creation data
    parsed.controls.push_back(control);
  }
  return parsed;
}

const void* LoadEnglishResource(LPCSTR type, int id, DWORD* size = nullptr) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kEnglishUs);
  if (found == nullptr) return nullptr;
  if (size != nullptr) *size = SizeofResource(module, found);
  return LockResource(LoadResource(module, found));
}

TEST(FormTemplateTest, DialogIsTheCalculatorForm) {
  const void* resource = LoadEnglishResource(MAKEINTRESOURCEA(5), IDD_CALCULATOR);  // RT_DIALOG
  ASSERT_NE(resource, nullptr) << "no English (United States) dialog " << IDD_CALCULATOR;
  const ParsedTemplate form = ReadTemplate(resource);
  EXPECT_EQ(form.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME |
                                           DS_SETFONT | DS_3DLOOK | DS_CENTER | DS_SETFOREGROUND | DS_ABSALIGN));
  EXPECT_EQ(form.exStyle, 0u);
  EXPECT_EQ(form.x, 0);
  EXPECT_EQ(form.y, 0);
  EXPECT_EQ(form.cx, 429);
  EXPECT_EQ(form.cy, 219);
  EXPECT_EQ(form.menu, "");
  EXPECT_EQ(form.windowClass, "");
  EXPECT_EQ(form.title, "Tallyhorn");
  EXPECT_EQ(form.font, "MS Sans Serif");
  EXPECT_EQ(form.pointSize, 8);
  EXPECT_EQ(form.weight, 0);
  EXPECT_EQ(form.italic, 0);
  EXPECT_EQ(form.charset, 1);

  const std::vector<ControlSpec> expected = ExpectedTemplate();
  ASSERT_EQ(form.controls.size(), 220u);
  ASSERT_EQ(expected.size(), 220u);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ControlSpec& want = expected[i];
    const ControlSpec& got = form.controls[i];
    SCOPED_TRACE(testing::Message() << "template item " << i << ", expected " << want);
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.className, ClassOf(want.className));
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.style, WS_CHILD | (want.hidden ? 0 : WS_VISIBLE) | want.style);
    EXPECT_EQ(got.exStyle, want.exStyle);
  }
}

TEST(FormTemplateTest, IconsAreOne32By32ImageIn16Colours) {
  for (int id : {IDI_TALLYHORN, IDI_TALLYHORN_SMALL}) {
    SCOPED_TRACE("icon " + std::to_string(id));
    const auto* group = static_cast<const std::uint8_t*>(LoadEnglishResource(MAKEINTRESOURCEA(14), id));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    TemplateReader in{group};
    in.Word();                   // reserved
    EXPECT_EQ(in.Word(), 1);     // icons
    ASSERT_EQ(in.Word(), 1);     // one image
    EXPECT_EQ(*in.at++, 32);     // width
    EXPECT_EQ(*in.at++, 32);     // height
    EXPECT_EQ(*in.at++, 16);     // colours
    in.at++;                     // reserved
    in.Word();                   // planes
    EXPECT_EQ(in.Word(), 4);     // bits a pixel
    in.Dword();                  // size
    const int image = in.Word();
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LoadEnglishResource(MAKEINTRESOURCEA(3), image));  // RT_ICON
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 32);
    EXPECT_EQ(header->biHeight, 64);  // the image and its mask
    EXPECT_EQ(header->biBitCount, 4);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)), nullptr);
  }
}

TEST(FormTemplateTest, ManifestIsTheBareAssembly) {
  DWORD size = 0;
  const auto* manifest = static_cast<const char*>(LoadEnglishResource(MAKEINTRESOURCEA(24), 1, &size));  // RT_MANIFEST
  ASSERT_NE(manifest, nullptr);
  EXPECT_EQ(std::string(manifest, size),
            "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n</assembly>");
}

// --- the live form ---

using FormTest = CalculatorTest;

TEST_F(FormTest, HasTheTemplatesControlsInOrderEachIdOnce) {
  std::vector<int> expected;
  for (const ControlSpec& control : ExpectedTemplate()) expected.push_back(control.id);
  std::vector<int> actual;
  std::map<int, int> seen;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    actual.push_back(GetDlgCtrlID(child));
    ++seen[GetDlgCtrlID(child)];
  }
  EXPECT_EQ(actual, expected);
  for (const auto& [id, times] : seen) {
    if (id != -1) {
      EXPECT_EQ(times, 1) << "ID " << id;
    }
  }
  EXPECT_EQ(seen[-1], 2) << "the two captions of the hidden fields";
}

TEST_F(FormTest, BoxesOfARowStandInOneLineInSlotOrder) {
  Click(IDC_BET_PICK_8);
  for (Row row = 0; row < kRowCount; ++row) TypeSize(row, "20");
  LONG previousTop = 0;
  for (Row row = 0; row < kRowCount; ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    RECT label{};
    GetWindowRect(Control(RowLabelIds[static_cast<std::size_t>(row)]), &label);
    RECT previous{};
    for (int slot = 0; slot < kSlotCount; ++slot) {
      RECT box{};
      ASSERT_TRUE(Visible(BoxId(row, slot))) << "slot " << slot;
      GetWindowRect(Control(BoxId(row, slot)), &box);
      if (slot == 0) {
        EXPECT_GT(box.top, previousTop);
        EXPECT_LE(label.right, box.left) << "the label stands left of the boxes";
        EXPECT_LT(label.top, box.bottom);
        EXPECT_GT(label.bottom, box.top);
        previousTop = box.top;
      } else {
        EXPECT_EQ(box.top, previous.top) << "slot " << slot;
        EXPECT_GT(box.left, previous.right) << "slot " << slot;
      }
      previous = box;
    }
    RECT all{};
    GetWindowRect(Control(AllButtonId(row)), &all);
    EXPECT_GT(all.left, previous.right) << "All stands right of the boxes";
  }
}

struct TabCase {
  const char* name;
  int betButton;
  int start;  // clicked after the bet type: the focus starts there
  std::vector<int> order;
};

std::ostream& operator<<(std::ostream& out, const TabCase& c) { return out << c.name; }

class TabOrderTest : public CalculatorTest, public testing::WithParamInterface<TabCase> {};

// Tab visits the visible tab stops in template order (row F's Clr after row
// H's), then wraps round to the radio buttons at the top of the form.
TEST_P(TabOrderTest, VisitsTheVisibleTabStopsInTemplateOrder) {
  const TabCase& c = GetParam();
  Click(c.betButton);
  Click(c.start);
  ASSERT_EQ(FocusId(), c.start) << "a click gives the control the focus";
  std::vector<int> visited;
  for (std::size_t i = 0; i < c.order.size(); ++i) {
    ASSERT_EQ(PressKey(VK_TAB), kLoopStoppedByTest);
    visited.push_back(FocusId());
  }
  EXPECT_EQ(visited, c.order);
  ASSERT_EQ(PressKey(VK_TAB), kLoopStoppedByTest);
  const int top = FocusId();
  EXPECT_TRUE(BetTypeOfButton(top) >= 0 || UnitIndexOfButton(top) >= 0) << "after Help the focus went to " << top;
  EXPECT_EQ(CheckedBetButtons().size(), 1u);
  EXPECT_EQ(CheckedUnitButtons().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TabOrderTest,
    testing::Values(TabCase{"Trifecta",
                            IDC_BET_TRIFECTA,
                            IDC_RESET,
                            {1227, 1231, 1232, 1280, 1281, 1282, 1323, 1342, 1263}},
                    TabCase{"Pick8",
                            IDC_BET_PICK_8,
                            IDC_BET_PICK_8,
                            {1262, 1228, 1227, 1231, 1232, 1233, 1234, 1236, 1237, 1235, 1280, 1281, 1282, 1283, 1284,
                             1285, 1286, 1287, 1323, 1324, 1325, 1326, 1327, 1328, 1329, 1330, 1342, 1263}}),
    CaseName());

// Ctrl+A selects an edit's whole text, so a person can copy the ticket with
// Ctrl+A, Ctrl+C; in a button it does nothing.
TEST_F(FormTest, CtrlASelectsTheWholeTextOfAnEdit) {
  ClickHorses(0, {1, 2});
  ClickHorses(1, {5});
  ClickHorses(2, {3, 4});
  for (int id : {IDC_TICKET, SizeEditId(0)}) {
    HWND edit = Control(id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 1, 1);
    ASSERT_EQ(PressKey('A', true), kLoopStoppedByTest);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u) << id;
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthA(edit))) << id;
    EXPECT_EQ(Text(id), id == IDC_TICKET ? "$1 Trifecta: 1,2 / 5 / 3,4\r\nBets:  4  Total:  $4 " : "12")
        << "Ctrl+A typed into the edit";
  }
  Click(IDC_RESET);
  const std::vector<std::string> before = FormSnapshot();
  ASSERT_EQ(PressKey('A', true), kLoopStoppedByTest);
  EXPECT_EQ(FormSnapshot(), before);
}

}  // namespace
}  // namespace tallyhorn::uitest
