#pragma once
// Waiting on the one thread while an operation runs: windows keep painting and answering
// messages sent by other programs (their texts stay readable), but keyboard and mouse input
// and posted commands are dropped, so no second action starts inside the running one.

#include <windows.h>

// Handles what is queued now and returns.
void PumpWithoutInput();
// Returns after ms milliseconds, handling messages as they come meanwhile.
void WaitPumpingWithoutInput(DWORD ms);
// The same, until the pump's clock reads endMs.
void WaitPumpingWithoutInputUntil(double endMs);
// The clock the pauses are measured on, in milliseconds; reading it asks no server.
double PumpClockMs();
