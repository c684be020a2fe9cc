#pragma once
// The stable name of a serial device: a link that udev keeps in /dev/serial/by-path (by the
// USB socket) or by-id (by the adapter's serial number) and that leads to the same device.
// Unlike ttyUSB0, it survives adapters being renumbered at a reboot. The program gives it
// /dev/serial/by-path, then by-id.

#include <string>
#include <vector>

// The first link, in the first of `dirs` that has one, that resolves to the same file as
// `device`; links in a directory are taken in name order. Empty when none does.
std::string StableNameIn(const std::string& device, const std::vector<std::string>& dirs);
