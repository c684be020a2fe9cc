#pragma once
// upgrade over several ports at once: one core per port on a thread of its own, each with
// its own port, pacing and time-outs; only the image's bytes are shared, read and checked
// once. One question for all, a live line per port, a summary table at the end.

#include <cstdio>
#include <vector>

#include "cli/Commands.h"

// `human`: the stream for people; `live`: it is a terminal to redraw lines on.
int RunBatchUpgrade(std::FILE* human, bool live, CJsonEvents& events,
                    const std::vector<ConsolePort>& ports, const UpgradeChoices& choices);
