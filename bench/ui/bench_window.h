// What the window benchmarks share: a clock in milliseconds, the message
// pump, a click on one of the calculator's controls, and the median.
#pragma once

#include <algorithm>
#include <vector>

#include "ui/calculator.h"

namespace tallyhorn::bench {

inline double Milliseconds(LONGLONG ticks) {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency);
}

inline LONGLONG Now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

// Handles every message waiting, as the message loop would.
inline void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(CalculatorDialog(), &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

// Clicks one of the calculator's controls and handles what follows.
inline void Click(int id) {
  SendMessageA(GetDlgItem(CalculatorDialog(), id), BM_CLICK, 0, 0);
  Pump();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace tallyhorn::bench
