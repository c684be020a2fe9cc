#pragma once
// fwupdate's exit statuses, and what each means as --help lists it.

#include "modem/ExitStatus.h"

// The table shown by --help: status, then what it means.
struct ExitStatusEntry {
  int status;
  const char* meaning;
};
extern const ExitStatusEntry kExitStatusTable[];
extern const int kExitStatusCount;
