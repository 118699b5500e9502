#include "ui/window_state.h"

namespace tallyhorn {

WagerState wagerState;
HINSTANCE calculatorInstance = nullptr;
HWND calculatorDialog = nullptr;

}  // namespace tallyhorn
