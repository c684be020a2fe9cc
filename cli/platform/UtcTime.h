#pragma once
// Wall-clock time as records and events carry it: UTC, ISO 8601 with milliseconds.

#include <cstdint>
#include <string>

// Milliseconds since 1970-01-01T00:00:00Z.
std::int64_t WallClockMs();
// "2026-12-08T09:05:01.042Z".
std::string IsoUtc(std::int64_t msSinceEpoch);
// The same into `text` (kIsoUtcSize bytes with its ending zero), async-signal-safe: the
// Ctrl-C handlers stamp their events with it.
constexpr int kIsoUtcSize = 25;
void FormatIsoUtc(std::int64_t msSinceEpoch, char* text);
