#pragma once
// The exit statuses of the command-line front: one per way an operation can end, so that
// scripts can tell them apart. The outcome table gives each upgrade outcome its status;
// fwupdate's help lists them all.

namespace exitcode {
constexpr int kDone = 0;                 // found, read, updated
constexpr int kNotFound = 1;             // find: no modem answered on any port
constexpr int kUsage = 2;                // bad command line
constexpr int kCantOpenPort = 3;         // the port does not exist, is busy or is not allowed
constexpr int kCantQueryModem = 4;       // the modem did not give its versions and dates
constexpr int kIncorrectImage = 5;       // the file holds no complete version record
constexpr int kCantOpenImage = 6;        // the file cannot be opened
constexpr int kDeclined = 7;             // the user answered no: nothing written
constexpr int kNoTerminal = 8;           // nobody to ask and no --yes: nothing touched
constexpr int kNotReady = 9;             // no READY after the erase: flash may be erased
constexpr int kTransferFailed = 10;      // the modem did not take the whole image
constexpr int kNotConfirmed = 11;        // the image went out, the modem did not say OK
constexpr int kCantOpenLog = 12;         // --log FILE cannot be written
constexpr int kSomePortsFailed = 13;     // several ports: not every one succeeded (or was current)
constexpr int kDeviceGoneErasing = 14;   // the device went away in the erase: flash may be erased
constexpr int kDeviceGone = 15;          // the device went away once the image was going out
constexpr int kHistoryUnavailable = 16;  // --history-required, or history: the file failed
constexpr int kInterrupted = 130;        // Ctrl-C (Ctrl-Break, the console closed on Windows)
constexpr int kTerminated = 143;         // SIGTERM: 128 + 15, as a shell reports it
}  // namespace exitcode
