// How long the calculator takes to answer a click, on the real dialog: a
// horse click on an empty Trifecta, on a full Pick-6 (field 20, six rows
// ticked) and on a full Superfecta-6 (the same boxes, counted by the
// position rule), and RESET from that full Superfecta-6. Each figure is
// the median over many clicks, measured with QueryPerformanceCounter:
// first the click alone (the command and its recalculation), then the
// click with the repaint it causes.
//   click_bench [--samples N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/ui/bench_window.h"
#include "ui/calculator.h"
#include "ui/resource.h"

namespace {

using namespace tallyhorn;
using namespace tallyhorn::bench;

HWND dialog = nullptr;

void TypeSize(Row row, const char* text) {
  SendMessageA(GetDlgItem(dialog, SizeEditId(row)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  Pump();
}

struct Timing {
  double click;            // median, the command and its recalculation
  double clickAndRepaint;  // median, with the repaint it causes
  std::size_t samples;
};

// Times one click on `control` (its handle looked up beforehand, as a
// person's click needs no lookup).
void TimeOneClick(HWND control, std::vector<double>& clicks, std::vector<double>& withRepaint) {
  const LONGLONG start = Now();
  SendMessageA(control, BM_CLICK, 0, 0);
  const LONGLONG handled = Now();
  RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  const LONGLONG painted = Now();
  clicks.push_back(Milliseconds(handled - start));
  withRepaint.push_back(Milliseconds(painted - start));
}

// Clicks a horse box `samples` times (each click toggles it), after a few
// clicks to warm up.
Timing TimeHorseClicks(Row row, int slot, int samples) {
  HWND box = GetDlgItem(dialog, BoxId(row, slot));
  std::vector<double> clicks, withRepaint, ignored, ignoredToo;
  for (int i = 0; i < 6; ++i) TimeOneClick(box, ignored, ignoredToo);
  for (int i = 0; i < samples; ++i) TimeOneClick(box, clicks, withRepaint);
  return {Median(clicks), Median(withRepaint), clicks.size()};
}

// Six rows of twenty ticked horses, for the bet type already chosen.
void FillSixRowsOfTwenty() {
  for (Row row = 0; row < 6; ++row) {
    if (IsWindowVisible(GetDlgItem(dialog, SizeEditId(row)))) TypeSize(row, "20");
  }
  for (Row row = 0; row < 6; ++row) Click(AllButtonId(row));
}

Timing TimeResetFromFullSuperfecta6(int samples) {
  HWND reset = GetDlgItem(dialog, IDC_RESET);
  std::vector<double> clicks, withRepaint;
  for (int i = 0; i < samples; ++i) {
    Click(IDC_BET_SUPERFECTA_6);
    FillSixRowsOfTwenty();
    TimeOneClick(reset, clicks, withRepaint);
  }
  return {Median(clicks), Median(withRepaint), clicks.size()};
}

void PrintRow(const char* action, const Timing& timing) {
  std::printf("| %-44s | %9.2f | %13.2f | %7d |\n", action, timing.click, timing.clickAndRepaint,
              static_cast<int>(timing.samples));
}

}  // namespace

int main(int argc, char** argv) {
  int samples = 200;
  if (argc == 3 && std::strcmp(argv[1], "--samples") == 0) samples = std::max(1, std::atoi(argv[2]));

  dialog = CreateCalculator(GetModuleHandleA(nullptr));
  if (dialog == nullptr) {
    std::fprintf(stderr, "click_bench: the calculator dialog could not be created\n");
    return 1;
  }
  Pump();

  const Timing emptyTrifecta = TimeHorseClicks(0, 0, samples);
  if (IsDlgButtonChecked(dialog, BoxId(0, 0)) == BST_CHECKED) Click(BoxId(0, 0));

  Click(IDC_BET_PICK_6);
  FillSixRowsOfTwenty();
  const Timing fullPick6 = TimeHorseClicks(5, 19, samples);

  Click(IDC_BET_SUPERFECTA_6);
  const Timing fullSuperfecta6 = TimeHorseClicks(5, 19, samples);

  const Timing reset = TimeResetFromFullSuperfecta6(std::max(5, samples / 10));

  std::printf("| %-44s | %9s | %13s | %7s |\n", "Median time under Wine", "click, ms", "+ repaint, ms", "samples");
  std::printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(11, '-').c_str(),
              std::string(15, '-').c_str(), std::string(9, '-').c_str());
  PrintRow("Horse click, empty Trifecta", emptyTrifecta);
  PrintRow("Horse click, full Pick-6 (20 x 6 ticked)", fullPick6);
  PrintRow("Horse click, full Superfecta-6 (same boxes)", fullSuperfecta6);
  PrintRow("RESET from the full Superfecta-6", reset);
  std::printf("\nSuperfecta-6 / Pick-6 click: %.2f (click), %.2f (with repaint)\n",
              fullSuperfecta6.click / fullPick6.click, fullSuperfecta6.clickAndRepaint / fullPick6.clickAndRepaint);

  DestroyCalculator();
  return 0;
}
