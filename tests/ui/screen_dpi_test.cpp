// The form laid out at the screen's DPI: dpi_layout_probe, which starts like
// the program, is run once with the screen at 96 DPI and once at 144 (the
// user's LogPixels setting, read by each new process), and the two layouts
// are compared. The setting is put back after each run, whatever happens,
// so no other program ever starts at 144; ctest runs this test alone.
//
// This guards the layout, not the DPI request: the Wine the tests run on
// lays every process out at the setting's DPI whether or not it asked.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace tallyhorn::uitest {
namespace {

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
constexpr const wchar_t* kLogPixels = L"LogPixels";
constexpr DWORD kProbeTimeoutMs = 60000;

/*
 * Sets the screen DPI new processes start with, for as long as it lives,
 * and then puts back what was there: the earlier value, or none.
 */
class ScreenDpiSetting {
 public:
  explicit ScreenDpiSetting(DWORD dpi) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD type = 0;
    DWORD size = sizeof earlier_;
    hadValue_ = RegQueryValueExW(key_, kLogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&earlier_), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD;
    set_ = RegSetValueExW(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
           ERROR_SUCCESS;
  }
  ~ScreenDpiSetting() {
    if (key_ == nullptr) return;
    if (hadValue_) {
      RegSetValueExW(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&earlier_), sizeof earlier_);
    } else {
      RegDeleteValueW(key_, kLogPixels);
    }
    RegCloseKey(key_);
  }
  ScreenDpiSetting(const ScreenDpiSetting&) = delete;
  ScreenDpiSetting& operator=(const ScreenDpiSetting&) = delete;

  bool set() const { return set_; }

 private:
  HKEY key_ = nullptr;
  DWORD earlier_ = 0;
  bool hadValue_ = false;
  bool set_ = false;
};

struct ControlRects {
  int id;
  RECT actual;
  RECT mapped;  // its template rectangle through MapDialogRect
};

struct Layout {
  std::string awareness;
  int dpi = 0;
  SIZE client{};
  SIZE units{};  // pixels of 4 by 8 dialog units
  SIZE form{};   // the template's size through MapDialogRect
  std::vector<ControlRects> controls;  // in template order
  std::vector<double> numbers;         // the header's numbers, as drawn
  std::vector<double> boxes;           // the first row's boxes
  std::string error;
};

std::wstring ProbePath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring own(path, length);
  return own.substr(0, own.find_last_of(L"\\/") + 1) + L"dpi_layout_probe.exe";
}

// Runs the probe and returns what it printed (empty, with `error` set, when
// it could not be run or did not end in time).
std::string RunProbe(std::string& error) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    error = "no pipe";
    return {};
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + ProbePath() + L"\"";
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
  if (!started) {
    error = "dpi_layout_probe.exe could not be started (error " + std::to_string(GetLastError()) + ")";
  } else {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    if (WaitForSingleObject(process.hProcess, kProbeTimeoutMs) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 1);
      error = "dpi_layout_probe.exe did not end";
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    if (error.empty() && status != 0) error = "dpi_layout_probe.exe ended with " + std::to_string(status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return output;
}

// The calculator's layout as a process started with the screen at `dpi`
// lays it out.
Layout LayoutAt(DWORD dpi) {
  Layout layout;
  std::string output;
  {
    ScreenDpiSetting setting(dpi);
    if (!setting.set()) {
      layout.error = "LogPixels could not be set";
      return layout;
    }
    output = RunProbe(layout.error);
  }
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream in(line);
    std::string item;
    in >> item;
    if (item == "awareness") {
      in >> layout.awareness;
    } else if (item == "dpi") {
      in >> layout.dpi;
    } else if (item == "client") {
      in >> layout.client.cx >> layout.client.cy;
    } else if (item == "units") {
      in >> layout.units.cx >> layout.units.cy;
    } else if (item == "form") {
      in >> layout.form.cx >> layout.form.cy;
    } else if (item == "numbers" || item == "boxes") {
      std::vector<double>& centres = item == "numbers" ? layout.numbers : layout.boxes;
      for (double centre = 0; in >> centre;) centres.push_back(centre);
    } else if (item == "control") {
      ControlRects rects{};
      in >> rects.id >> rects.actual.left >> rects.actual.top >> rects.actual.right >> rects.actual.bottom >>
          rects.mapped.left >> rects.mapped.top >> rects.mapped.right >> rects.mapped.bottom;
      layout.controls.push_back(rects);
    }
  }
  return layout;
}

std::string Show(const RECT& r) {
  std::ostringstream out;
  out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
  return out.str();
}

// Within a pixel: the dialog manager and MapDialogRect round an edge and a
// width separately.
bool Near(const RECT& a, const RECT& b) {
  return std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 && std::abs(a.right - b.right) <= 1 &&
         std::abs(a.bottom - b.bottom) <= 1;
}

// Every control and the dialog itself sit where the template puts them in
// that layout's dialog units.
void ExpectTemplatePlacement(const Layout& layout) {
  SCOPED_TRACE(testing::Message() << "at " << layout.dpi << " DPI");
  EXPECT_NEAR(layout.client.cx, layout.form.cx, 1);
  EXPECT_NEAR(layout.client.cy, layout.form.cy, 1);
  EXPECT_EQ(layout.controls.size(), 220u);
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlRects& rects = layout.controls[i];
    EXPECT_TRUE(Near(rects.actual, rects.mapped))
        << "template item " << i << " (ID " << rects.id << ")" << " is at " << Show(rects.actual) << ", the template puts it at " << Show(rects.mapped);
  }
}

// Each of the header's 20 numbers is drawn over its own box: within two
// pixels of the box's centre, less than a tenth of the way to the next box.
void ExpectNumbersOverTheirBoxes(const Layout& layout) {
  SCOPED_TRACE(testing::Message() << "at " << layout.dpi << " DPI");
  ASSERT_EQ(layout.boxes.size(), 20u);
  ASSERT_EQ(layout.numbers.size(), layout.boxes.size());
  for (std::size_t i = 0; i < layout.boxes.size(); ++i) {
    EXPECT_NEAR(layout.numbers[i], layout.boxes[i], 2.0) << "number " << i + 1;
  }
}

TEST(ScreenDpiTest, FormIsLaidOutAtTheScreensDpi) {
  const Layout at96 = LayoutAt(96);
  ASSERT_EQ(at96.error, "");
  const Layout at144 = LayoutAt(144);
  ASSERT_EQ(at144.error, "");
  ASSERT_EQ(at96.dpi, 96);
  ASSERT_EQ(at144.dpi, 144) << "the probe did not start at the LogPixels setting";
  EXPECT_EQ(at96.awareness, at144.awareness);

  ExpectTemplatePlacement(at96);
  ExpectTemplatePlacement(at144);
  ExpectNumbersOverTheirBoxes(at96);
  ExpectNumbersOverTheirBoxes(at144);

  // The dialog unit grows with the font, 1.5 times within the pixel the
  // font's cell rounds to (8 points are 10.7 pixels at 96 DPI, 16 at 144).
  EXPECT_NEAR(at144.units.cx, 1.5 * at96.units.cx, 1.0);
  EXPECT_NEAR(at144.units.cy, 1.5 * at96.units.cy, 1.0);
  // So the dialog is 1.5 times as large, within what the unit's rounding
  // makes over the form's 429 by 219 units, and a pixel each way.
  EXPECT_NEAR(at144.client.cx, 1.5 * at96.client.cx, 429.0 / 4 * std::fabs(at144.units.cx - 1.5 * at96.units.cx) + 2);
  EXPECT_NEAR(at144.client.cy, 1.5 * at96.client.cy, 219.0 / 8 * std::fabs(at144.units.cy - 1.5 * at96.units.cy) + 2);
}

}  // namespace
}  // namespace tallyhorn::uitest
