#pragma once
// What the core tells the user, as ids with their parameters. Each id has one text
// (modem/MessageTexts.h); the dialog shows it in a box, the console as a line. A front never
// looks at a text of the core.

#include <string>
#include <utility>

#include "record/FirmwareVersionInfo.h"
#include "serial/SerialDriver.h"

// The status window's lines.
enum class StatusId {
  kQueryPort,      // Find probes a port
  kFoundModem,     // Find found a modem on the port
  kNoModem,        // Find found none
  kReadingImage,   // Upgrade reads the image's versions
  kQueryingModem,  // Upgrade asks the modem for its versions
  kCount
};

// The message boxes, each a report or a question of its own.
enum class BoxId {
  kCantOpenPort,         // the query's port did not open (error icon)
  kCantOpenUpgradePort,  // the download's port did not open (no icon)
  kIncorrectImage,       // the image holds no complete version record
  kCantQueryModem,       // the modem did not give its versions
  kCantOpenImage,        // the image did not open for the download
  kConsent,              // both versions, and whether to go on: OK or Cancel
  kWarning,              // do not interrupt the update
  kNotReady,             // no READY after the erase
  kTransferFailed,       // the modem did not take the whole image
  kNotConfirmed,         // the image went out, the modem did not say OK
  kSuccess,
  kCount
};

// The port a message is about: its place in the core's list and its name there.
struct PortRef {
  int index = -1;
  std::string name;
};

struct StatusMessage {
  StatusId id;
  PortRef port;  // kQueryPort, kFoundModem
};

struct BoxMessage {
  explicit BoxMessage(BoxId id, PortRef port = {}) : id(id), port(std::move(port)) {}

  BoxId id;
  PortRef port;  // kCantOpenPort, kCantOpenUpgradePort, kNotReady, kTransferFailed, kNotConfirmed
  OpenFailure openFailure = OpenFailure::kNone;  // the same: why it did not open
  LineFailure lineFailure = LineFailure::kNone;  // a failed erase or transfer: why, if known
  FirmwareVersionInfo modem;                     // kConsent
  FirmwareVersionInfo image;                     // kConsent
};
