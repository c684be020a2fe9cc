#pragma once
// A progress bar that repaints only when its filled length changes, and with the window's
// other updates rather than at once: the control itself repaints synchronously on every
// step, even one too small to see, and a long transfer has hundreds of those.

#include <windows.h>

void PaintBarOnlyWhenItMoves(HWND bar);
