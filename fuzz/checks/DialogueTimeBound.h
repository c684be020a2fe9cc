#pragma once
// The longest Find and Upgrade may take on any line: every pause the handlers take plus the
// whole allowance of every read and write under the time-outs then in force. A run that
// takes longer waited somewhere without a limit.

#include <cstdint>

std::uint64_t FindBoundMs();
// `imageLength`: the most bytes the transfer may send.
std::uint64_t UpgradeBoundMs(std::uint32_t imageLength);
