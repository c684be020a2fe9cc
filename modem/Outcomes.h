#pragma once
// How the operations end, as closed sets. What an upgrade's outcome means (its key, status,
// the flash it leaves, its words) is decided once, in modem/OutcomeTable.h.

#include <cstdint>
#include <string>

#include "record/FirmwareVersionInfo.h"
#include "serial/SerialDriver.h"

// Find: the port where a modem answered.
struct FoundPort {
  int index;  // in the core's port list
  std::string name;
};

enum class QueryStatus {
  kDone,          // versions and dates of both parts
  kCantOpenPort,  // the port did not open
  kIncomplete,    // a field was missing from the answers, or another operation held the port
  kCount
};

struct QueryResult {
  QueryStatus status;
  std::string port;                              // the port asked
  OpenFailure openFailure = OpenFailure::kNone;  // kCantOpenPort: why
};

enum class UpgradeResult {
  kDone,                // the modem took the image and said OK
  kDeclined,            // the user said no at the comparison: nothing written
  kCantOpenPort,        // the port did not open: nothing written
  kQueryFailed,         // the modem did not give its versions: nothing written
  kCantOpenImage,       // the image did not open for the download: nothing written
  kIncorrectImage,      // the image holds no complete version record: nothing written
  kNotReady,            // no READY after the erase: the flash may be erased
  kTransferIncomplete,  // the modem did not take the whole image
  kNotConfirmed,        // the image went out, the modem did not say OK
  kCurrent,             // --skip-current: the modem already has the image's record; untouched
  kWouldUpdate,         // a dry run: the modem reports other versions than the image; untouched
  kDeviceGoneErasing,   // the device went away during the erase: the flash may be erased
  kDeviceGone,          // the device went away once the image was going out
  kInterrupted,         // fwupdate was stopped (Ctrl-C, SIGTERM); the core never returns it
  kCount
};

struct UpgradeOutcome {
  UpgradeResult result;
  std::string port;                              // the port of the download
  OpenFailure openFailure = OpenFailure::kNone;  // kCantOpenPort: why
  std::uint32_t bytesSent = 0;                   // image bytes the modem took
  // The records as read before the question (empty fields where none were read): what a
  // summary shows as "before", and what a modem left alone as current reported.
  FirmwareVersionInfo modem;
  FirmwareVersionInfo image;
  // The unit's own answers, when they were asked for (RecordUnit): to the identity query and
  // to the serial number's command, each as the modem sent it.
  std::string identity;
  std::string serialNumber;
};
